// A Mandant after its creation: opening, the company master data, deletion,
// the conversions of older data and the take-over from another Mandant.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/charts/rate_dates.h"
#include "core/layouts/bankiban.h"
#include "core/layouts/bube.h"
#include "core/layouts/create_file.h"
#include "core/layouts/fista.h"
#include "core/layouts/kore.h"
#include "core/layouts/layout.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/layouts/steke.h"
#include "core/mandant/company_master.h"
#include "core/mandant/delete_mandant.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/open_mandant.h"
#include "core/mandant/take_over.h"
#include "mandant/mandant_fixture.h"

using namespace talvera;
using talvera::testing::MandantTest;
using talvera::testing::ShownNotices;

namespace {

namespace F = layouts::fista;
namespace S = layouts::sako;
namespace fs = std::filesystem;

void SetVersion(int number, int version) {
  ASSERT_TRUE(ChangeMandantRecord(number, [&](void* r) {
    return layouts::SetNumber(r, F::kDataVersion, version);
  }));
}

long Version(int number) {
  char record[998];
  bool found = false;
  EXPECT_TRUE(ReadMandantRecord(number, record, found) && found);
  return layouts::GetNumber(record, F::kDataVersion);
}

// Inserts a record into a file of a year directory.
void InsertInto(const std::string& path, void* record) {
  ASSERT_TRUE(OpenPath(path, kSlotScratch));
  ASSERT_TRUE(Insert(record, MakeFileId(kSlotScratch, 0)));
  CloseSlot(kSlotScratch);
}

// Reads a record by its first key; false when absent.
bool ReadFrom(const std::string& path, const char* key, int keyLength, void* record) {
  bool found = false;
  EXPECT_TRUE(OpenPath(path, kSlotScratch));
  EXPECT_TRUE(GetEqual(record, KeyValue(key, keyLength), found, MakeFileId(kSlotScratch, 0)));
  CloseSlot(kSlotScratch);
  return found;
}

// A key of that number can be used on the file (an empty file reads nothing).
bool HasKey(const std::string& path, int key) {
  std::vector<char> record(1400);
  bool found = false;
  EXPECT_TRUE(OpenPath(path, kSlotScratch));
  bool ok = GetFirstFound(record.data(), found, MakeFileId(kSlotScratch, key));
  CloseSlot(kSlotScratch);
  return ok;
}

// ---- Opening -----------------------------------------------------------------

TEST_F(MandantTest, OpeningWarnsAboutAMissingCollectiveAccount) {
  ASSERT_EQ(Create("Eins"), 1);
  char record[S::kLayout.recordLength];
  ASSERT_TRUE(OpenPath(data_ / "1996/sako.btr", kSlotScratch));
  bool found = false;
  ASSERT_TRUE(GetEqual(record, KeyValue("   1600", 8), found, MakeFileId(kSlotScratch, 0)) && found);
  ASSERT_TRUE(Delete(kSlotScratch));
  CloseSlot(kSlotScratch);
  messages_.Clear();
  EXPECT_TRUE(OpenMandant(1));
  ASSERT_EQ(messages_.Numbers(), std::vector<int>{210});
  EXPECT_NE(messages_.shown[0].text.find("Konto 1600 "), std::string::npos);
}

TEST_F(MandantTest, RefusedPasswordOrConversionKeepsTheOpenMandant) {
  ASSERT_EQ(Create("Eins"), 1);
  ASSERT_EQ(Create("Zwei", '4', "1997"), 2);
  ASSERT_TRUE(OpenMandant(1));
  ASSERT_TRUE(ChangeMandantRecord(2, [](void* r) { return layouts::SetNumber(r, F::kPasswordOn, 1); }));
  MandantSeams seams = CurrentMandantSeams();
  seams.askPasswords = [] { return false; };
  SetMandantSeams(seams);
  EXPECT_FALSE(OpenMandant(2));
  EXPECT_EQ(CurrentMandant().number, 1);
  EXPECT_STREQ(CurrentMandant().currentYear, "1996");
  EXPECT_EQ(YearDirectory("1996"), data_ / "1996");
  EXPECT_TRUE(MainFilesOpen());

  ASSERT_TRUE(ChangeMandantRecord(2, [](void* r) { return layouts::SetNumber(r, F::kPasswordOn, 0); }));
  SetVersion(2, 300);
  messages_.Clear();
  messages_.answers = {kIdNo};  // 901: not now
  EXPECT_FALSE(OpenMandant(2));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{901});
  EXPECT_STREQ(CurrentMandant().companyName, "Eins");
  EXPECT_EQ(Version(2), 300);
}

