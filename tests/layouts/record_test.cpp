// New records, single fields, the record view and finding fields by name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/layouts/layouts.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/today.h"

namespace talvera::layouts {
namespace {

std::vector<unsigned char> Record(const Layout& layout, unsigned char fill = 0) {
  return std::vector<unsigned char>(layout.recordLength, fill);
}

std::string Bytes(const std::vector<unsigned char>& r, int offset, int n) {
  return std::string(reinterpret_cast<const char*>(r.data()) + offset, n);
}

// Offsets and widths of the fields a new record of the layout fills in;
// everything else must be zero.
struct Expected {
  std::vector<int> zeroAmounts;               // "000000000,00"
  std::vector<std::pair<int, int>> bytes;     // offset, value
  std::vector<std::pair<int, std::string>> texts;
};

std::vector<int> Every(int first, int count, int step) {
  std::vector<int> v;
  for (int i = 0; i < count; ++i) v.push_back(first + i * step);
  return v;
}

std::vector<int> Join(std::vector<std::vector<int>> parts) {
  std::vector<int> v;
  for (auto& p : parts) v.insert(v.end(), p.begin(), p.end());
  return v;
}

void ExpectNewRecord(const Layout& layout, const Expected& e) {
  SCOPED_TRACE(layout.name);
  auto r = Record(layout, 0xAB);  // stale bytes must not survive
  InitRecord(layout, r.data());
  std::set<int> set;
  for (int off : e.zeroAmounts) {
    EXPECT_EQ(Bytes(r, off, 13), std::string("000000000,00\0", 13)) << "amount at " << off;
    for (int b = off; b < off + 13; ++b) set.insert(b);
  }
  for (auto [off, value] : e.bytes) {
    EXPECT_EQ(r[off], value) << "byte " << off;
    set.insert(off);
  }
  for (const auto& [off, text] : e.texts) {
    EXPECT_EQ(Bytes(r, off, text.size() + 1), text + std::string(1, '\0')) << "text at " << off;
    for (int b = off; b < off + static_cast<int>(text.size()); ++b) set.insert(b);
  }
  for (int b = 0; b < layout.recordLength; ++b) {
    if (set.count(b)) continue;
    EXPECT_EQ(r[b], 0) << "byte " << b;
  }
}

class NewRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "15.03.1997", 1);
    ResetDayToday();
    CurrentMandant().fiscalStartMonth = 1;
  }
  void TearDown() override {
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
    CurrentMandant().fiscalStartMonth = 1;
  }
};

TEST_F(NewRecord, AccountsStartUnpostedWithZeroAmounts) {
  ExpectNewRecord(sako::kLayout,
                  {Join({{29, 42, 55, 112, 125, 138, 151}, Every(164, 24, 13), Every(512, 13, 13)}),
                   {{68, 1}, {69, 0}, {20, 1}, {21, 0}},
                   {}});
  ExpectNewRecord(personal::kLayout,
                  {Join({{27, 40, 53, 208, 221, 234, 247}, Every(260, 24, 13), Every(709, 13, 13)}),
                   {{66, 1}, {67, 0}, {18, 1}, {19, 0}},
                   {}});
  ExpectNewRecord(kore::kLayout, {Join({Every(53, 12, 13), Every(209, 13, 13)}), {{52, 1}}, {}});
}

TEST_F(NewRecord, JournalRecordHasZeroKeyAndTodayAsEntryDate) {
  ExpectNewRecord(bube::kLayout,
                  {{63, 76, 89}, {}, {{0, "0000000000"}, {172, "150317"}}});
}

TEST_F(NewRecord, EntryDateFollowsTheFiscalYear) {
  CurrentMandant().fiscalStartMonth = 7;  // 15.03.1997 is period 9 of 1996/97
  auto r = Record(bube::kLayout);
  InitRecord(bube::kLayout, r.data());
  EXPECT_EQ(GetText(r.data(), bube::kEntryDate), "150916");
}

TEST_F(NewRecord, OtherFilesAreZeroFilled) {
  for (const Layout* layout : {&fista::kLayout, &steke::kLayout, &structure::kLayout,
                               &bat::kLayout, &stapel::kLayout, &open_item::kLayout,
                               &ueberw::kLayout, &bank::kLayout, &kurse::kLayout,
                               &butext::kLayout, &buscha::kLayout, &user::kLayout})
    ExpectNewRecord(*layout, {});
}

TEST_F(NewRecord, BySlot) {
  auto r = Record(personal::kLayout, 0xAB);
  EXPECT_TRUE(InitRecord(kSlotKred, r.data()));
  EXPECT_EQ(GetNumber(r.data(), personal::kUnposted), 1);
  EXPECT_EQ(r[955], 0);
  std::vector<unsigned char> scratch(16, 0xAB);
  EXPECT_FALSE(InitRecord(kSlotScratch, scratch.data()));  // no layout: untouched
  EXPECT_EQ(scratch[0], 0xAB);
}

