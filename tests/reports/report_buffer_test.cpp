#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reports/list_print_layout.h"
#include "reports/report_buffer.h"
#include "reports/report_state.h"
#include "reports/report_templates.h"

using namespace talvera;

namespace {

TemplateObject Obj(int width, int tab, ObjectAlignment align) { return {width, tab, align}; }
const TemplateObject kBreak{};

std::vector<std::string> Lines(const ReportBuffer& b) {
  std::vector<std::string> lines;
  for (int i = 0; i < b.LineCount(); ++i) lines.emplace_back(b.Line(i));
  return lines;
}

// Every template parses to the number of objects and tabs it declares, and
// no object points beyond the 32 tabs a tab list can hold.
TEST(ReportTemplates, TablesHoldWhatTheyDeclare) {
  for (const TemplateEntry& e : ObjectTemplateTable()) {
    auto objects = FindObjectTemplate(e.name);
    ASSERT_TRUE(objects) << e.name;
    int count = 0;
    for (const TemplateObject& o : *objects) {
      if (o.IsLineBreak()) continue;
      ++count;
      EXPECT_LT(o.tab, kMaxTabs) << e.name;
    }
    EXPECT_EQ(count, e.count) << e.name;
  }
  for (const TemplateEntry& e : TabTemplateTable()) {
    auto tabs = FindTabTemplate(e.name);
    ASSERT_TRUE(tabs) << e.name;
    EXPECT_EQ(static_cast<int>(tabs->size()), e.count) << e.name;
    EXPECT_LE(e.count, kMaxTabs) << e.name;
  }
}

TEST(ReportTemplates, NamesIgnoreCaseAndVariantsReplaceTheDigit) {
  EXPECT_TRUE(FindObjectTemplate("tqksalobj1"));
  EXPECT_FALSE(FindObjectTemplate("TQKSALOBJ7"));
  EXPECT_EQ(TemplateVariant("TQKSALOBJ0", 1), "TQKSALOBJ1");
  EXPECT_EQ(TemplateVariant("TQKOSTOBJ", 2), "TQKOSTOBJ2");
  ReportBuffer b;
  EXPECT_FALSE(b.Begin("TQKSALOBJ0", "TQNOSUCHTAB"));
  EXPECT_TRUE(b.Begin("tqsvorobj0", "TQSVORTAB1"));  // a report with tabs only
  EXPECT_EQ(b.TemplateTabs(), (std::vector<int>{0, 54, 60, 81, 91, 98, 118}));
}

// The trial balance's screen line: each object opens the segments up to its
// tab, long values are cut, short ones are not padded.
TEST(ReportBuffer, TemplateLineCutsValuesAndOpensSegmentsUpToEachTab) {
  ReportBuffer b;
  ASSERT_TRUE(b.Begin("TQKSALOBJ0", "TQKSALTAB0"));
  const char* values[] = {"   1000", "KASSE", "Kasse mit einem sehr langen Namen", "1.234,56", "Soll"};
  for (int i = 0; i < 5; ++i) b.SetFieldSlot(i, values[i]);
  ASSERT_TRUE(b.AddTemplateLine());
  EXPECT_EQ(Lines(b), std::vector<std::string>{
                          "\3\3   1000\2KASSE\2Kasse mit einem sehr lang\3" "1.234,56\2Soll"});
}

TEST(ReportBuffer, TemplateRowsBreakLinesAndADoubleBreakGivesAnEmptyLine) {
  ReportBuffer b;
  ASSERT_TRUE(b.Begin({Obj(5, 1, kAlignLeft), Obj(3, 1, kAlignLeft), kBreak, kBreak,
                       Obj(4, 0, kAlignRight)},
                      {1, 10}));
  b.SetFieldSlot(0, "ab");
  b.SetFieldSlot(1, "cd");  // same tab: continues the segment before it
  b.SetFieldSlot(2, "x\ty");  // a control byte must not open a segment
  ASSERT_TRUE(b.AddTemplateLine());
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"\2\2abcd", "", "\3x y"}));
}

TEST(ReportBuffer, LinesCodesAndPages) {
  ReportBuffer b;
  ASSERT_TRUE(b.Begin("TQANAOBJ", "TQANATAB"));
  b.AddTextLine(std::string("\x31Titel"));
  b.AddEmptyLine();
  b.AddCodeLine(kLineDoubleRule);
  b.AddPageBreak();
  b.AddTextLine(std::string("\3\3Summe:\3", 9));
  EXPECT_EQ(b.LineCount(), 5);
  EXPECT_EQ(b.PageCount(), 1);
  EXPECT_EQ(b.Line(2), "\6");
  EXPECT_EQ(b.Line(4), "\3\3Summe:\3");
  EXPECT_EQ(b.Line(5), "");  // beyond the last line
  LineHead head = ReadLineHead(b.Line(0));
  EXPECT_EQ(head.code, kLineCentred);
  EXPECT_EQ(head.attributes, kLineBold | kLineUnderlined);
  b.Clear();
  EXPECT_EQ(b.LineCount(), 0);
  EXPECT_EQ(b.PageCount(), 0);
}