// ---- Company master data -----------------------------------------------------

TEST_F(MandantTest, CompanyMasterChecksAndStores) {
  ASSERT_EQ(Create("Eins"), 1);
  ASSERT_EQ(Create("Zwei"), 2);
  ASSERT_TRUE(OpenMandant(1));
  CompanyMaster c = CurrentCompanyMaster();
  EXPECT_EQ(c.taxNumber, "12/345/67890");
  struct Row {
    std::string CompanyMaster::*member;
    const char* value;
    int message;
    int field;
  };
  for (Row r : {Row{&CompanyMaster::name, "", 2, stammdat::kName},
                Row{&CompanyMaster::taxNumber, " ", 2, stammdat::kTaxNumber},
                Row{&CompanyMaster::name, "Zwei", 401, stammdat::kName}}) {
    CompanyMaster spoilt = c;
    spoilt.*r.member = r.value;
    messages_.Clear();
    EXPECT_FALSE(SaveCompanyMaster(spoilt));
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{r.message});
    EXPECT_EQ(messages_.focused, std::vector<int>{r.field});
  }
  c.name = "Eins & Söhne";
  c.taxNumber = "DE 12345678901";  // long: moves to the other field
  c.federalState = 3;
  ASSERT_TRUE(SaveCompanyMaster(c));
  EXPECT_STREQ(CurrentMandant().companyName, "Eins & Söhne");
  char record[998];
  bool found = false;
  ASSERT_TRUE(ReadMandantRecord(1, record, found) && found);
  EXPECT_EQ(layouts::GetText(record, F::kTaxNumberShort), "");
  EXPECT_EQ(layouts::GetText(record, F::kTaxNumberLong), "DE 12345678901");
  EXPECT_EQ(layouts::GetNumber(record, F::kFederalState), 3);
}

// ---- Deleting ------------------------------------------------------------------

TEST_F(MandantTest, DeletingRemovesExactlyItsYearDirectories) {
  ASSERT_EQ(Create("Eins"), 1);
  ASSERT_EQ(Create("Zwei"), 2);
  // Another year of Mandant 2, a year of Mandant 12 and a directory of no Mandant.
  for (const char* dir : {"19951", "199611", "abcd1"}) {
    fs::create_directories(data_ / dir);
    ASSERT_TRUE(layouts::CreateFile(data_ / dir, "sako"));
  }
  static int loginFlags = 0;
  MandantSeams seams = CurrentMandantSeams();
  seams.login = [](int, int flags) { return (loginFlags = flags), true; };
  SetMandantSeams(seams);

  messages_.answers = {kIdNo};
  EXPECT_FALSE(DeleteMandant(2));
  EXPECT_TRUE(fs::exists(data_ / "19961"));

  messages_.Clear();
  ASSERT_TRUE(DeleteMandant(2));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{95});
  EXPECT_EQ(loginFlags, kLoginAdministratorOnly | kLoginAlwaysAsk | kLoginPassWhenNoUsers);
  EXPECT_FALSE(fs::exists(data_ / "19961"));
  EXPECT_FALSE(fs::exists(data_ / "19951"));
  for (const char* kept : {"1996", "199611", "abcd1"}) EXPECT_TRUE(fs::exists(data_ / kept)) << kept;
  std::vector<MandantEntry> all;
  ASSERT_TRUE(ListMandants(all));
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].name, "Eins");
}

// ---- Conversions ---------------------------------------------------------------

// Year data as version 2.2 left them: no cost centres, no booking texts,
// and a journal without the voucher-number and entry-date keys.
void MakeOldYear(const std::string& dir) {
  layouts::Layout old = layouts::bube::kLayout;
  old.keys = old.keys.first(6);
  ASSERT_TRUE(layouts::CreateFile(old, dir, "bube"));
  for (const char* file : {"kore", "butext", "buscha", "user"})
    recman::DeleteFile(dir + "/" + file + ".btr");
}