TEST(FieldText, WindowsCodePageInTheRecordUtf8Outside) {
  auto r = Record(butext::kLayout);
  EXPECT_TRUE(SetText(r.data(), butext::kText, "Bürobedarf 5 €"));
  EXPECT_EQ(Bytes(r, 0, 15), std::string("B\xFCrobedarf 5 \x80\0", 15));
  EXPECT_EQ(GetText(r.data(), butext::kText), "Bürobedarf 5 €");
  SetText(r.data(), butext::kText, "Haken ✓");  // not in the code page
  EXPECT_EQ(GetText(r.data(), butext::kText), "Haken ?");
}

TEST(FieldText, StaysInsideItsWidth) {
  const struct {
    const char* name;
    std::string text;
    std::string stored;
    bool whole;
  } cases[] = {
      {"fits with its NUL", std::string(25, 'x'), std::string(25, 'x'), true},
      {"one too long is cut", std::string(26, 'x'), std::string(25, 'x'), false},
      {"umlauts count one byte each", std::string(13, 'x') + "ÄÖÜäöüßÄÖÜäöü",
       std::string(13, 'x') + "ÄÖÜäöüßÄÖÜäö", false},
      {"an embedded NUL ends the text", std::string("ab\0cd", 5), "ab", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = Record(sako::kLayout, 0xAB);  // neighbours and stale bytes
    EXPECT_EQ(SetText(r.data(), sako::kName, c.text), c.whole);
    EXPECT_EQ(GetText(r.data(), sako::kName), c.stored);
    EXPECT_EQ(r[69], 0xAB);  // the field before
    EXPECT_EQ(r[96], 0xAB);  // the field after
    EXPECT_EQ(r[95], 0);     // the NUL inside the width
  }
}

TEST(FieldText, ShorterTextLeavesNothingOfTheOldOne) {
  auto r = Record(bank::kLayout);
  SetText(r.data(), bank::kBankName, "Kreissparkasse Musterstadt");
  SetText(r.data(), bank::kBankName, "Volksbank");
  for (int b = 30 + 9; b < 58; ++b) EXPECT_EQ(r[b], 0) << b;
}

TEST(FieldText, UnterminatedFieldReadsOnlyItsWidth) {
  auto r = Record(kurse::kLayout, 'x');
  EXPECT_EQ(GetText(r.data(), kurse::kCurrency), "xxxxx");
}

TEST(FieldNumber, RoundTripAndRange) {
  const struct {
    Field field;
    long value;
    bool fits;
    long readBack;
  } cases[] = {
      {personal::kDunningKey, -1, true, -1},  // int16 "nicht mahnen"
      {sako::kUnposted, 32767, true, 32767},
      {sako::kUnposted, 32768, false, -32768},
      {bube::kFlags, 0xFFFF, true, 0xFFFF},  // uint16 posting flags
      {bube::kFlags, -1, false, 0xFFFF},
      {user::kRights, 8191, true, 8191},
      {bank::kImportBatch, -7, true, -7},
      {bube::kPostingNo, 2147483647L, true, 2147483647L},
      {sako::kTaxKey, 2 + 32, true, 34},  // byte
      {sako::kTaxKey, 256, false, 0},
      {sako::kName, 5, false, 0},  // not a number field: nothing written
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field.name) + " " + std::to_string(c.value));
    std::vector<unsigned char> r(1400, 0);
    EXPECT_EQ(SetNumber(r.data(), c.field, c.value), c.fits);
    EXPECT_EQ(GetNumber(r.data(), c.field), c.readBack);
  }
  std::vector<unsigned char> r(64, 0);
  SetNumber(r.data(), stapel::kBatchNo, 0x01020304);
  EXPECT_EQ(r[0], 4);  // little-endian
  EXPECT_EQ(r[3], 1);
}

TEST(FieldArray, ElementsAndTheirBounds) {
  EXPECT_EQ(sako::kPeriodDebit.At(0).offset, 164);
  EXPECT_EQ(sako::kPeriodCredit.At(11).offset, 177 + 26 * 11);
  EXPECT_EQ(personal::kBudget.At(12).offset, 709 + 13 * 12);
  EXPECT_EQ(bat::kLine.In(2, bat_line::kGross).offset, 31 + 2 * 94 + 32);
  EXPECT_EQ(bat::kTransfer.In(ueberw::kAmount).offset, 1071 + 178);

  // A wrong element number must not reach a neighbouring field.
  auto r = Record(sako::kLayout);
  InitRecord(sako::kLayout, r.data());
  auto before = r;
  for (int bad : {-1, 12}) {
    EXPECT_FALSE(SetRawText(r.data(), sako::kPeriodDebit.At(bad), "999999999,99"));
    EXPECT_EQ(GetText(r.data(), sako::kPeriodDebit.At(bad)), "");
  }
  EXPECT_EQ(GetText(r.data(), bat::kLine.In(10, bat_line::kGross)), "");
  EXPECT_EQ(r, before);
}

