#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/message_recorder.h"
#include "shell/notifier.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

std::string Zivaout() { return std::string(std::getenv("TALVERA_BIN")) + "/zivaout"; }

std::string ReadLog(const talvera::testing::TempDir& dir) {
  std::ifstream in(dir / "notices.log");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(unsigned char* p, const char* text) { std::memcpy(p, text, std::strlen(text)); }
void PutInt(unsigned char* p, std::int32_t v) { std::memcpy(p, &v, 4); }

TEST(Notifier, DeliversNoticesToZivaoutAndStops) {
  talvera::testing::TempSettingsDir settings;
  MessageRecorder messages;
  StartNotifier(Zivaout());
  ASSERT_TRUE(NotifierEnabled());

  unsigned char account[59] = {};
  PutInt(account, 1);
  Put(account + 4, "1400");
  Put(account + 12, "Ford");
  Put(account + 21, "Forderungen");
  Notify(kNoticeNew, kNoticeSachkonto, account, sizeof account);

  unsigned char booking[900] = {};
  PutInt(booking, 2);
  Put(booking + 8, "1503917");
  Put(booking + 15, "R-1");
  Put(booking + 24, "Miete M\xE4rz");
  PutInt(booking + 55, 1);
  Put(booking + 59, "4210");
  Put(booking + 59 + 12, "1200");
  Put(booking + 59 + 24, "-00000800,00");
  Notify(kNoticeNew, kNoticeBooking, booking, sizeof booking);
  StopNotifier();

  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(ReadLog(settings),
            "neu\tSachkonto\tMandant=1\tKonto=1400\tKuerzel=Ford\tName=Forderungen\n"
            "neu\tBuchung\tMandant=2\tStapel=0\tDatum=1503917\tBeleg=R-1\tText=Miete März\t"
            "Zeilen=1\t4210 an 1200 -00000800,00\n");
  EXPECT_FALSE(NotifierEnabled());
}

TEST(Notifier, MissingProgramIsReportedOnceAndNothingIsSent) {
  talvera::testing::TempSettingsDir settings;
  MessageRecorder messages;
  StartNotifier(settings / "fehlt");
  EXPECT_FALSE(NotifierEnabled());
  unsigned char payload[59] = {};
  Notify(kNoticeNew, kNoticeSachkonto, payload, sizeof payload);
  StopNotifier();
  EXPECT_EQ(messages.Numbers(), std::vector<int>{545});
}

TEST(Notifier, SilentReceiverTimesOutOnceAndNoticesStop) {
  talvera::testing::TempSettingsDir settings;
  MessageRecorder messages;
  // A receiver that takes the notice but never answers.
  std::string program = settings / "stumm";
  std::ofstream(program) << "#!/bin/sh\nexec sleep 600\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  StartNotifier(program);
  ASSERT_TRUE(NotifierEnabled());
  unsigned char payload[59] = {};
  Notify(kNoticeNew, kNoticeSachkonto, payload, sizeof payload);  // taken, never answered
  Notify(kNoticeNew, kNoticeSachkonto, payload, sizeof payload);  // times out: 546
  Notify(kNoticeNew, kNoticeSachkonto, payload, sizeof payload);  // not attempted
  EXPECT_FALSE(NotifierEnabled());
  StopNotifier();
  EXPECT_EQ(messages.Numbers(), std::vector<int>{546});
}

TEST(Notifier, ReceiverCountComesFromTheSettingsDirectory) {
  talvera::testing::TempSettingsDir settings;
  EXPECT_EQ(NotifierReceiverCount(), 1);
  std::filesystem::create_directories(settings / "ZIVA_Out/rechnung");
  std::filesystem::create_directories(settings / "ZIVA_Out/lager");
  EXPECT_EQ(NotifierReceiverCount(), 2);
}

}  // namespace
