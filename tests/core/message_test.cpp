#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "core/message.h"
#include "core/message_recorder.h"

using namespace talvera;

namespace {

TEST(Message, StyleRule) {
  const std::pair<int, BoxStyle> cases[] = {
      {16, BoxStyle::kQuestionYesNo},      {21, BoxStyle::kQuestionYesNoCancel},
      {63, BoxStyle::kExclamationOkCancel}, {129, BoxStyle::kInfoOkCancel},
      {22, BoxStyle::kInfoOk},             {85, BoxStyle::kInfoOk},
      {3, BoxStyle::kExclamationOk},       {402, BoxStyle::kQuestionYesNo},
      {401, BoxStyle::kExclamationOk},     {516, BoxStyle::kInfoOk},
      {650, BoxStyle::kInfoOkCancel},      {745, BoxStyle::kExclamationOk},
      {801, BoxStyle::kExclamationOkCancel}, {950, BoxStyle::kQuestionYesNo},
      {980, BoxStyle::kQuestionYesNoCancel}, {3180, BoxStyle::kExclamationOk},
      {513, BoxStyle::kStopOk},  // the program cannot start: an error, not a notice
  };
  for (const auto& [n, style] : cases) EXPECT_EQ(MessageStyle(n), style) << n;
  EXPECT_EQ(ArgumentMessageStyle(201), BoxStyle::kSystemModalOk);
  EXPECT_EQ(ArgumentMessageStyle(206), BoxStyle::kInfoOkCancel);
  EXPECT_EQ(ArgumentMessageStyle(212), BoxStyle::kExclamationOk);
}

TEST(Message, AnswersAndRawResult) {
  MessageRecorder recorder;
  recorder.answers = {kIdNo};
  EXPECT_FALSE(ShowMessage(16));
  EXPECT_EQ(LastMessageResult(), kIdNo);
  recorder.answers = {kIdCancel};
  EXPECT_FALSE(ShowMessage(21));
  EXPECT_EQ(LastMessageResult(), kIdCancel);
  EXPECT_TRUE(ShowMessage(85));
  ASSERT_EQ(recorder.shown.size(), 3u);
  EXPECT_EQ(recorder.shown[2].title, "TALVERA");
  EXPECT_EQ(recorder.shown[2].text, "Das Datum muß innerhalb der bebuchbaren Geschäftsjahre liegen.");
}

TEST(Message, FocusArgumentAndSuffix) {
  MessageRecorder recorder;
  EXPECT_TRUE(ShowMessage(22, 1005));
  EXPECT_EQ(recorder.focused, std::vector<int>{1005});

  SetPendingSuffix(" (80)");
  ShowMessage(3);
  EXPECT_EQ(recorder.shown.back().text, "Sie dürfen in das markierte Feld nur Ziffern eingeben. (80)");
  ShowMessage(3);  // the suffix is used once
  EXPECT_EQ(recorder.shown.back().text, "Sie dürfen in das markierte Feld nur Ziffern eingeben.");
}

TEST(Message, MissingTextsFallBack) {
  MessageRecorder recorder;
  EXPECT_TRUE(ShowMessage(2998));
  EXPECT_EQ(recorder.shown.back().text, "Die Meldung Nr. 2998 kann nicht geladen werden!");
  EXPECT_EQ(recorder.shown.back().style, BoxStyle::kSystemModalOk);
  ShowArgumentMessage(2997, 0, "x");
  EXPECT_EQ(recorder.shown.back().text, "Meldung kann nicht geladen werden");
  EXPECT_EQ(recorder.shown.back().title, "Systemfehler");
}

// Every message number the code shows must be in the table.
TEST(Message, EveryNumberUsedInTheCodeExists) {
  namespace fs = std::filesystem;
  const std::regex call(R"((ShowMessage|ShowArgumentMessage)\(\s*(\d+))");
  std::set<int> missing;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(TALVERA_SOURCE_DIR)) {
    std::string path = entry.path().string();
    std::string ext = entry.path().extension().string();
    if (ext != ".cpp" && ext != ".h") continue;
    std::string rel = fs::relative(entry.path(), TALVERA_SOURCE_DIR).string();
    if (rel.rfind("tests/", 0) == 0 || rel.rfind("build", 0) == 0 || rel.rfind("bench/", 0) == 0)
      continue;
    ++files;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    for (std::sregex_iterator it(s.begin(), s.end(), call), end; it != end; ++it) {
      int n = std::stoi((*it)[2]);
      if (!MessageText(n)) missing.insert(n);
    }
  }
  EXPECT_GT(files, 0);
  EXPECT_TRUE(missing.empty()) << "first missing: " << (missing.empty() ? 0 : *missing.begin());
}

// Cause: status texts told the user to restart Windows, and many were the
// record manager's English descriptions.
TEST(Message, RecordManagerStatusesAreGermanAndSayWhatToDo) {
  const std::regex english(R"(\b(error|file|invalid|not|too|table|full|key|record|cannot)\b)",
                           std::regex::icase);
  int texts = 0;
  for (int n = 3101; n <= 3299; ++n) {
    std::optional<std::string> text = MessageText(n);
    if (!text) continue;
    ++texts;
    EXPECT_EQ(text->find("Windows"), std::string::npos) << n;
    EXPECT_FALSE(std::regex_search(*text, english)) << n << ": " << *text;
  }
  EXPECT_GT(texts, 0);
  for (int n : {3102, 3112, 3130, 3136})
    EXPECT_NE(MessageText(n)->find("Sie "), std::string::npos) << n << " says what to do";
}

}  // namespace
