// Creating Mandanten from the chart templates: numbers and directories,
// refused input, the master record, the file set and the settings of each
// chart, the special accounts of the basic chart.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/layouts/sako.h"
#include "core/layouts/steke.h"
#include "core/layouts/structure.h"
#include "core/mandant/file_set.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/open_mandant.h"
#include "mandant/mandant_fixture.h"

using namespace talvera;
using talvera::testing::MandantTest;
using talvera::testing::ShownNotices;

namespace {

namespace F = layouts::fista;

// Built once for the whole program.
const auto* const kTemplates =
    ::testing::AddGlobalTestEnvironment(new talvera::testing::ChartTemplates);

std::string MasterText(int number, const layouts::Field& field) {
  char record[998];
  bool found = false;
  EXPECT_TRUE(ReadMandantRecord(number, record, found) && found);
  return layouts::GetText(record, field);
}

// Every value of a text field of a file, by opening it through the scratch slot.
std::vector<std::string> Column(const std::string& path, const layouts::Field& field) {
  std::vector<std::string> values;
  std::vector<char> record(1400);
  bool found = false;
  EXPECT_TRUE(OpenPath(path, kSlotScratch));
  bool ok = GetFirstFound(record.data(), found, MakeFileId(kSlotScratch, 0));
  while (ok && found) {
    values.push_back(layouts::GetText(record.data(), field));
    ok = GetNextFound(record.data(), found, MakeFileId(kSlotScratch, 0));
  }
  CloseSlot(kSlotScratch);
  return values;
}

bool Contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

TEST_F(MandantTest, SecondAndEleventhMandantOfAYearLiveInSuffixedDirectories) {
  for (int i = 1; i <= 11; ++i) ASSERT_EQ(Create("Firma " + std::to_string(i)), i);
  EXPECT_TRUE(std::filesystem::is_directory(data_ / "1996"));
  EXPECT_TRUE(std::filesystem::is_directory(data_ / "19961"));
  EXPECT_TRUE(std::filesystem::is_directory(data_ / "199610"));
  EXPECT_TRUE(recman::FileExists(data_ / "199610/sako.btr"));
  EXPECT_EQ(MasterText(11, F::kCompanyName), "Firma 11");
}

// "Der Mandant wird angelegt..." stayed open behind the success message.
TEST_F(MandantTest, CreationNoticeIsGoneBeforeTheResultIsShown) {
  static MessageRecorder* recorder = &messages_;
  static std::vector<int> shownWhileNotice;
  shownWhileNotice = {-1};
  MandantSeams seams = CurrentMandantSeams();
  seams.hideNotice = [] { shownWhileNotice = recorder->Numbers(); };
  SetMandantSeams(seams);
  ASSERT_EQ(Create("Muster GmbH"), 1);
  EXPECT_TRUE(shownWhileNotice.empty());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{510});
}

TEST_F(MandantTest, RefusedInputNamesItsFieldAndLeavesNoRecord) {
  ASSERT_EQ(Create("Meier GmbH"), 1);
  struct Row {
    const char* what;
    void (*spoil)(NewMandant&);
    int message;
    int field;
  };
  const Row rows[] = {
      {"year before 1984", [](NewMandant& n) { n.year = "1983"; }, 8, mandanlegen::kYear},
      {"two digits are 19xx", [](NewMandant& n) { n.year = "75"; }, 8, mandanlegen::kYear},
      {"year after 2074", [](NewMandant& n) { n.year = "2075"; }, 8, mandanlegen::kYear},
      {"no name", [](NewMandant& n) { n.name = " "; }, 504, mandanlegen::kName},
      {"duplicate name", [](NewMandant& n) { n.name = "Meier GmbH"; }, 511, mandanlegen::kName},
      {"no tax office", [](NewMandant& n) { n.taxOffice = ""; }, 505, mandanlegen::kTaxOffice},
      {"no tax number", [](NewMandant& n) { n.taxNumber = ""; }, 506, mandanlegen::kTaxNumber},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    NewMandant in;
    in.year = "1996";
    in.name = "Neu KG";
    in.taxOffice = "FA";
    in.taxNumber = "1";
    r.spoil(in);
    messages_.Clear();
    int number = 0;
    EXPECT_FALSE(CreateMandant(in, &number));
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{r.message});
    EXPECT_EQ(messages_.focused, std::vector<int>{r.field});
  }
  std::vector<MandantEntry> all;
  ASSERT_TRUE(ListMandants(all));
  EXPECT_EQ(all.size(), 1u);
  EXPECT_EQ(TransactionDepth(), 0);
}