// A big report goes to the temporary file block by block: every line reads
// back as written, in order and out of order (more blocks than the read
// cache holds), empty lines and a line longer than a block included; after
// Clear the buffer starts in memory again.
TEST(ReportBuffer, LinesBeyondTheMemoryLimitReadBackFromTheTemporaryFile) {
  ReportBuffer b;
  b.SetStorageLimits(100, 40);
  ASSERT_TRUE(b.Begin(std::vector<TemplateObject>{}, std::vector<int>{}));
  std::vector<std::string> written;
  for (int i = 0; i < 300; ++i) {
    std::string line = i % 7 == 0 ? std::string() : "\2Zeile " + std::to_string(i);
    if (i == 150) line = "\2" + std::string(95, 'x');  // longer than a block
    ASSERT_TRUE(b.AddTextLine(line));
    written.push_back(line);
  }
  ASSERT_TRUE(b.Spilled());
  EXPECT_EQ(Lines(b), written);
  for (int i : {299, 0, 150, 3, 298, 77, 1, 151})
    EXPECT_EQ(b.Line(i), written[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(b.Line(300), "");
  b.Clear();
  ASSERT_TRUE(b.Begin(std::vector<TemplateObject>{}, std::vector<int>{}));
  ASSERT_TRUE(b.AddTextLine("\2klein"));
  EXPECT_FALSE(b.Spilled());
  EXPECT_EQ(b.Line(0), "\2klein");
}

// A finished report handed over to be printed beside the next one: swapped
// whole, its lines then held in memory only up to the given amount, and
// read back the same; the other buffer keeps its own limits.
TEST(ReportBuffer, AHandedOverReportKeepsItsLinesAndHoldsLittle) {
  ReportBuffer built, handed;
  built.SetStorageLimits(1 << 20, 64);
  ASSERT_TRUE(built.Begin(std::vector<TemplateObject>{}, std::vector<int>{4, 9}));
  built.SetWidth(77);
  std::vector<std::string> written;
  for (int i = 0; i < 200; ++i) {
    written.push_back("\2Zeile " + std::to_string(i));
    ASSERT_TRUE(built.AddTextLine(written.back()));
  }
  ASSERT_FALSE(built.Spilled());
  handed.SwapReport(built);
  EXPECT_EQ(built.LineCount(), 0);
  EXPECT_EQ(handed.Width(), 77);
  EXPECT_EQ(handed.TemplateTabs(), (std::vector<int>{4, 9}));
  ASSERT_TRUE(handed.HoldAtMost(1 << 20));
  EXPECT_FALSE(handed.Spilled());
  ASSERT_TRUE(handed.HoldAtMost(100));
  EXPECT_TRUE(handed.Spilled());
  EXPECT_EQ(Lines(handed), written);
  // The builder's buffer goes on in memory, up to its own limit.
  ASSERT_TRUE(built.Begin(std::vector<TemplateObject>{}, std::vector<int>{}));
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(built.AddTextLine(written[static_cast<std::size_t>(i)]));
  EXPECT_FALSE(built.Spilled());
}

// A text byte at the start of a line is no line code: its low four bits
// must not turn "," (0x2C), "L" (0x4C) or "Ü" (0xDC) into a page break.
TEST(ReportBuffer, OnlyCodesOneToSixCarryAttributes) {
  struct Row {
    unsigned char first;
    unsigned char code, attributes;
  } rows[] = {
      {0x0C, kLinePageBreak, 0},
      {0x11, kLineCentred, kLineBold},
      {0x61, kLineCentred, kLineUnderlined | kLineLarge},
      {0x36, kLineDoubleRule, kLineBold | kLineUnderlined},
      {',', kLineNoCode, 0},
      {'L', kLineNoCode, 0},
      {0xDC, kLineNoCode, 0},  // Ü
      {0x1F, kLineNoCode, 0},
      {0x92, kLineNoCode, 0},
  };
  for (const Row& r : rows) {
    std::string line(1, static_cast<char>(r.first));
    LineHead head = ReadLineHead(line + "text");
    EXPECT_EQ(head.code, r.code) << int(r.first);
    EXPECT_EQ(head.attributes, r.attributes) << int(r.first);
  }
}

// One report may switch its object template and give a template line
// attributes; the tab list, the lines and the field slots stay.
TEST(ReportBuffer, SwitchesObjectTemplateAndMarksTemplateLines) {
  ReportBuffer b;
  ASSERT_TRUE(b.Begin("TQKPLANOBJ0", "TQKPLANTAB0"));
  b.SetWidth(92);
  b.SetFieldSlot(0, "1000");
  b.SetFieldSlot(2, "Kasse");
  ASSERT_TRUE(b.UseObjectTemplate("TQANAOBJ"));
  EXPECT_FALSE(b.UseObjectTemplate("TQNICHTDA"));
  ASSERT_TRUE(b.AddTemplateLine(kLineBold | kLineUnderlined));
  EXPECT_EQ(b.Line(0), std::string("\x32" "1000\3\3Kasse\3"));
  EXPECT_EQ(ReadLineHead(b.Line(0)).attributes, kLineBold | kLineUnderlined);
  EXPECT_EQ(b.TemplateTabs().size(), 9u);
  EXPECT_EQ(b.Width(), 92);
  ASSERT_TRUE(b.Begin("TQANAOBJ", "TQANATAB"));
  EXPECT_EQ(b.Width(), 0);  // a new report starts with its kind's width
}

struct StretchRow {
  const char* name;
  int width, columns;
  int stretchedWidth;
  int stretchedTab;  // of a tab at 60
};

TEST(ReportStretch, FactorIsCappedAndSmallGainsAreIgnored) {
  const StretchRow rows[] = {
      {"capped at 1.5, not (140-6)/80", 80, 140, 120, 90},
      {"84 columns give 0.975: none", 80, 84, 80, 60},
      {"86 columns give exactly 1.0: none", 80, 86, 80, 60},
      {"just above 1.01", 80, 87, 81, 61},  // 81/80 = 1.0125
      {"a list has no width to spread", 0, 200, 0, 60},
  };
  for (const StretchRow& r : rows) {
    StretchedLayout s = Stretch(r.width, {1, 60}, r.columns);
    EXPECT_EQ(s.width, r.stretchedWidth) << r.name;
    EXPECT_EQ(s.tabs[1], r.stretchedTab) << r.name;
  }
}

TEST(ReportStretch, CurrentReportStretchesFromItsTemplateAndNeverTheSheetOnScreen) {
  ASSERT_TRUE(BeginReport("TQKSALOBJ0", "TQKSALTAB0"));
  SetReportKind(2);
  StretchCurrentReport(140, true);
  StretchCurrentReport(140, true);  // showing again must not stretch twice
  EXPECT_EQ(CurrentReport().displayWidth, 120);
  EXPECT_EQ(CurrentReport().tabs, (std::vector<int>{2, 11, 15, 32, 90, 95, 120}));

  ASSERT_TRUE(BeginReport("TQKBLAOBJ1", "TQKBLATAB1"));
  SetReportKind(4);
  StretchCurrentReport(200, true);
  EXPECT_EQ(CurrentReport().displayWidth, 108);
  StretchCurrentReport(200, false);  // the printer may
  EXPECT_EQ(CurrentReport().displayWidth, 162);

  // A narrow variant of a wide kind is shown and stretched at its own width.
  ASSERT_TRUE(BeginReport("TQGUVOBJ0", "TQGUVTAB0"));
  SetReportWidth(56);
  SetReportKind(6);
  EXPECT_EQ(CurrentReport().displayWidth, 56);
  StretchCurrentReport(140, true);
  EXPECT_EQ(CurrentReport().displayWidth, 84);
  SetReportKind(0);
  TheReportBuffer().Clear();
}

// Characters per line at a height, for a page 70 characters wide at 5 pt.
double NarrowPage(int twips) { return 70.0 * 100 / twips; }
double WidePage(int twips) { return 100.0 * 100 / twips; }

TEST(PrintFontChoice, TakesTheLargestHeightThatFitsOrFails) {
  EXPECT_EQ(ChooseAutoFontHeight(80, NarrowPage), 0);
  EXPECT_EQ(ChooseAutoFontHeight(70, NarrowPage), 100);
  EXPECT_EQ(ChooseAutoFontHeight(80, WidePage), 120);
  EXPECT_EQ(ChooseAutoFontHeight(0, NarrowPage), 190);
}

TEST(PrinterMetrics, LinesPerPageKeepFourLinesOfMargin) {
  PrinterMetrics m = MeasurePrinter(1000, 600, 10, 20);
  EXPECT_EQ(m.lineWidth, 100);
  EXPECT_EQ(m.linesPerPage, 26);
}

// Printed lists fill a column from row 3, then the next column across the
// page, then a new page; an entry taller than a column still gets printed.
TEST(ListPrintLayout, ColumnsThenPages) {
  auto placed = PlaceListEntries({1, 2, 1, 9, 1}, 6, 2);
  std::vector<std::vector<int>> got;
  for (const ListSlot& s : placed) got.push_back({s.page, s.column, s.row});
  EXPECT_EQ(got, (std::vector<std::vector<int>>{
                     {0, 0, 3}, {0, 0, 4}, {0, 1, 3}, {1, 0, 3}, {1, 1, 3}}));
}

}  // namespace
