#include "shell/balance_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <cstring>
#include <deque>
#include <vector>

#include "core/record_store.h"
#include "shell/balance_items.h"

namespace talvera {
namespace {

constexpr qsizetype kMaxLineLength = 1024;
// How soon client messages and changes are looked at again while a
// record-store transaction is open.
constexpr int kTransactionRetryMs = 100;

BalanceServer* g_started = nullptr;

bool SameItem(const BalanceItem& a, const BalanceItem& b) {
  return a.period == b.period && std::strcmp(a.account, b.account) == 0;
}

}  // namespace

struct BalanceServer::Conversation {
  struct Advise {
    QByteArray item;  // as the client wrote it; data lines carry it back
    BalanceItem parsed;
    bool deferred = false;
    bool ack = false;
  };
  struct Outgoing {
    QByteArray item;
    QByteArray line;
    bool ack;
  };

  QLocalSocket* socket = nullptr;
  QByteArray input;
  bool connected = false;  // topic accepted
  bool closing = false;
  std::vector<Advise> advises;
  std::deque<Outgoing> queue;  // data lines held back by an awaited acknowledgement
  QByteArray awaited;          // item whose acknowledgement is awaited, empty when none
  QTimer* ackTimer = nullptr;  // a child of the socket, which may outlive the conversation

  ~Conversation() { delete ackTimer; }
};

BalanceServer::BalanceServer(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {
  serveTimer_ = new QTimer(this);
  serveTimer_->setSingleShot(true);
  connect(serveTimer_, &QTimer::timeout, this, &BalanceServer::Serve);
}

BalanceServer::~BalanceServer() { Stop(); }

bool BalanceServer::Start() {
  if (server_) return server_->isListening();
  // Listening would take the name from a running server, so ask first.
  QLocalSocket probe;
  probe.connectToServer(name_);
  if (probe.waitForConnected(1000)) return false;
  // Nobody answers: what is left is a socket file of a program that did not
  // end cleanly.
  QLocalServer::removeServer(name_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    delete server_;
    server_ = nullptr;
    return false;
  }
  connect(server_, &QLocalServer::newConnection, this, &BalanceServer::Accept);
  g_started = this;
  return true;
}

void BalanceServer::Stop() {
  if (g_started == this) g_started = nullptr;
  serveTimer_->stop();
  for (auto& [socket, c] : conversations_) {
    socket->disconnect(this);
    if (c->connected && !c->closing) {
      socket->write("terminate\n");
      socket->flush();
      if (socket->bytesToWrite() > 0) socket->waitForBytesWritten(1000);
    }
    socket->disconnectFromServer();
    socket->deleteLater();
  }
  conversations_.clear();
  changed_.clear();
  if (server_) {
    server_->close();
    delete server_;
    server_ = nullptr;
  }
}

bool BalanceServer::IsListening() const { return server_ && server_->isListening(); }

void BalanceServer::NotifyBalanceChange(const char* account, unsigned periodMask) {
  if (g_started) g_started->BalanceChanged(account, periodMask);
}

void BalanceServer::BalanceChanged(const char* account, unsigned periodMask) {
  if (!account || periodMask == 0) return;
  bool advised = false;
  for (const auto& [socket, c] : conversations_)
    if (!c->advises.empty()) advised = true;
  if (!advised) return;
  AccountNo number{};
  std::strncpy(number, account, kAccountNoWidth);
  PadLeft(number, kAccountNoWidth);
  changed_[number] |= periodMask;
  // The engine reports inside its transaction; the values are read after it.
  if (!serveTimer_->isActive()) serveTimer_->start(0);
}

void BalanceServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    auto c = std::make_unique<Conversation>();
    c->socket = socket;
    c->ackTimer = new QTimer(socket);
    c->ackTimer->setSingleShot(true);
    Conversation* raw = c.get();
    connect(c->ackTimer, &QTimer::timeout, this, [this, raw] {
      raw->awaited.clear();
      Pump(*raw);
    });
    connect(socket, &QLocalSocket::readyRead, this, &BalanceServer::Serve);
    // Queued, so that a conversation is never removed while it is served.
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Drop(socket); },
            Qt::QueuedConnection);
    conversations_.emplace(socket, std::move(c));
  }
  Serve();
}

void BalanceServer::Drop(QLocalSocket* socket) {
  auto it = conversations_.find(socket);
  if (it == conversations_.end()) return;
  conversations_.erase(it);
  socket->deleteLater();
}

void BalanceServer::Serve() {
  // Reading balances inside a transaction would show what may yet be undone
  // and move the record store's positions under the posting's feet.
  if (TransactionDepth() > 0) {
    serveTimer_->start(kTransactionRetryMs);
    return;
  }
  PushChanges();
  for (auto& [socket, c] : conversations_) HandleLines(*c);
}