TEST(FieldByName, FindsWhatTheRecordViewShows) {
  const struct {
    const Layout* layout;
    const char* name;
    int offset;  // -1: not found
  } cases[] = {
      {&sako::kLayout, "account_no", 0},
      {&sako::kLayout, "period_debit[1]", 164},
      {&sako::kLayout, "period_credit[12]", 177 + 26 * 11},
      {&sako::kLayout, "period_debit[13]", -1},
      {&sako::kLayout, "period_debit[0]", -1},
      {&sako::kLayout, "period_debit[x]", -1},
      {&sako::kLayout, "reserved", -1},
      {&sako::kLayout, "no_such_field", -1},
      {&bat::kLayout, "line[3].gross", 31 + 2 * 94 + 32},
      {&bat::kLayout, "line.gross", -1},  // which line?
      {&bat::kLayout, "transfer.amount", 1071 + 178},
      {&bat::kLayout, "transfer.purpose[2]", 1071 + 92 + 28},
      {&bat::kLayout, "text.x", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = FindField(*c.layout, c.name);
    if (c.offset < 0) {
      EXPECT_FALSE(f.has_value());
    } else {
      ASSERT_TRUE(f.has_value());
      EXPECT_EQ(f->offset, c.offset);
    }
  }
}

TEST(RecordView, ShowsFieldsByNameAndFlagsDamage) {
  auto r = Record(sako::kLayout);
  InitRecord(sako::kLayout, r.data());
  SetText(r.data(), sako::kAccountNo, "   1400");
  SetText(r.data(), sako::kName, "Forderungen ä");
  std::string view = DescribeRecord(sako::kLayout, r.data(), r.size());
  EXPECT_NE(view.find("    0    8  account_no"), std::string::npos) << view;
  EXPECT_NE(view.find("\"   1400\""), std::string::npos);
  EXPECT_NE(view.find("\"Forderungen ä\""), std::string::npos);
  EXPECT_NE(view.find("period_credit[12]"), std::string::npos);
  EXPECT_EQ(view.find("reserved"), std::string::npos);  // zero: not shown

  r[700] = 0x7F;                                // something in the unused bytes
  std::memset(r.data() + 8, 'K', 10);           // short code without NUL
  view = DescribeRecord(sako::kLayout, r.data(), r.size());
  EXPECT_NE(view.find("reserved"), std::string::npos);
  EXPECT_NE(view.find("no terminating NUL"), std::string::npos);

  view = DescribeRecord(sako::kLayout, r.data(), 100);  // a short record
  EXPECT_NE(view.find("(missing)"), std::string::npos);
}

TEST(RecordView, BookingLinesByNumberEmptyOnesInOneLine) {
  auto r = Record(bat::kLayout);
  SetText(r.data(), bat::kLine.In(0, bat_line::kDebitAccount), "   1000");
  SetText(r.data(), bat::kTransfer.In(ueberw::kAmount), "000000010,00");
  std::string view = DescribeRecord(bat::kLayout, r.data(), r.size());
  EXPECT_NE(view.find("line[1].debit_account"), std::string::npos) << view;
  EXPECT_NE(view.find("line[2]"), std::string::npos);
  EXPECT_EQ(view.find("line[2].debit_account"), std::string::npos);
  EXPECT_NE(view.find("transfer.amount"), std::string::npos);
}

TEST(LayoutOfFile, ByNameElseByUniqueLength) {
  EXPECT_EQ(LayoutForFileName("sako.bt3"), &sako::kLayout);  // chart template
  EXPECT_EQ(LayoutForFileName("/data/19962/KRED.BTR"), &personal::kLayout);
  EXPECT_EQ(LayoutForFileName("fista.311"), &fista::kLayout);
  EXPECT_EQ(LayoutForFileName("opkred"), &open_item::kLayout);
  EXPECT_EQ(LayoutForFileName("sakox.btr"), nullptr);
  EXPECT_EQ(LayoutForFile("FISTANEU.btr", 998), &fista::kLayout);
  EXPECT_EQ(LayoutForFile("copy.btr", 64), nullptr);  // five layouts have 64 bytes
}

}  // namespace
}  // namespace talvera::layouts
