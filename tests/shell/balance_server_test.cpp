#include <gtest/gtest.h>

#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

#include <vector>

#include "posting/posting_fixture.h"
#include "shell/balance_items.h"
#include "shell/balance_server.h"

// Lines in failure messages as text.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
  *os << '"' << bytes.toStdString() << '"';
}

namespace talvera::testing {
namespace {

constexpr int S = kSachkonto;

// A client on the same thread as the server: every wait runs the event loop
// until the socket has something to tell (with a generous bound against a
// hanging test).
class Client {
 public:
  explicit Client(const QString& name) {
    socket_.connectToServer(name);
    EXPECT_TRUE(socket_.waitForConnected(5000)) << name.toStdString();
  }
  void Send(const QByteArray& line) {
    socket_.write(line + '\n');
    socket_.flush();
  }
  // The next line; "<closed>" when the server closed the connection first.
  QByteArray Line() {
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket_, &QLocalSocket::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(&socket_, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    bound.start(10000);
    while (!socket_.canReadLine() && socket_.state() == QLocalSocket::ConnectedState &&
           bound.isActive())
      loop.exec();
    if (!socket_.canReadLine()) return "<closed>";
    return socket_.readLine().chopped(1);
  }
  QByteArray Ask(const QByteArray& line) {
    Send(line);
    return Line();
  }
  // Asks for a value and returns the data lines the server pushed before
  // answering; the answer itself must be a value line.
  std::vector<QByteArray> PushedBefore(const QByteArray& item) {
    Send("request " + item);
    std::vector<QByteArray> pushed;
    for (QByteArray line = Line(); !line.startsWith("value " + item); line = Line()) {
      if (!line.startsWith("data ")) {
        ADD_FAILURE() << line.toStdString();
        break;
      }
      pushed.push_back(line);
    }
    return pushed;
  }
  bool Closed() {
    return Line() == "<closed>" && socket_.state() != QLocalSocket::ConnectedState;
  }

 private:
  QLocalSocket socket_;
};

using Lines = std::vector<QByteArray>;

class BalanceServerTest : public PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    ASSERT_TRUE(Booking("150346").Line("1200", S, "1000", S, "000001000,00").Post());
    ASSERT_TRUE(server_.Start());
    SetBalanceChangeListener(&BalanceServer::NotifyBalanceChange);
  }
  void TearDown() override {
    SetBalanceChangeListener(nullptr);
    SetCurrentPostingDate(nullptr);
    server_.Stop();
    PostingTest::TearDown();
  }
  // A connected client.
  std::unique_ptr<Client> Connect() {
    auto c = std::make_unique<Client>(name_);
    EXPECT_EQ(c->Ask("connect Saldo"), "ack");
    return c;
  }
  static void Post10(const char* date = "150346") {
    ASSERT_TRUE(Booking(date).Line("1200", S, "1000", S, "000000010,00").Post());
  }

