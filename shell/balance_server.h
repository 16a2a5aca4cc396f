// The balance server: other programs on this machine (spreadsheets, a
// cash-desk program) ask for account balances and may have them pushed to
// them whenever a posting changes them. It listens on the local socket
// "TALVI" (a QLocalServer name; other programs reach it with
// QLocalSocket::connectToServer("TALVI")).
//
// Protocol. Every message is one line of UTF-8 text ending with "\n" (a
// "\r" before it is ignored); words are separated by one blank. Items are
// described in balance_items.h ("K1200_3"). Lines longer than 1024 bytes end
// the conversation.
//
//   client                          server
//   connect Saldo                   ack            (the only topic)
//   connect <other topic>           nack           and the connection closes
//   request ITEM                    value ITEM VALUE
//                                   nack ITEM      (malformed item, unknown account)
//   advise ITEM [deferred] [ack]    ack ITEM       / nack ITEM (malformed item)
//   unadvise ITEM                   ack ITEM       / nack ITEM (not advised)
//   unadvise                        ack            (ends every advise)
//   poke ITEM VALUE                 nack ITEM
//   execute COMMAND                 nack
//   terminate                       terminate      and the connection closes
//   anything else                   nack
//
// The first line must be "connect"; anything else first is answered with
// "nack" and the connection closes. Requests, advises and unadvises are
// answered in the order they arrive.
//
// When a posting changes an advised item's balance the server sends
//   data ITEM VALUE        (advised without "deferred")
//   data ITEM              (advised with "deferred": ask with request)
// Each advise of an item replaces its earlier flags. For an item advised
// with "ack" the client answers each data line with
//   ack ITEM
// and the server sends no further data line to that client until the answer
// came or the acknowledgement time (5 seconds) has passed. Meanwhile the
// program goes on: requests are answered at once, and the server itself
// never blocks waiting for a client.
//
// When the program ends the server sends "terminate" to every client and
// closes the connections; it does not wait for the clients' answers.
//
// Values are read only outside of record-store transactions: changes
// reported while a posting is still being written are pushed once it is
// committed (or, if it is undone, show the unchanged balance), and client
// messages arriving meanwhile wait until then.
#pragma once

#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <string>

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace talvera {

class BalanceServer : public QObject {
  Q_OBJECT

 public:
  // `name` is the socket name; tests give a name of their own.
  explicit BalanceServer(QString name = QStringLiteral("TALVI"), QObject* parent = nullptr);
  ~BalanceServer() override;  // stops the server

  // Starts listening; false when another running program already serves the
  // name or the socket cannot be created. A socket left behind by a program
  // that ended without removing it is replaced.
  bool Start();
  // Sends "terminate" to every client, closes the connections and stops
  // listening.
  void Stop();
  bool IsListening() const;
  // A client has connected with topic "Saldo" since the start.
  bool IsActive() const { return active_; }

  // Time a client has to acknowledge a data line it asked to acknowledge.
  void SetAckTimeout(int milliseconds) { ackTimeoutMs_ = milliseconds; }

  // The account's balance changed in the periods of the mask (bit 0 opening
  // balance, bit p fiscal period p, bit 13 year total). The clients that
  // advised any of these periods get their data lines after the posting.
  void BalanceChanged(const char* account, unsigned periodMask);
  // For SetBalanceChangeListener of the posting engine: passes the change
  // to the started server, if any.
  static void NotifyBalanceChange(const char* account, unsigned periodMask);

 private:
  struct Conversation;

  void Accept();
  void Drop(QLocalSocket* socket);
  void Serve();
  void PushChanges();
  void HandleLines(Conversation& c);
  void HandleLine(Conversation& c, const QByteArray& line);
  void Send(Conversation& c, const QByteArray& line);
  // Ends the conversation after `answer`, when given, has gone out.
  void Close(Conversation& c, const QByteArray& answer = {});
  void Pump(Conversation& c);

  QString name_;
  QLocalServer* server_ = nullptr;
  QTimer* serveTimer_ = nullptr;
  std::map<QLocalSocket*, std::unique_ptr<Conversation>> conversations_;
  std::map<std::string, unsigned> changed_;  // account -> periods, not yet pushed
  int ackTimeoutMs_ = 5000;
  bool active_ = false;
};

}  // namespace talvera