TEST_F(MandantTest, TwoDigitYearAndLongTaxNumber) {
  NewMandant in;
  in.year = "96";
  in.name = "Kurz";
  in.taxOffice = "FA";
  in.taxNumber = "1234567890123";  // 13 characters: the long field
  int number = 0;
  ASSERT_TRUE(CreateMandant(in, &number));
  EXPECT_EQ(MasterText(number, F::kCurrentYear), "1996");
  EXPECT_EQ(MasterText(number, F::kTaxNumberShort), "");
  EXPECT_EQ(MasterText(number, F::kTaxNumberLong), "1234567890123");
}

struct ChartCase {
  char letter;
  const char* receivables;
  const char* payables;
  const char* carryForward;
  const char* vatNotDue;
  const char* eust;
  const char* ab0;
  const char* wGewinn;
};

class ChartTest : public MandantTest, public ::testing::WithParamInterface<ChartCase> {};

TEST_P(ChartTest, MandantFromEachChartOpensWithItsRecordFilesAndSettings) {
  const ChartCase& c = GetParam();
  ASSERT_EQ(Create("Erste"), 1);
  ASSERT_EQ(Create("Zweite", c.letter, "1996", 7), 2);
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{510, 510}));
  EXPECT_EQ(ShownNotices().back(), "Der Mandant wird angelegt...");

  char record[998];
  bool found = false;
  ASSERT_TRUE(ReadMandantRecord(2, record, found) && found);
  EXPECT_EQ(layouts::GetText(record, F::kReceivablesAccount), c.receivables);
  EXPECT_EQ(layouts::GetText(record, F::kPayablesAccount), c.payables);
  EXPECT_EQ(layouts::GetText(record, F::kCarryForwardAccount), c.carryForward);
  EXPECT_EQ(layouts::GetText(record, F::kVatNotDueAccount), c.vatNotDue);
  EXPECT_EQ(layouts::GetNumber(record, F::kDataVersion), 330);
  EXPECT_EQ(layouts::GetNumber(record, F::kFiscalStartMonth), 7);
  EXPECT_EQ(layouts::GetText(record, F::kTaxNumberShort), "12/345/67890");
  EXPECT_EQ(layouts::GetText(record, F::kPreviousYear), "");

  std::vector<std::string> files = recman::ListFiles(data_ / "19961");
  EXPECT_EQ(files.size(), 20u);
  for (const char* file : {"bube.btr", "user.btr", "stapel.btr", "sako.btr", "bilpasau.btr", "bankiban.btr"})
    EXPECT_TRUE(Contains(files, file)) << file;

  EXPECT_EQ(ReadSetting("EUST1"), c.eust);
  EXPECT_EQ(ReadSetting("Ab01"), c.ab0);
  EXPECT_EQ(ReadSetting("WGewinn1"), c.wGewinn);  // the profile keeps no leading blanks

  messages_.Clear();
  ASSERT_TRUE(OpenMandant(2));
  EXPECT_TRUE(messages_.Numbers().empty()) << messages_.shown[0].text;  // every account exists
  EXPECT_TRUE(MainFilesOpen());
  EXPECT_EQ(ReadSetting("Mandant"), "2");
  const MandantValues& m = CurrentMandant();
  EXPECT_EQ(m.number, 2);
  EXPECT_STREQ(m.companyName, "Zweite");
  EXPECT_STREQ(m.receivablesAccount, c.receivables);
  EXPECT_STREQ(m.monthNames[0], "Juli");
  EXPECT_STREQ(m.monthNames[11], "Juni");
  EXPECT_STREQ(m.firstDay, "010116");
  EXPECT_STREQ(m.dayBefore, "301215");  // 30 June 1996: period 12 of 1995/96
  EXPECT_EQ(YearDirectory("1996"), data_ / "19961");
}

