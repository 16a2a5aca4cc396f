#include <gtest/gtest.h>

#include <string>

#include "reports/clipboard_text.h"
#include "reports/report_kinds.h"

using namespace talvera;

namespace {

// A journal of one posting and its closing rules: the clipboard gets the
// three heading lines the screen shows above the report, then the report
// with tabs for segments and rows of "=" for both kinds of double rule.
TEST(ClipboardText, JournalGetsItsHeadingAndEqualsRows) {
  ReportBuffer b;
  ASSERT_TRUE(b.Begin("TQBJOUOBJ0", "TQBJOUTAB0"));
  const char* values[] = {"4711", "02.01.96", "03.01.96", "B\xfcromaterial", "   4930",
                          "100,00", "   1000", "100,00", "   1576", "15,00"};
  for (int i = 0; i < 10; ++i) b.SetFieldSlot(i, values[i]);
  b.AddTemplateLine();
  b.AddEmptyLine();
  b.AddCodeLine(kLineDoubleRule);
  b.AddCodeLine(kLineEquals);
  b.AddCodeLine(kLineRule + kLineBold);
  b.AddTextLine("\1Ende");
  std::string eq(137, '='), dash(137, '-');
  auto text = ReportPlainText(b, kReportJournal, JournalPeriodText("010116", "311216"));
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "Buchungsjournal vom 01.01.1996 bis 31.12.1996\r\n"
            "Beleg-Nr.\tBelegdat.\tBuch.dat.\tBuchungstext\tSoll\tBetrag\tHaben\tBetrag\tSteuer\tBetrag\r\n"
            "=========\t=========\t=========\t============\t====\t======\t=====\t======\t======\t======\r\n"
            "4711\t02.01.96\t03.01.96\tBüromaterial\t   4930\t100,00\t   1000\t100,00\t   1576\t15,00\r\n"
            "\r\n" + eq + "\r\n" + eq + "\r\n" + dash + "\r\n\t\t\tEnde\r\n");
}

// A report of its own width copies its rules at that width, not its kind's.
TEST(ClipboardText, RulesTakeTheReportsOwnWidth) {
  ReportBuffer b;
  ASSERT_TRUE(b.Begin("TQSVOROBJ0", "TQSVORTAB1"));
  b.SetWidth(118);
  b.AddCodeLine(kLineRule);
  auto text = ReportPlainText(b, kReportUstva, "");
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, std::string(118, '-') + "\r\n");
}

TEST(ClipboardText, AccountSheetHeadingLinesCountAsCentred) {
  ReportBuffer b;
  ASSERT_TRUE(b.Begin("TQKBLAOBJ0", "TQKBLATAB0"));
  b.AddTextLine("\2Sachkonto\2   1000 Kasse");
  b.AddTextLine("\1Januar 1996");
  b.AddTextLine("\2Saldovortrag\3" "100,00");
  auto text = ReportPlainText(b, kReportKontenblatt, "");
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, "\t\t\tSachkonto\r\n\t\t\tJanuar 1996\r\nSaldovortrag\t100,00\r\n");
}

}  // namespace
