// Look-ups that read the record store, in a small Mandant with the fiscal
// years 1995 (previous) and 1996 (current): account kinds, journal ranges
// by period, and the checks of postable years.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/account_lookup.h"
#include "core/field_readers.h"
#include "core/journal_range.h"
#include "core/layouts/create_file.h"
#include "core/layouts/layouts.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "support/fake_dialog.h"
#include "support/temp_dir.h"

namespace talvera {
namespace {

using namespace layouts;

class SmallMandant : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDataRoot(data_.path());
    SetMandantNumber(1);
    SetFiscalYears("1996", "1995");
    MandantValues& m = CurrentMandant();
    m = MandantValues{};
    std::strcpy(m.currentYear, "1996");
    std::strcpy(m.previousYear, "1995");
    for (const char* year : {"1995", "1996"}) {
      std::filesystem::create_directories(YearDirectory(year));
      for (const char* file : {"sako", "bube", "debi", "kred", "kore"})
        ASSERT_TRUE(CreateFile(YearDirectory(year), file)) << year << file;
    }
  }
  void TearDown() override {
    CloseAll();
    SetArchiveViewYear("");
    CurrentMandant() = MandantValues{};
    recman::Shutdown();
  }

  void AddAccount(int slot, const char* number, const char* shortCode) {
    const Layout& layout = *LayoutForSlot(slot);
    std::vector<char> r(layout.recordLength);
    InitRecord(layout, r.data());
    SetText(r.data(), *FindField(layout, "account_no"), number);
    SetText(r.data(), *FindField(layout, "short_code"), shortCode);
    ASSERT_TRUE(Insert(r.data(), MakeFileId(slot, 0)));
  }

  void AddPostings(std::initializer_list<const char*> keys) {
    std::vector<char> r(bube::kLayout.recordLength);
    for (const char* key : keys) {
      InitRecord(bube::kLayout, r.data());
      SetRawText(r.data(), bube::kPostingKey, key);
      ASSERT_TRUE(Insert(r.data(), MakeFileId(kSlotBube, 0)));
    }
  }

  testing::TempSettingsDir settings_;
  testing::TempDir data_;
  MessageRecorder messages_;
};

TEST_F(SmallMandant, AccountKindsSachkontoFirst) {
  AddAccount(kSlotSako, "   1400", "Ford");
  AddAccount(kSlotDebi, "   1400", "Doppel");  // damaged data: the number twice
  AddAccount(kSlotDebi, "  10000", "Meier");
  AddAccount(kSlotKred, "  70000", "Lief");
  const struct {
    const char* number;
    const char* code;
    AccountKind kind;
  } cases[] = {
      {"   1400", "Ford", kSachkonto},
      {"  10000", "Meier", kDebitor},
      {"  70000", "Lief", kKreditor},
      {"   9999", "Nix", kNoAccount},
      {"   14000", "Meierxxxxxxxxxxx", kNoAccount},  // too long: not cut to a match
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    AccountKind kind = kSachkonto;
    ASSERT_TRUE(LookUpAccount(c.number, kind));
    EXPECT_EQ(kind, c.kind);
    kind = kSachkonto;
    ASSERT_TRUE(LookUpShortCode(c.code, kind));
    EXPECT_EQ(kind, c.kind);
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(SmallMandant, PeriodRangesOfTheJournal) {
  AddPostings({"1603319999", "1604010000", "1606319999", "1607010000", "1701010001"});
  const struct {
    PeriodSelector selector;
    const char* firstKey;  // the first posting found, or the last key
    const char* lastKey;
    bool found;
  } cases[] = {
      {14, "1604010000", "1606319999", true},  // second quarter, to its last key
      {13, "1603319999", "1603319999", true},
      {15, "1607010000", "1609319999", true},
      {16, "1612319999", "1612319999", false},
      {5, "1605319999", "1605319999", false},
      {17, "1603319999", "1612319999", true},  // whole year, not the next one
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.selector);
    PostingKey first, last;
    EXPECT_EQ(PeriodKeyRange("16", c.selector, "01", first, last), c.found);
    EXPECT_STREQ(first, c.firstKey);
    EXPECT_STREQ(last, c.lastKey);
  }

  PostingKey first, last;
  std::vector<char> posting(bube::kLayout.recordLength);
  EXPECT_TRUE(YearRangeKeys("1605", "1606", first, last, posting.data()));
  EXPECT_STREQ(first, "1606319999");
  EXPECT_STREQ(last, "1606999999");
  EXPECT_EQ(GetText(posting.data(), bube::kPostingKey), "1606319999");
  EXPECT_FALSE(YearRangeKeys("1608", "1612", first, last));
  EXPECT_STREQ(first, "1612999999");
}

TEST_F(SmallMandant, PostableYearsSwitchTheWorkingYear) {
  const struct {
    const char* date;
    bool passes;
    const char* workingYear;
    std::vector<int> messages;
  } cases[] = {
      {"150315", true, "1995", {}},  // previous year
      {"150316", true, "1996", {}},  // current year
      {"150314", false, "1996", {85}},
      {"010117", false, "1996", {85}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    messages_.Clear();
    EXPECT_EQ(CheckPostableYear(c.date, 4711), c.passes);
    EXPECT_EQ(WorkingYear(), c.workingYear);
    EXPECT_EQ(messages_.Numbers(), c.messages);
  }
  EXPECT_EQ(messages_.focused, std::vector<int>{4711});

  messages_.Clear();
  EXPECT_FALSE(CheckPostingDate("150314", 1));
  EXPECT_TRUE(CheckPostingDate("150315", 1));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{83});
}

TEST_F(SmallMandant, ArchivedYearOnlyItsOwnDates) {
  SetArchiveViewYear("1993");
  EXPECT_TRUE(CheckPostableYear("010113", 0));
  EXPECT_FALSE(CheckPostableYear("010116", 0));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{88});
}