INSTANTIATE_TEST_SUITE_P(
    Charts, ChartTest,
    ::testing::Values(
        ChartCase{'3', "   1400", "   1600", "   0869", "   1760", "1588", "3730", "2660"},
        ChartCase{'4', "   1200", "   3300", "   2979", "   3810", "1433", "5730", "7150"},
        ChartCase{'A', "  23000", "  33000", "  99999", "  35110", "25200", "59200", ""},
        ChartCase{'G', "   1400", "   1600", "   9999", "   1760", "1588", "", ""}),
    [](const auto& info) { return std::string("Chart") + info.param.letter; });

TEST_F(MandantTest, BasicChartWithReceivablesAt1401RenumbersAccountTreeAndRates) {
  SpecialAccountSet& special = CurrentSpecialAccounts();
  std::snprintf(special[kSpecialReceivables].number, 8, "%s", "   1401");
  std::snprintf(special[kSpecialReceivables].shortCode, 10, "%s", "Ford.neu");
  std::snprintf(special[2].number, 8, "%s", "   1571");  // input tax, used by the rates
  ASSERT_EQ(Create("Grund", 'G'), 1);

  std::string dir = data_ / "1996";
  std::vector<std::string> accounts = Column(dir + "/sako.btr", layouts::sako::kAccountNo);
  EXPECT_TRUE(Contains(accounts, "   1401"));
  EXPECT_FALSE(Contains(accounts, "   1400"));
  EXPECT_TRUE(Contains(Column(dir + "/sako.btr", layouts::sako::kShortCode), "Ford.neu"));
  std::vector<std::string> leaves = Column(dir + "/bilaktau.btr", layouts::structure::kLabel);
  EXPECT_TRUE(Contains(leaves, "   1401"));
  EXPECT_FALSE(Contains(leaves, "   1400"));
  std::vector<std::string> input = Column(dir + "/steke.btr", layouts::steke::kInputTaxAccount);
  EXPECT_FALSE(Contains(input, "   1570"));
  EXPECT_TRUE(Contains(input, "   1571"));
  EXPECT_EQ(MasterText(1, F::kReceivablesAccount), "   1401");
}

TEST_F(MandantTest, SpecialAccountToAnotherAccountsNumberIsRefused) {
  // 1600 is the payables account: the chart would hold it twice.
  std::snprintf(CurrentSpecialAccounts()[kSpecialReceivables].number, 8, "%s", "   1600");
  std::snprintf(CurrentSpecialAccounts()[kSpecialPayables].number, 8, "%s", "   1601");
  EXPECT_EQ(Create("Doppelt", 'G'), 0);
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{502, 507}));
  std::vector<MandantEntry> all;
  ASSERT_TRUE(ListMandants(all));
  EXPECT_TRUE(all.empty());  // the master record went again
}

TEST(SpecialAccounts, EachRuleOfTheDialog) {
  struct Row {
    const char* what;
    int row;
    const char* number;
    const char* code;
    int message;
    bool numberField;
  };
  const Row rows[] = {
      {"defaults pass", 0, "   1400", "Forder.", 0, true},
      {"number missing", 4, "  ", "x", 500, true},
      {"not digits", 5, "17a5", "x", 3, true},
      {"carry-forward account", 11, "9000", "Vortrag", 512, true},
      {"short code missing", 6, "1771", "", 509, false},
      {"number twice", 10, "1400", "Ust.EG", 501, true},
      {"short code twice", 10, "1772", "Forder.", 508, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    SpecialAccountSet set = DefaultSpecialAccounts();
    std::snprintf(set[r.row].number, 8, "%s", r.number);
    std::snprintf(set[r.row].shortCode, 10, "%s", r.code);
    int row = 0;
    bool numberField = false;
    EXPECT_EQ(CheckSpecialAccounts(set, row, numberField), r.message);
    if (r.message != 0) {
      EXPECT_EQ(row, r.row);
      EXPECT_EQ(numberField, r.numberField);
    }
  }
}

}  // namespace