TEST_F(MandantTest, YearDataConversionByVersion) {
  struct Row {
    int version;
    std::vector<int> messages;
    std::vector<std::string> notices;
    long versionAfter;
  };
  const Row rows[] = {
      {220, {901}, {"Update von Version 2.2", "1995: Update auf Version 3.11",
                    "Update von Version 2.2", "1996: Update auf Version 3.11"}, 330},
      {300, {901}, {"1995: Update auf Version 3.11", "1996: Update auf Version 3.11"}, 330},
      {200, {901, 775}, {}, 200},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.version);
    CloseAll();
    recman::Shutdown();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(data_.path()))
      if (entry.is_directory()) fs::remove_all(entry.path(), ec);
    recman::DeleteFile(data_ / "fista.btr");
    ASSERT_TRUE(ConvertMasterFile());
    ASSERT_EQ(Create("Alt"), 1);
    fs::create_directories(data_ / "1995");
    for (const char* file : {"bube", "sako", "debi", "kred", "kore", "opkred", "opdebi"})
      ASSERT_TRUE(layouts::CreateFile(data_ / "1995", file));
    if (r.version <= 220) {
      MakeOldYear(data_ / "1995");
      MakeOldYear(data_ / "1996");
    }
    SetVersion(1, r.version);
    ASSERT_TRUE(LoadMandant(1));
    messages_.Clear();
    ShownNotices().clear();
    EXPECT_EQ(CheckDataVersion(), r.versionAfter == 330);
    EXPECT_EQ(messages_.Numbers(), r.messages);
    EXPECT_EQ(ShownNotices(), r.notices);
    EXPECT_EQ(Version(1), r.versionAfter);
    if (r.version == 220) {
      EXPECT_TRUE(HasKey(data_ / "1995/bube.btr", 6));  // voucher number
      EXPECT_TRUE(HasKey(data_ / "1995/bube.btr", 7));  // entry date
      EXPECT_TRUE(recman::FileExists(data_ / "1995/kore.btr"));
      EXPECT_FALSE(recman::FileExists(data_ / "1995/butext.btr"));  // current year only
      EXPECT_TRUE(recman::FileExists(data_ / "1996/butext.btr"));
      EXPECT_TRUE(recman::FileExists(data_ / "1996/user.btr"));
    }
  }
}

TEST_F(MandantTest, ShortMasterRecordsAreCopiedIntoTheFullLayout) {
  ASSERT_TRUE(recman::DeleteFile(data_ / "fista.btr") == recman::kOk);
  layouts::Layout old = F::kLayout;
  old.recordLength = 385;  // the layout before the company address fields
  ASSERT_TRUE(layouts::CreateFile(old, data_.path(), "fista"));
  char record[998];
  std::memset(record, 0x55, sizeof record);  // whatever follows must not come along
  layouts::InitRecord(old, record);
  layouts::SetNumber(record, F::kMandantNo, 1);
  layouts::SetText(record, F::kCompanyName, "Altbestand");
  InsertInto(data_ / "fista.btr", record);

  ASSERT_TRUE(ConvertMasterFile());
  EXPECT_EQ(ShownNotices(), std::vector<std::string>{"Update auf Version 3.3"});
  EXPECT_EQ(RecordLength(kSlotFista), 998);
  EXPECT_TRUE(recman::FileExists(data_ / "fista.311"));
  bool found = false;
  ASSERT_TRUE(ReadMandantRecord(1, record, found) && found);
  EXPECT_EQ(layouts::GetText(record, F::kCompanyName), "Altbestand");
  EXPECT_EQ(layouts::GetText(record, F::kCompanyStreet), "");

  // A temporary file left by an interrupted conversion is not overwritten.
  ASSERT_EQ(recman::DeleteFile(data_ / "fista.btr"), recman::kOk);
  ASSERT_EQ(recman::RenameFile(data_ / "fista.311", data_ / "fista.btr"), recman::kOk);
  ASSERT_TRUE(layouts::CreateFile(F::kLayout, data_.path(), "FISTANEU"));
  messages_.Clear();
  EXPECT_FALSE(ConvertMasterFile());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{549});
}