TEST_F(SmallMandant, DateRanges) {
  const struct {
    const char* first;
    const char* last;
    bool passes;
    std::vector<int> messages;
  } cases[] = {
      {"010116", "150316", true, {}},
      {"150316", "150316", true, {}},
      {"150316", "010316", false, {86}},
      {"150315", "010116", false, {87}},
      {"010114", "150314", false, {85}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " " + c.last);
    messages_.Clear();
    EXPECT_EQ(CheckDateRange(c.first, c.last, 0), c.passes);
    EXPECT_EQ(messages_.Numbers(), c.messages);
  }
}


TEST_F(SmallMandant, AccountFieldReader) {
  AddAccount(kSlotSako, "   1400", "Ford");
  AddAccount(kSlotKred, "  70000", "Lief");
  testing::FakeDialog d;
  struct Case {
    const char* input;
    bool digitsOnly;
    bool ok;
    AccountKind kind;
    int message;
  };
  const Case cases[] = {
      {"1400", true, true, kSachkonto, 0},  {" 70000 ", true, true, kKreditor, 0},
      {"", true, false, kNoAccount, 22},    {"14a0", true, false, kNoAccount, 3},
      {"9999", true, false, kNoAccount, 36}, {"14a0", false, false, kNoAccount, 36},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    messages_.Clear();
    d.text[10] = c.input;
    AccountNo out = "";
    AccountKind kind = kNoAccount;
    EXPECT_EQ(ReadAccountField(d, 10, out, kind, 36, c.digitsOnly), c.ok);
    EXPECT_EQ(kind, c.kind);
    if (c.ok) {
      EXPECT_EQ(std::strlen(out), 7u);
      EXPECT_TRUE(messages_.shown.empty());
    } else {
      EXPECT_EQ(messages_.Numbers(), std::vector<int>{c.message});
      EXPECT_EQ(messages_.focused, std::vector<int>{10});
    }
  }
  char code[12];
  AccountKind kind;
  d.text[11] = "Lief";
  EXPECT_TRUE(ReadShortCodeField(d, 11, code, kind, 36));
  EXPECT_EQ(kind, kKreditor);
}

}  // namespace
}  // namespace talvera
