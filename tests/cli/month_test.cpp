// A month of a small trading company, posted through talvi-cli on a fresh
// SKR 03 Mandant: the trial balance, the journal and the VAT return must
// agree with the figures worked out by hand in month/handel_nord_maerz_2026.md.
#include "cli/cli_fixture.h"
#include "support/golden_report.h"

namespace talvera::testing {
namespace {

const std::vector<CliPerson> kPeople = {
    {"debi", "10000", "Mueller", "Müller KG", "DE", ""},
    {"debi", "10001", "Schmidt", "Schmidt OHG", "DE", ""},
    {"kred", "70000", "Gross", "Großhandel Süd GmbH", "DE", ""},
    {"kred", "70001", "VanDijk", "Van Dijk B.V.", "NL", "NL123456789B01"},
    {"kred", "70002", "Alpen", "Alpen Consulting GmbH", "AT", "ATU12345678"},
};

const std::string kMonth = std::string(TALVERA_MONTH_DIR) + "/handel_nord_maerz_2026.csv";

class MonthTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    CreateMandant(kPeople);
  }

  std::string Report(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"auswertung"};
    all.insert(all.end(), args.begin(), args.end());
    all.insert(all.end(), {"--mandant", "1", "--text"});
    CliResult r = Run(all);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }
};

TEST_F(MonthTest, MarchAgreesWithTheHandCalculation) {
  CliResult r = Run({"buchen", "--mandant", "1", "--csv", kMonth});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "37 Buchungen (40 Zeilen) gebucht.\n");
  r = Run({"stornieren", "--mandant", "1", "--beleg", "AR1007", "--datum", "31.03.2026"});
  ASSERT_EQ(r.status, 0) << r.err;

  ExpectGolden(TALVERA_GOLDEN_DIR, "maerz_saldenliste",
               Report({"saldenliste", "--bis", "31.03.2026", "--arten", "SKD"}));
  ExpectGolden(TALVERA_GOLDEN_DIR, "maerz_journal", Report({"journal", "--jahr", "2026", "--periode", "3"}));
  ExpectGolden(TALVERA_GOLDEN_DIR, "maerz_ustva", Report({"ustva", "--jahr", "2026", "--periode", "3"}));

  // What the tax office gets: the file for the portal and the Kennzahlen sheet.
  std::string xml = data_ / "ustva.xml", sheet = data_ / "kennzahlen.pdf";
  r = Run({"auswertung", "ustva", "--mandant", "1", "--jahr", "2026", "--periode", "3", "--xml", xml, "--formular",
           sheet});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadWhole(sheet).substr(0, 4), "%PDF");
  std::string upload = ReadWhole(xml);
  // The Kennzahlen of the hand calculation, as the portal takes them.
  for (const char* field : {"<Kz81>8280</Kz81>", "<Kz86>1950</Kz86>", "<Kz89>5000</Kz89>", "<Kz61>950.00</Kz61>",
                            "<Kz66>1747.10</Kz66>", "<Kz83>-37.40</Kz83>"})
    EXPECT_NE(upload.find(field), std::string::npos) << field << "\n" << upload;

  r = Run({"pruefen", "--mandant", "1"});
  EXPECT_EQ(r.status, 0) << r.out;
}

// The statements of the month from the command line: the P&L's loss is the
// hand calculation's (revenues 1.950 + 8.300 + 80 discounts received =
// 10.330,00 against expenses 22.202,50), and the balance sheet carries the
// same loss and balances.
TEST_F(MonthTest, StatementsOfMarchShowTheHandCalculatedLoss) {
  ASSERT_EQ(Run({"buchen", "--mandant", "1", "--csv", kMonth}).status, 0);
  ASSERT_EQ(Run({"stornieren", "--mandant", "1", "--beleg", "AR1007", "--datum", "31.03.2026"}).status, 0);
  std::string guv = Report({"guv", "--jahr", "2026", "--periode", "3"});
  std::string bilanz = Report({"bilanz", "--bis", "31.03.2026"});
  ExpectGolden(TALVERA_GOLDEN_DIR, "maerz_guv", guv);
  ExpectGolden(TALVERA_GOLDEN_DIR, "maerz_bilanz", bilanz);
  EXPECT_NE(guv.find(" Gewinn/Verlust :                    11.872,50 S"), std::string::npos) << guv;
  // Per a date: the values of its month, the same loss.
  std::string perDate = Report({"guv", "--bis", "31.03.2026"});
  EXPECT_NE(perDate.find(" Gewinn/Verlust :                    11.872,50 S"), std::string::npos) << perDate;
  EXPECT_NE(bilanz.find(" Summe Aktiva                          19.511,20"), std::string::npos) << bilanz;
  EXPECT_NE(bilanz.find(" Summe Passiva                         19.511,20"), std::string::npos) << bilanz;
  EXPECT_NE(bilanz.find("Jahresüb./-fehlbetrag             -11.872,50"), std::string::npos) << bilanz;
  // The BWA of revenues against material: (−10.230 − 13.520) ÷ 13.520 = −175,67 %.
  std::string bwa = Report({"bwa", "--jahr", "2026", "--erste", "guv:1. Umsatz", "--zweite", "guv:5. Material"});
  ExpectGolden(TALVERA_GOLDEN_DIR, "maerz_bwa", bwa);
  EXPECT_NE(bwa.find(" März           -10.230,00               13.520,00       -175,67 %"), std::string::npos) << bwa;
}

// A service of an EU company under § 13b: the recipient owes its tax
// (Kennzahl 47) and deducts it again (67), so the return owes nothing for it.
TEST_F(MonthTest, ServiceUnderReverseChargeOwesAndDeductsItsTax) {
  std::string csv = WriteFile("13b.csv",
                              "Datum;Beleg;Soll;Haben;Betrag;Text\n"
                              "11.03.2026;ER2005;3123;70002;2.000,00;Beratung § 13b\n");
  ASSERT_EQ(Run({"buchen", "--mandant", "1", "--csv", csv}).status, 0);
  std::string xml = data_ / "ustva.xml";
  ASSERT_EQ(Run({"auswertung", "ustva", "--mandant", "1", "--jahr", "2026", "--periode", "3", "--xml", xml}).status, 0);
  std::string upload = ReadWhole(xml);
  for (const char* field : {"<Kz46>2000</Kz46>", "<Kz47>380.00</Kz47>", "<Kz67>380.00</Kz67>", "<Kz83>0.00</Kz83>"})
    EXPECT_NE(upload.find(field), std::string::npos) << field << "\n" << upload;
}

}  // namespace
}  // namespace talvera::testing
