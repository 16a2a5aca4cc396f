// The upload file for the tax authority's portal, the federal tax number,
// the choices of a return (corrected, special prepayment) and the form
// record the form printer receives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "reports/report_buffer.h"
#include "tax/federal_tax_number.h"
#include "tax/ustva_fixture.h"
#include "tax/ustva_form_record.h"
#include "tax/ustva_upload_file.h"

namespace talvera::testing {
namespace {

TEST(FederalTaxNumberTest, LocalNumbersOfTheLaender) {
  struct Case {
    int state;
    const char* local;
    const char* federal;  // "" when refused
    FederalTaxNumberError error;
  } cases[] = {
      {1, "93815/08152", "2893081508152", FederalTaxNumberError::kNone},     // Baden-Württemberg
      {2, "181/815/08155", "9181081508155", FederalTaxNumberError::kNone},   // Bayern
      {3, "21/815/08150", "1121081508150", FederalTaxNumberError::kNone},    // Berlin
      {7, "013 815 08153", "2613081508153", FederalTaxNumberError::kNone},   // Hessen drops its 0
      {10, "133/8150/8159", "5133081508159", FederalTaxNumberError::kNone},  // Nordrhein-Westfalen
      {12, "010/815/08182", "1010081508182", FederalTaxNumberError::kNone},  // Saarland
      {13, "201/123/12340", "3201012312340", FederalTaxNumberError::kNone},  // Sachsen
      {15, "29 815 08158", "2129081508158", FederalTaxNumberError::kNone},   // Schleswig-Holstein
      {16, "151/815/08156", "4151081508156", FederalTaxNumberError::kNone},  // Thüringen
      {2, "9181081508155", "9181081508155", FederalTaxNumberError::kNone},   // already federal
      {2, "93815/08152", "", FederalTaxNumberError::kWrongDigits},           // a Stuttgart number
      {1, "9181081508155", "", FederalTaxNumberError::kWrongDigits},         // federal, other Land
      {2, "181/815/O8155", "", FederalTaxNumberError::kWrongDigits},         // a letter O
      {0, "181/815/08155", "", FederalTaxNumberError::kNoState},
  };
  for (const Case& c : cases) {
    std::string out = "x";
    EXPECT_EQ(FederalTaxNumber(c.state, c.local, out), c.error) << c.state << " " << c.local;
    EXPECT_EQ(out, c.federal) << c.state << " " << c.local;
    if (c.error != FederalTaxNumberError::kNone) {
      EXPECT_FALSE(FederalTaxNumberErrorText(c.error, c.state).empty());
    }
  }
  EXPECT_NE(FederalTaxNumberErrorText(FederalTaxNumberError::kWrongDigits, 2).find("FFF/BBB/UUUUP"),
            std::string::npos);
}

class UstvaUploadTest : public UstvaTest {
 protected:
  static CompanyMaster Master() {
    CompanyMaster m;
    m.name = "Müller & Söhne GmbH";
    m.street = "Hauptstraße 1";
    m.town = "80331 München";
    m.phone = "089 123456";
    m.taxOffice = "München";
    m.taxNumber = "123/456/78901";
    m.federalState = 2;  // Bayern
    return m;
  }
  std::string Path(const char* name) { return (std::filesystem::path(data_.path()) / name).string(); }
};

TEST_F(UstvaUploadTest, March2026IsWrittenAndReadBack) {
  OpenMandant("09.04.2026", "2026", "2025");
  BookMarch2026();
  UstvaReturn ret = Compute(3, 2026);
  UstvaUpload upload;
  std::string error;
  ASSERT_TRUE(MakeUstvaUpload(ret, Master(), "20260409", upload, error)) << error;
  const std::string xml = WriteUstvaUploadXml(upload);
  ExpectGolden(xml, "ustva_2026_03.xml");

  const std::string path = Path("ustva_2026_03.xml");
  ASSERT_TRUE(SaveUstvaUploadFile(path, upload, error)) << error;
  EXPECT_EQ(ReadFile(path), xml);
  EXPECT_FALSE(std::filesystem::exists(path + ".neu"));
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
  EXPECT_EQ(std::system(("xmllint --noout '" + path + "'").c_str()), 0);

  UstvaUpload back;
  ASSERT_TRUE(ReadUstvaUploadXml(ReadFile(path), back, error)) << error;
  EXPECT_EQ(back, upload);
}

TEST_F(UstvaUploadTest, ReturnsThatCannotBeUploaded) {
  OpenMandant("09.04.2026", "2026");
  struct Case {
    int choice;
    int state;
    const char* taxNumber;
    const char* reason;
  } cases[] = {
      {17, 2, "123/456/78901", "Gesamtjahr"},
      {3, 2, "12/345/67890", "Bayern"},
      {3, 0, "123/456/78901", "Bundesland"},
  };
  for (const Case& c : cases) {
    CompanyMaster m = Master();
    m.federalState = c.state;
    m.taxNumber = c.taxNumber;
    UstvaUpload upload;
    std::string error;
    EXPECT_FALSE(MakeUstvaUpload(Compute(c.choice, 2026), m, "20260409", upload, error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(UstvaUploadReadTest, ForeignFilesAreRefused) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n";
  const std::string ns = "<Anmeldungssteuern xmlns=\"http://finkonsens.de/elster/elsteranmeldung/ustva/v2026\" ";
  const std::string body =
      "<DatenLieferant><Name>A</Name></DatenLieferant><Erstellungsdatum>20260409</Erstellungsdatum>"
      "<Steuerfall><Umsatzsteuervoranmeldung><Jahr>2026</Jahr><Zeitraum>03</Zeitraum>"
      "<Steuernummer>9123045678901</Steuernummer><Kz83>1.00</Kz83></Umsatzsteuervoranmeldung>"
      "</Steuerfall></Anmeldungssteuern>";
  struct Case {
    const char* name;
    std::string text;
    bool ok;
  } cases[] = {
      {"well formed", head + ns + "version=\"2026\">" + body, true},
      {"other year in version", head + ns + "version=\"2025\">" + body, false},
      {"not closed", head + ns + "version=\"2026\">" + body.substr(0, body.size() - 5), false},
      {"other character set", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + ns + "version=\"2026\">" + body, false},
      {"unknown element", head + ns + "version=\"2026\">" +
                              std::string(body).replace(body.find("<Kz83>"), 0, "<Foo>1</Foo>"), false},
  };
  for (const Case& c : cases) {
    UstvaUpload u;
    std::string error;
    EXPECT_EQ(ReadUstvaUploadXml(c.text, u, error), c.ok) << c.name << ": " << error;
  }
}

// The special prepayment paid in February is no input tax of February; it
// is credited by choice in the return that closes the year.
TEST_F(UstvaUploadTest, SpecialPrepaymentOnlyInTheLastReturnOfTheYear) {
  OpenMandant("09.12.2026", "2026");
  Debit("1781", 2, "000002500,00");  // key 39 in the template
  UstvaChoices chosen;
  chosen.creditSpecialPrepayment = true;
  chosen.specialPrepayment = 250000;
  chosen.corrected = true;
  struct Case {
    int choice;
    long long kz39, result;
  } cases[] = {
      {2, 0, 0},               // the month of the payment
      {3, 0, 0},               // chosen, but not the year's last return
      {12, 250000, -250000},
      {16, 250000, -250000},   // fourth quarter
  };
  for (const Case& c : cases) {
    UstvaReturn ret = Compute(c.choice, 2026);
    EXPECT_EQ(ret.Term("39"), 0) << c.choice;
    ApplyUstvaChoices(ret, chosen);
    EXPECT_EQ(ret.Term("39"), c.kz39) << c.choice;
    EXPECT_EQ(ret.result, c.result) << c.choice;
    EXPECT_TRUE(ret.corrected);
  }
  EXPECT_EQ(Compute(12, 2026).specialPrepaymentBooked, 250000);

  UstvaReturn december = Compute(12, 2026);
  ApplyUstvaChoices(december, chosen);
  int lines = 0;
  ASSERT_TRUE(BuildUstvaList(december, CurrentUstvaHeading(), lines));
  bool marked = false;
  for (int i = 0; i < lines; ++i)
    marked = marked || std::string(TheReportBuffer().Line(i)).find("Berichtigte Anmeldung (Kennzahl 10): 1") !=
                           std::string::npos;
  EXPECT_TRUE(marked) << "the list says the return is a corrected one";
  UstvaUpload upload;
  std::string error;
  ASSERT_TRUE(MakeUstvaUpload(december, Master(), "20270110", upload, error)) << error;
  using Fields = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(upload.fields, (Fields{{10, "1"}, {39, "2500.00"}, {83, "-2500.00"}}));
}

TEST_F(UstvaUploadTest, FormRecordOfMarch2026) {
  OpenMandant("09.04.2026", "2026");
  BookMarch2026();
  CompanyMaster m = Master();
  m.nameExtra = "Zusatz";
  UstvaFormRecord r;
  FillUstvaFormRecord(Compute(3, 2026), m, r);
  using namespace ustva_record;
  EXPECT_EQ(UstvaFormText(r, kCompany), "Müller & Söhne GmbH");
  EXPECT_EQ(UstvaFormText(r, kToday), "090446");
  EXPECT_EQ(UstvaFormText(r, kCodeLine), "    11 123 456 78901   57   2603");
  EXPECT_EQ(UstvaFormText(r, kPeriodText), "März 2026");
  struct Slot {
    int slot;
    const char* amount;
  } slots[] = {{0, "000003000,00"},  {5, "000009500,00"},  {6, "000001805,00"}, {15, "000001000,00"},
               {16, "000000190,00"}, {22, "000000795,37"}, {23, "000000190,00"}, {31, "000000769,63"},
               {33, "000000000,00"}};
  for (const Slot& s : slots) EXPECT_EQ(UstvaFormAmount(r, s.slot), s.amount) << s.slot;

  // A tax number too long for the code line is cut with it: nothing runs
  // into the period text.
  m.taxNumber = "12345/67890/12345/678";
  FillUstvaFormRecord(Compute(3, 2026), m, r);
  EXPECT_EQ(UstvaFormText(r, kCodeLine).size(), 34u);
  EXPECT_EQ(r[kCodeLine.offset + kCodeLine.width - 1], '\0');
  EXPECT_EQ(UstvaFormText(r, kPeriodText), "März 2026");
}

// The form of the 1990s numbers its places itself: 50 is the full rate, 92
// the acquisitions, 61 the computed input tax; the result is cut to 0,10.
TEST_F(UstvaUploadTest, FormRecordOfMay1996OnTheOldForm) {
  OpenMandant("15.06.1996", "1996");
  Credit("8400", 5, "000001234,56");
  Credit("8300", 5, "000000100,99");
  Debit("3425", 5, "000000200,00");
  Debit("1576", 5, "000000050,00");
  CompanyMaster m = Master();
  m.federalState = 10;
  UstvaFormRecord r;
  FillUstvaFormRecord(Compute(5, 1996), m, r);
  using namespace ustva_record;
  EXPECT_EQ(UstvaFormText(r, kCodeLine), "       123 456 78901 215711 9605");
  EXPECT_EQ(UstvaFormText(r, kPeriodText), "Mai 1996");
  EXPECT_EQ(UstvaFormText(r, kToday), "150616");
  struct Slot {
    int slot;
    const char* amount;
  } slots[] = {{5, "000001234,00"},  {6, "000000185,10"},  {7, "000000100,00"}, {8, "000000007,00"},
               {15, "000000200,00"}, {16, "000000030,00"}, {22, "000000050-00"}, {23, "000000030-00"},
               {31, "000000142,10"}};
  for (const Slot& s : slots) EXPECT_EQ(UstvaFormAmount(r, s.slot), s.amount) << s.slot;
  FillUstvaFormRecord(Compute(17, 1996), m, r);
  EXPECT_EQ(UstvaFormText(r, kPeriodText), "Gesamt 1996");
}

}  // namespace
}  // namespace talvera::testing
