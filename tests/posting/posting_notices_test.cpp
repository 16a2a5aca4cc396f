// Postings tell the dependent applications through the notifier, and go on
// posting when a receiver hangs.
#include "posting_fixture.h"

#include <fstream>
#include <sstream>

#include "shell/notices.h"
#include "shell/notifier.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, D = 8;

bool SixteenPercentLookup(int, int, char* rate) {
  std::strcpy(rate, "19,00");
  return true;
}

class PostingNoticesTest : public PostingTest {
 protected:
  void SetUp() override {
    PostingTest::SetUp();
    SetBookingListener([](const void* booking) { NotifyBooking(booking, 1, SixteenPercentLookup); });
  }
  void TearDown() override {
    SetBookingListener(nullptr);
    StopNotifier();
    PostingTest::TearDown();
  }
};

TEST_F(PostingNoticesTest, ABookingReachesNoticesLog) {
  StartNotifier(std::string(std::getenv("TALVERA_BIN")) + "/zivaout");
  ASSERT_TRUE(Booking("150346", "Rechnung 17", "R-17")
                  .Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00")
                  .Post());
  StopNotifier();
  std::ifstream log(settings_ / "notices.log");
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_EQ(text.str(),
            "neu\tBuchung\tMandant=1\tStapel=0\tDatum=150326\tBeleg=R-17\tText=Rechnung 17\tZeilen=1\t"
            "10000 an 8400 000000119,00 USt 19,00% 000000019,00\n");
}

TEST_F(PostingNoticesTest, AHangingReceiverDoesNotStopThePostings) {
  std::string program = settings_ / "stumm";
  std::ofstream(program) << "#!/bin/sh\nexec sleep 600\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  StartNotifier(program);
  for (const char* date : {"150346", "160346", "170346"})
    EXPECT_TRUE(Booking(date).Line("1200", S, "1000", S, "000000010,00").Post()) << date;
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{546});  // once: the second notice timed out
  EXPECT_EQ(Journal().size(), 3u);
}

}  // namespace
}  // namespace talvera::testing