// ---- Take-over -------------------------------------------------------------------

void FillAmounts(void* record, const layouts::Field& field, const char* amount) {
  for (int i = 0; i < field.count; ++i) layouts::SetRawText(record, field.At(i), amount);
}

TEST_F(MandantTest, TakingOverSachkontenResetsAmountsKeepsBudgetsAndSkipsTakenNumbers) {
  ASSERT_EQ(Create("Quelle", '4'), 1);
  ASSERT_EQ(Create("Ziel", '3', "1996", 7), 2);
  WriteSetting("EUST", "1433");
  char account[S::kLayout.recordLength];
  layouts::InitRecord(S::kLayout, account);
  layouts::SetRawText(account, S::kAccountNo, "   4711");
  layouts::SetText(account, S::kShortCode, "Probe");
  for (const layouts::Field& f : {S::kPrevDebitTurnover, S::kPrevClosingBalance, S::kOpeningDebit,
                                  S::kClosingCredit, S::kPeriodDebit, S::kPeriodCredit})
    FillAmounts(account, f, "000000123,45");
  FillAmounts(account, S::kBudget, "000000500,00");
  for (int i = 0; i < 12; ++i) layouts::SetNumber(account, S::kPostingCount.At(i), 4);
  layouts::SetRawText(account, S::kFirstPostingDate, "020196");
  layouts::SetRawText(account, S::kLastPostingDate, "300696");
  layouts::SetNumber(account, S::kUnposted, 0);
  layouts::SetNumber(account, S::kNewRecordMark, 0);
  layouts::SetNumber(account, S::kPrevClosingSide, 1);
  InsertInto(data_ / "1996/sako.btr", account);
  layouts::SetRawText(account, S::kAccountNo, "  10000");  // a Debitor in the target
  layouts::SetText(account, S::kShortCode, "Doppelt");
  InsertInto(data_ / "1996/sako.btr", account);
  char debitor[layouts::personal::kLayout.recordLength];
  layouts::InitRecord(layouts::personal::kLayout, debitor);
  layouts::SetRawText(debitor, layouts::personal::kAccountNo, "  10000");
  InsertInto(data_ / "19961/debi.btr", debitor);

  ASSERT_TRUE(OpenMandant(2));
  messages_.Clear();
  ShownNotices().clear();
  ASSERT_TRUE(TakeOverData(1, kTakeSachkonten));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{520});
  EXPECT_EQ(ShownNotices(), std::vector<std::string>{"Die Daten werden nun übernommen..."});
  EXPECT_TRUE(MainFilesOpen());

  char copied[S::kLayout.recordLength];
  ASSERT_TRUE(ReadFrom(data_ / "19961/sako.btr", "   4711", 8, copied));
  for (const layouts::Field& f : {S::kPrevDebitTurnover, S::kPrevClosingBalance, S::kOpeningDebit,
                                  S::kClosingCredit})
    EXPECT_EQ(layouts::GetText(copied, f), "000000000,00") << f.name;
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(layouts::GetText(copied, S::kPeriodDebit.At(i)), "000000000,00");
    EXPECT_EQ(layouts::GetText(copied, S::kPeriodCredit.At(i)), "000000000,00");
    EXPECT_EQ(layouts::GetNumber(copied, S::kPostingCount.At(i)), 0);
  }
  EXPECT_EQ(layouts::GetText(copied, S::kFirstPostingDate), "");
  EXPECT_EQ(layouts::GetText(copied, S::kLastPostingDate), "");
  EXPECT_EQ(layouts::GetNumber(copied, S::kNewRecordMark), 1);
  EXPECT_EQ(layouts::GetNumber(copied, S::kPrevClosingSide), 0);
  EXPECT_EQ(layouts::GetText(copied, S::kBudget.At(12)), "000000500,00");
  EXPECT_EQ(layouts::GetNumber(copied, S::kUnposted), 0);
  EXPECT_FALSE(ReadFrom(data_ / "19961/sako.btr", "  10000", 8, copied));
  EXPECT_TRUE(ReadFrom(data_ / "19961/sako.btr", "   1200", 8, copied));  // SKR 04 now

  // The chart's accounts and settings came along.
  EXPECT_STREQ(CurrentMandant().receivablesAccount, "   1200");
  EXPECT_EQ(CurrentMandantSettings().eust, "   1433");
  // Rate dates of a January year, re-based for the target's July start.
  char source[34], target[34];
  ASSERT_TRUE(OpenPath(data_ / "1996/steke.btr", kSlotScratch));
  ASSERT_TRUE(GetFirst(source, MakeFileId(kSlotScratch, 0)));
  ASSERT_TRUE(OpenPath(data_ / "19961/steke.btr", kSlotScratch));
  ASSERT_TRUE(GetFirst(target, MakeFileId(kSlotScratch, 0)));
  CloseSlot(kSlotScratch);
  char expected[7];
  charts::RebaseDateBetween(layouts::FieldBytes(source, layouts::steke::kValidFrom), 1, 7, expected);
  EXPECT_EQ(layouts::GetText(target, layouts::steke::kValidFrom), expected);
}