  QString name_ = QStringLiteral("talvera-balance-test-%1").arg(::getpid());
  BalanceServer server_{name_};
};

TEST_F(BalanceServerTest, AnswersTheRequestsOfAConversation) {
  EXPECT_FALSE(server_.IsActive());
  auto c = Connect();
  EXPECT_TRUE(server_.IsActive());
  struct Exchange {
    const char* ask;
    const char* answer;
  } exchanges[] = {
      {"request K1200_3", "value K1200_3 1000,00"},
      {"request K1000_13", "value K1000_13 -1000,00"},
      {"request K9999_3", "nack K9999_3"},
      {"request K1200_x", "nack K1200_x"},
      {"request K1200_3 K1000_3", "nack K1200_3"},
      {"advise K1200_3 sometimes", "nack K1200_3"},
      {"advise X1200", "nack X1200"},
      {"unadvise K1200_3", "nack K1200_3"},
      {"poke K1200_3 5,00", "nack K1200_3"},
      {"execute [Buchen]", "nack"},
      {"connect Saldo", "nack"},
      {"hello", "nack"},
      {"request K1200_3\r", "value K1200_3 1000,00"},
  };
  for (const Exchange& e : exchanges) EXPECT_EQ(c->Ask(e.ask), e.answer) << e.ask;
  EXPECT_EQ(c->Ask("terminate"), "terminate");
  EXPECT_TRUE(c->Closed());
}

TEST_F(BalanceServerTest, RefusesOtherTopicsAndClientsThatDoNotConnectFirst) {
  for (const char* first : {"connect Umsatz", "connect", "request K1200_3"}) {
    Client c(name_);
    EXPECT_EQ(c.Ask(first), "nack") << first;
    EXPECT_TRUE(c.Closed()) << first;
  }
  EXPECT_FALSE(server_.IsActive());
  Client tooLong(name_);
  tooLong.Send("connect Saldo");
  tooLong.Send(QByteArray(2000, 'x'));
  EXPECT_EQ(tooLong.Line(), "ack");
  EXPECT_TRUE(tooLong.Closed());
}

TEST_F(BalanceServerTest, PushesTheAdvisedPeriodsAPostingChanged) {
  SetCurrentPostingDate("010346");
  auto c = Connect();
  for (const char* advise : {"advise K1200_3", "advise K1200_13 deferred", "advise K1200_5",
                             "advise K1000", "advise K1000_0"})
    EXPECT_EQ(c->Ask(advise), "ack " + QByteArray(advise).split(' ')[1]) << advise;
  auto other = Connect();
  EXPECT_EQ(other->Ask("advise K1200_3 deferred"), "ack K1200_3");

  Post10();
  EXPECT_EQ(c->PushedBefore("K1200_0"),
            (Lines{"data K1000 -1010,00", "data K1200_3 1010,00", "data K1200_13"}));
  EXPECT_EQ(other->PushedBefore("K1200_0"), (Lines{"data K1200_3"}));

  // Advising again replaces the flags; unadvising ends the pushes.
  EXPECT_EQ(c->Ask("advise K1200_13"), "ack K1200_13");
  EXPECT_EQ(c->Ask("unadvise K1000"), "ack K1000");
  EXPECT_EQ(c->Ask("unadvise K1000"), "nack K1000");
  Post10();
  EXPECT_EQ(c->PushedBefore("K1200_0"), (Lines{"data K1200_3 1020,00", "data K1200_13 1020,00"}));
  EXPECT_EQ(c->Ask("unadvise"), "ack");
  Post10();
  EXPECT_EQ(c->PushedBefore("K1200_0"), Lines{});
  EXPECT_EQ(other->PushedBefore("K1200_0"), (Lines{"data K1200_3", "data K1200_3"}));
}

TEST_F(BalanceServerTest, APostingThatIsUndoneShowsTheUnchangedBalance) {
  auto c = Connect();
  EXPECT_EQ(c->Ask("advise K1200_3"), "ack K1200_3");
  {
    StoreTransaction undone;
    ASSERT_TRUE(UpdateAccountTotals("   1200", S, 0, "000000099,00", "150346", nullptr, nullptr,
                                    false));
  }
  EXPECT_EQ(c->PushedBefore("K1200_0"), (Lines{"data K1200_3 1000,00"}));
}

TEST_F(BalanceServerTest, WaitsForTheAcknowledgementsTheClientAskedFor) {
  auto c = Connect();
  EXPECT_EQ(c->Ask("advise K1000_3 ack"), "ack K1000_3");
  EXPECT_EQ(c->Ask("advise K1200_3 ack"), "ack K1200_3");
  Post10();
  // The second data line waits for the first one's acknowledgement.
  EXPECT_EQ(c->PushedBefore("K1200_0"), (Lines{"data K1000_3 -1010,00"}));
  c->Send("ack K1200_3");  // not the item awaited
  EXPECT_EQ(c->PushedBefore("K1200_0"), Lines{});
  c->Send("ack K1000_3");
  EXPECT_EQ(c->Line(), "data K1200_3 1010,00");
  c->Send("ack K1200_3");

  // A client that does not acknowledge holds the data back only for a while.
  server_.SetAckTimeout(20);
  Post10();
  EXPECT_EQ(c->Line(), "data K1000_3 -1020,00");
  EXPECT_EQ(c->Line(), "data K1200_3 1020,00");
}

TEST_F(BalanceServerTest, StopTerminatesTheConversationsAndASecondServerCannotStart) {
  BalanceServer second(name_);
  EXPECT_FALSE(second.Start());
  auto c = Connect();
  server_.Stop();
  EXPECT_FALSE(server_.IsListening());
  EXPECT_EQ(c->Line(), "terminate");
  EXPECT_TRUE(c->Closed());
}

}  // namespace
}  // namespace talvera::testing