void BalanceServer::PushChanges() {
  std::map<std::string, unsigned> changed;
  changed.swap(changed_);
  for (const auto& [account, mask] : changed) {
    for (auto& [socket, c] : conversations_) {
      for (const Conversation::Advise& a : c->advises) {
        if (account != a.parsed.account) continue;
        int period = a.parsed.period == kCurrentPeriod ? CurrentPostingPeriod() : a.parsed.period;
        if (!(mask & (1u << period))) continue;
        QByteArray line = "data " + a.item;
        if (!a.deferred) {
          std::optional<std::string> value = BalanceItemValue(a.parsed);
          if (!value) continue;
          line += ' ' + QByteArray::fromStdString(*value);
        }
        c->queue.push_back({a.item, line, a.ack});
      }
      Pump(*c);
    }
  }
}

void BalanceServer::Pump(Conversation& c) {
  while (c.awaited.isEmpty() && !c.queue.empty() && !c.closing) {
    Conversation::Outgoing o = std::move(c.queue.front());
    c.queue.pop_front();
    Send(c, o.line);
    if (o.ack) {
      c.awaited = o.item;
      c.ackTimer->start(ackTimeoutMs_);
    }
  }
}

void BalanceServer::Send(Conversation& c, const QByteArray& line) {
  c.socket->write(line + '\n');
}

void BalanceServer::HandleLines(Conversation& c) {
  QByteArray data = c.socket->readAll();
  if (c.closing) return;
  c.input += data;
  qsizetype end;
  while (!c.closing && (end = c.input.indexOf('\n')) >= 0) {
    QByteArray line = c.input.left(end);
    c.input.remove(0, end + 1);
    if (line.endsWith('\r')) line.chop(1);
    if (line.size() > kMaxLineLength)
      Close(c);
    else
      HandleLine(c, line);
  }
  if (!c.closing && c.input.size() > kMaxLineLength) Close(c);
}

void BalanceServer::Close(Conversation& c, const QByteArray& answer) {
  if (!answer.isEmpty()) Send(c, answer);
  c.closing = true;
  c.queue.clear();
  c.input.clear();
  c.ackTimer->stop();
  c.socket->disconnectFromServer();  // after what is written has gone out
}

void BalanceServer::HandleLine(Conversation& c, const QByteArray& line) {
  qsizetype blank = line.indexOf(' ');
  QByteArray command = blank < 0 ? line : line.left(blank);
  QByteArray rest = blank < 0 ? QByteArray() : line.mid(blank + 1);
  if (!c.connected) {
    if (command == "connect" && rest.compare("Saldo", Qt::CaseInsensitive) == 0) {
      c.connected = true;
      active_ = true;
      Send(c, "ack");
    } else {
      Close(c, "nack");
    }
    return;
  }

  qsizetype itemEnd = rest.indexOf(' ');
  QByteArray item = itemEnd < 0 ? rest : rest.left(itemEnd);
  BalanceItem parsed;
  bool wellFormed = ParseBalanceItem(item.toStdString(), parsed);
  if (command == "request") {
    std::optional<std::string> value;
    if (wellFormed && item == rest) value = BalanceItemValue(parsed);
    Send(c, value ? "value " + item + ' ' + QByteArray::fromStdString(*value) : "nack " + item);
  } else if (command == "advise") {
    bool deferred = false, ack = false, flagsOk = true;
    for (const QByteArray& flag : rest.mid(item.size()).split(' ')) {
      if (flag == "deferred") deferred = true;
      else if (flag == "ack") ack = true;
      else if (!flag.isEmpty()) flagsOk = false;
    }
    if (!wellFormed || !flagsOk) {
      Send(c, "nack " + item);
      return;
    }
    Conversation::Advise* entry = nullptr;
    for (Conversation::Advise& a : c.advises)
      if (SameItem(a.parsed, parsed)) entry = &a;
    if (!entry) entry = &c.advises.emplace_back();
    *entry = {item, parsed, deferred, ack};
    Send(c, "ack " + item);
  } else if (command == "unadvise") {
    if (rest.isEmpty()) {
      c.advises.clear();
      Send(c, "ack");
      return;
    }
    std::size_t before = c.advises.size();
    if (wellFormed && item == rest)
      std::erase_if(c.advises,
                    [&](const Conversation::Advise& a) { return SameItem(a.parsed, parsed); });
    Send(c, (c.advises.size() < before ? "ack " : "nack ") + item);
  } else if (command == "ack") {
    if (!c.awaited.isEmpty() && rest == c.awaited) {
      c.ackTimer->stop();
      c.awaited.clear();
      Pump(c);
    }
  } else if (command == "poke") {
    Send(c, "nack " + item);
  } else if (command == "terminate") {
    Close(c, "terminate");
  } else {
    Send(c, "nack");
  }
}

}  // namespace talvera