// IBANs are kept beside the bank records: a take-over that copied the bank
// records alone left the target's IBANs attached to the source's accounts.
TEST_F(MandantTest, TakingOverSachkontenBringsTheIbansOfTheBanks) {
  namespace I = layouts::bankiban;
  ASSERT_EQ(Create("Quelle", '3'), 1);
  ASSERT_EQ(Create("Ziel", '3'), 2);
  char record[I::kLayout.recordLength];
  layouts::InitRecord(I::kLayout, record);
  layouts::SetRawText(record, I::kAccountNo, "   1800");
  layouts::SetRawText(record, I::kIban, "DE89370400440532013000");
  InsertInto(data_ / "1996/bankiban.btr", record);
  layouts::SetRawText(record, I::kAccountNo, "   1200");
  InsertInto(data_ / "19961/bankiban.btr", record);

  ASSERT_TRUE(OpenMandant(2));
  ASSERT_TRUE(TakeOverData(1, kTakeSachkonten));
  EXPECT_TRUE(ReadFrom(data_ / "19961/bankiban.btr", "   1800", 8, record));
  EXPECT_FALSE(ReadFrom(data_ / "19961/bankiban.btr", "   1200", 8, record));

  // A source from before the side file: the target keeps no IBANs either.
  ASSERT_EQ(recman::DeleteFile(data_ / "1996/bankiban.btr"), recman::kOk);
  ASSERT_TRUE(TakeOverData(1, kTakeSachkonten));
  EXPECT_FALSE(recman::FileExists(data_ / "19961/bankiban.btr"));
}

TEST_F(MandantTest, TakingOverCostCentresAndTheRefusals) {
  namespace K = layouts::kore;
  ASSERT_EQ(Create("Quelle"), 1);
  ASSERT_EQ(Create("Ziel"), 2);
  char centre[K::kLayout.recordLength];
  layouts::InitRecord(K::kLayout, centre);
  layouts::SetText(centre, K::kNumber, "100");
  FillAmounts(centre, K::kPeriodAmount, "000000042,00");
  FillAmounts(centre, K::kBudget, "000000007,00");
  layouts::SetNumber(centre, K::kUnposted, 0);
  InsertInto(data_ / "1996/kore.btr", centre);
  ASSERT_TRUE(OpenMandant(2));

  messages_.Clear();
  EXPECT_FALSE(TakeOverData(1, 0));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{5});
  messages_.Clear();
  ASSERT_TRUE(TakeOverData(1, kTakeCostCentres | kTakeGuvStructure));
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{521, 520}));
  char copied[K::kLayout.recordLength];
  char key[8] = "100";
  ASSERT_TRUE(ReadFrom(data_ / "19961/kore.btr", key, 8, copied));
  EXPECT_EQ(layouts::GetText(copied, K::kPeriodAmount.At(5)), "000000000,00");
  EXPECT_EQ(layouts::GetText(copied, K::kBudget.At(5)), "000000007,00");
  EXPECT_EQ(layouts::GetNumber(copied, K::kUnposted), 0);
}

}  // namespace
