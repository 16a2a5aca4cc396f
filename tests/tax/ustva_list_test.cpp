// The UStVA list as the report window lays it out, compared with golden text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/cp1252.h"
#include "reports/line_layout.h"
#include "reports/report_buffer.h"
#include "tax/ustva_fixture.h"

namespace talvera::testing {
namespace {

// The report buffer on a grid of characters, through the layout screen and
// printer use: tabbed segments at their tabs, centred lines centred.
std::string RenderList(int width) {
  const ReportBuffer& buffer = TheReportBuffer();
  LineFrame frame;
  frame.charWidth = 1;
  frame.width = width;
  frame.tabs = &buffer.TemplateTabs();
  auto measure = [](std::string_view text) { return static_cast<double>(text.size()); };
  std::string out;
  for (int i = 0; i < buffer.LineCount(); ++i) {
    LineLayout layout = LayOutLine(buffer.Line(i), frame, measure);
    std::string row;
    for (const LineItem& item : layout.items) {
      int x = static_cast<int>(std::lround(item.x));
      std::string text = item.kind == LineItem::kText
                             ? item.text
                             : std::string(static_cast<std::size_t>(item.right - item.x),
                                           item.kind == LineItem::kRule ? '-' : '=');
      if (x < 0) x = 0;
      if (row.size() < x + text.size()) row.resize(x + text.size(), ' ');
      row.replace(x, text.size(), text);
    }
    while (!row.empty() && row.back() == ' ') row.pop_back();
    out += Cp1252ToUtf8(row) + "\n";
  }
  return out;
}

class UstvaListTest : public UstvaTest {
 protected:
  std::string List(const UstvaReturn& r) {
    int lines = 0;
    EXPECT_TRUE(BuildUstvaList(r, CurrentUstvaHeading(), lines));
    EXPECT_EQ(lines, TheReportBuffer().LineCount());
    return RenderList(r.form->width);
  }
};

TEST_F(UstvaListTest, March2026OnTodaysForm) {
  OpenMandant("09.12.2026", "2026", "2025");
  BookMarch2026();
  ExpectGolden(List(Compute(3, 2026)), "ustva_2026_03.txt");
}

TEST_F(UstvaListTest, OldFormResultLine) {
  OpenMandant("15.06.1996", "1996");
  struct Case {
    int month;
    const char* account;
    bool debit;
    const char* amount;
    const char* line;
  } cases[] = {
      {1, "1576", true, "000000012,34", "Umsatzsteuer - Erstattungsanspruch (gerundet)"},
      {2, "1770", false, "000000012,35", "Umsatzsteuer - Zahllast (gerundet)"},
  };
  const char* amounts[] = {": 83    -12,40 EUR", ": 83     12,30 EUR"};
  for (const Case& c : cases) {
    if (c.debit) Debit(c.account, c.month, c.amount);
    else Credit(c.account, c.month, c.amount);
    std::string list = List(Compute(c.month, 1996));
    std::size_t at = list.find(c.line);
    ASSERT_NE(at, std::string::npos) << list;
    std::string line = list.substr(at, list.find('\n', at) - at);
    EXPECT_NE(line.find(amounts[c.month - 1]), std::string::npos) << line;
  }
}

TEST_F(UstvaListTest, CashBasisAndSkippedKeysAreNamed) {
  OpenMandant("15.06.1996", "1996");
  CurrentMandant().cashBasis = true;
  Key("8500", 30);
  Credit("8500", 5, "000000010,00");
  std::string list = List(Compute(5, 1996));
  EXPECT_NE(list.find("Istversteuerung: Ausgleichsbuchungen offener Posten"), std::string::npos) << list;
  EXPECT_NE(list.find("Konto 8500 (Kennzahl 30): nicht im Vordruck"), std::string::npos) << list;
}

TEST_F(UstvaListTest, OldFormWholeList) {
  OpenMandant("15.06.1996", "1996");
  Credit("8400", 5, "000001234,56");
  Credit("8300", 5, "000000100,99");
  Debit("3425", 5, "000000200,00");
  Debit("1576", 5, "000000050,00");
  ExpectGolden(List(Compute(5, 1996)), "ustva_1996_05.txt");
}

}  // namespace
}  // namespace talvera::testing
