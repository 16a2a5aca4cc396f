// talvi-cli as its users call it: a real Mandant in a temporary data root,
// the program run as a process, its output and its exit status.
#include "cli/cli_fixture.h"

#include <cstring>

#include "core/amount.h"
#include "core/layouts/open_item.h"
#include "core/layouts/sako.h"

namespace talvera::testing {
namespace {

const std::vector<CliPerson> kPeople = {
    {"debi", "10000", "Mueller", "Müller KG", "DE", ""},
    {"kred", "70000", "Gross", "Großhandel Süd GmbH", "DE", ""},
};

constexpr char kHeader[] = "Datum;Beleg;Soll;Haben;Betrag;Satz;Steuer;Text;Buchung\n";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class CliCommandTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    CreateMandant(kPeople);
  }
  CliResult Post(const std::string& body, bool dryRun = false) {
    std::string path = WriteFile("buchungen.csv", kHeader + body);
    std::vector<std::string> args = {"buchen", "--mandant", "1", "--csv", path};
    if (dryRun) args.push_back("--dry-run");
    return Run(args);
  }
  CliResult Journal() { return Run({"auswertung", "journal", "--mandant", "1", "--jahr", "2026", "--periode", "3"}); }
};

TEST_F(CliCommandTest, ARefusedLinePostsNothingOfTheFile) {
  const std::string body =
      "02.03.2026;AR1;10000;8400;1.190,00;;;Rechnung;\n"
      "03.03.2026;ER1;3400;70000;476,00;;;Ware;\n"
      "04.03.2026;ER2;4711;70000;100,00;;;Ware;\n"
      "05.03.2026;ER3;3400;70000;0,00;;;Ware;\n";
  CliResult r = Post(body);
  EXPECT_EQ(r.status, 1);
  // Every refusal is named, not only the first.
  EXPECT_TRUE(Contains(r.err, "Zeile 4, Feld Soll: Das angegebene Sollkonto existiert nicht.")) << r.err;
  EXPECT_TRUE(Contains(r.err, "Zeile 5, Feld Betrag: Geben Sie bitte einen Betrag ungleich 0,00 ein.")) << r.err;
  EXPECT_TRUE(Contains(r.err, "Nichts gebucht")) << r.err;
  CliResult journal = Journal();
  EXPECT_EQ(journal.status, 1);
  EXPECT_TRUE(Contains(journal.err, "In dem angegebenen Zeitraum wurden keine Buchungen getätigt.")) << journal.err;

  // --dry-run checks the good lines and still posts nothing.
  const std::string good = body.substr(0, body.find("04.03"));
  r = Post(good, true);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "2 Buchungen (2 Zeilen) geprüft")) << r.out;
  EXPECT_EQ(Journal().status, 1);

  r = Post(good);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "2 Buchungen (2 Zeilen) gebucht.")) << r.out;
  journal = Journal();
  EXPECT_EQ(journal.status, 0) << journal.err;
  EXPECT_TRUE(Contains(journal.out, "Anzahl Buchungen :                        2")) << journal.out;
}

TEST_F(CliCommandTest, RefusalsNameLineFieldAndMessage) {
  struct Case {
    const char* name;
    std::string file;  // header and lines
    const char* expected;
  };
  const std::string h = kHeader;
  const Case cases[] = {
      {"bad day", h + "31.02.2026;AR1;10000;8400;10,00;;;;\n", "Zeile 2, Feld Datum: Unzulässige Tagesangabe!"},
      {"closed year", h + "01.03.2024;AR1;10000;8400;10,00;;;;\n",
       "Zeile 2, Feld Datum: Das Datum muß innerhalb der bebuchbaren Geschäftsjahre liegen."},
      {"no document number", h + "02.03.2026;;10000;8400;10,00;;;;\n",
       "Zeile 2, Feld Beleg: Zur weiteren Bearbeitung müssen Sie"},
      {"same accounts", h + "02.03.2026;X1;1200;1200;10,00;;;;\n",
       "Zeile 2, Feld Soll: Die Soll- und Habenkontonummer müssen verschieden sein!"},
      {"collective account", h + "02.03.2026;X1;1200;1400;10,00;;;;\n",
       "Zeile 2, Feld Haben: Die Konten für Forderungen und Verbindlichkeiten dürfen nicht direkt bebucht werden!"},
      {"malformed amount", h + "02.03.2026;X1;1200;8400;12x;;;;\n", "Zeile 2, Feld Betrag: "},
      {"tax above gross", h + "02.03.2026;X1;1200;8400;10,00;19,00;20,00;;\n",
       "Zeile 2, Feld Steuer: Der Steuerbetrag darf nicht größer als der Bruttobetrag sein!"},
      {"text too long", h + "02.03.2026;X1;1200;8400;10,00;;;" + std::string(36, 'x') + ";\n",
       "Zeile 2, Feld Text: Der Buchungstext hat mehr als 35 Zeichen."},
      {"split without a shared account", h + "02.03.2026;X1;1200;8400;10,00;;;;1\n02.03.2026;X1;1000;8300;10,00;;;;1\n",
       "Zeile 2, Feld Buchung: Die Zeilen einer Buchung müssen ein gemeinsames Soll- oder Habenkonto haben."},
      {"split line with an unknown account", h + "02.03.2026;X1;1200;8400;10,00;;;;1\n02.03.2026;X1;1200;9999;5,00;;;;1\n",
       "Zeile 3, Feld Haben: Das angegebene Habenkonto existiert nicht."},
      {"unknown column", "Datum;Beleg;Konto;Haben;Betrag\n", "Zeile 1, Feld Konto: Unbekannte Spalte \"Konto\"."},
      {"missing column", "Datum;Beleg;Soll;Haben\n", "Zeile 1, Feld Betrag: Die Kopfzeile nennt die Spalte \"Betrag\" nicht."},
      {"too many fields", h + "02.03.2026;X1;1200;8400;10,00;;;;;;\n", "Zeile 2: Die Zeile hat 11 Felder"},
      {"open quote", h + "02.03.2026;X1;1200;8400;10,00;;;\"Text;\n", "Zeile 2: Ein Anführungszeichen wird nicht geschlossen."},
  };
  for (const Case& c : cases) {
    std::string path = WriteFile("fall.csv", c.file);
    CliResult r = Run({"buchen", "--mandant", "1", "--csv", path, "--dry-run"});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_TRUE(Contains(r.err, c.expected)) << c.name << ":\n" << r.err;
  }
}

TEST_F(CliCommandTest, SplitBookingAndQuotedText) {
  // A customer's payment less cash discount: one credit account, two debits.
  CliResult r = Post(
      "02.03.2026;AR1;10000;8400;1.190,00;;;\"Rechnung; März\";\n"
      "12.03.2026;ZE1;1200;10000;1.166,20;;;Zahlung AR1;z\n"
      "12.03.2026;ZE1;8736;10000;23,80;;;Zahlung AR1;z\n");
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run({"auswertung", "kontenblatt", "--mandant", "1", "--konto", "10000", "--jahr", "2026", "--periode", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "Rechnung; März")) << r.out;
  EXPECT_TRUE(Contains(r.out, "1.166,20")) << r.out;
  EXPECT_TRUE(Contains(r.out, "23,80")) << r.out;
  r = Run({"auswertung", "saldenliste", "--mandant", "1", "--arten", "D"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "  10000   Mueller    Müller KG                          0,00\n")) << "settled in full:\n"
                                                                                      << r.out;
}

TEST_F(CliCommandTest, OpenItemsWithoutTheirDeductionAccountsRefuseTheFile) {
  // Another user's settings: the data root, but not the Mandant's deduction accounts.
  auto settings = [&](const std::string& extra) {
    std::ofstream(settings_ / "TALVI.INI") << "[TALVI]\nPfad=" << data_.path() << "\nLand=DE\n" << extra;
  };
  settings("");
  const std::string body =
      "01.03.2026;K1;1200;8400;119,00;;;Barverkauf;\n"
      "02.03.2026;AR1;10000;8400;1.190,00;;;Rechnung;\n"
      "03.03.2026;ER1;3400;70000;476,00;;;Ware;\n";
  for (bool dryRun : {true, false}) {
    CliResult r = Post(body, dryRun);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(Contains(r.err, "zuerst die Buchung in Zeile 3")) << r.err;
    EXPECT_TRUE(Contains(r.err, "fehlen die Abzugskonten Ab2 (erhaltene Skonti, voller Satz), "
                                "Ab5 (gewährte Skonti, voller Satz).")) << r.err;
    EXPECT_TRUE(Contains(r.err, "\"Offene Posten\" › \"Abzugskonten\"")) << r.err;
    EXPECT_TRUE(Contains(r.err, settings_ / "TALVI.INI")) << r.err;
    EXPECT_FALSE(Contains(r.err, "OP-Belege")) << r.err;
    EXPECT_EQ(Journal().status, 1) << "nothing of the file is posted";
  }
  // The two accounts these bookings use are enough.
  settings("Ab2=3736\nAb5=8736\n");
  CliResult r = Post(body);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  SetDataRoot(data_.path());
  ASSERT_TRUE(OpenMandant(1));
  namespace op = layouts::open_item;
  for (int slot : {kSlotOpdebi, kSlotOpkred}) {
    std::vector<char> item(op::kLayout.recordLength);
    bool found = false;
    ASSERT_TRUE(GetFirstFound(item.data(), found, slot));
    EXPECT_TRUE(found) << "an open item in slot " << slot;
  }
}

TEST_F(CliCommandTest, StornoByDocumentNumber) {
  ASSERT_EQ(Post("02.03.2026;AR1;10000;8400;1.190,00;;;Rechnung;\n"
                 "03.03.2026;AR2;10000;8400;119,00;;;Rechnung;\n"
                 "04.03.2026;AR2;10000;8400;238,00;;;Rechnung;\n").status, 0);
  struct Case {
    const char* number;
    int status;
    const char* expected;  // on standard error; empty: none
  };
  const Case cases[] = {
      {"AR1", 0, ""},
      {"AR1", 1, "Eine Buchung mit dem Beleg AR1 ist bereits storniert"},
      {"AR9", 1, "Im Geschäftsjahr 2026 gibt es keine Buchung mit dem Beleg AR9."},
      {"AR2", 1, "Den Beleg AR2 tragen 2 Buchungen"},
  };
  for (const Case& c : cases) {
    CliResult r = Run({"stornieren", "--mandant", "1", "--beleg", c.number});
    EXPECT_EQ(r.status, c.status) << c.number << r.err;
    EXPECT_TRUE(Contains(r.err, c.expected)) << c.expected << ":\n" << r.err;
  }
  CliResult r = Run({"auswertung", "saldenliste", "--mandant", "1", "--arten", "D"});
  EXPECT_TRUE(Contains(r.out, "  10000   Mueller    Müller KG                        357,00   Soll")) << r.out;
}

TEST_F(CliCommandTest, CallsThatCannotRun) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* expected;
  };
  const Case cases[] = {
      {{"buchen", "--csv", "x.csv"}, 2, "Geben Sie den Mandanten mit --mandant NR an."},
      {{"buchen", "--mandant", "7", "--csv", "x.csv"}, 2, "Den Mandanten 7 gibt es"},
      {{"buchen", "--mandant", "1", "--csv", "/nicht/da.csv"}, 1, "Die Datei /nicht/da.csv kann nicht gelesen werden."},
      {{"auswertung", "guv", "--mandant", "1", "--tiefe", "4"}, 2, "--tiefe nimmt 1, 2 oder 3."},
      {{"auswertung", "bilanz", "--mandant", "1", "--konten", "einige"}, 2, "--konten nimmt keine, bebucht oder alle."},
      {{"auswertung", "bilanz", "--mandant", "1", "--darstellung", "bunt"}, 2, "--darstellung nimmt ohne"},
      {{"auswertung", "bwa", "--mandant", "1", "--erste", "guv"}, 2, "geben Sie --erste und --zweite an."},
      {{"auswertung", "bwa", "--mandant", "1", "--erste", "kasse", "--zweite", "guv"}, 2,
       "Die Seite \"kasse\" beginnt nicht mit guv, aktiva oder passiva."},
      {{"auswertung", "bwa", "--mandant", "1", "--erste", "guv:Nichts", "--zweite", "guv"}, 1,
       "gibt es weder eine Gruppe noch ein Konto \"Nichts\""},
      {{"auswertung", "bwa", "--mandant", "1", "--erste", "guv", "--zweite", "guv"}, 1,
       "Die Vergleichspaare müssen sich unterscheiden!"},
      {{"auswertung", "journal", "--mandant", "1", "--periode", "13"}, 2, "Unbekannter Zeitraum \"13\""},
      {{"auswertung", "journal", "--mandant", "1", "--von", "01.12.2026", "--bis", "05.01.2027"}, 1,
       "Die Datumsangaben müssen innerhalb eines Geschäftsjahres liegen."},
      {{"auswertung", "saldenliste", "--mandant", "1", "--farbe", "rot"}, 2, "Unbekannte Option --farbe"},
      {{"auswertung", "umsatz", "--mandant", "1"}, 2, "Unbekannte Auswertung \"umsatz\"."},
      {{"loeschen"}, 2, "Unbekannter Befehl \"loeschen\"."},
  };
  for (const Case& c : cases) {
    CliResult r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.expected;
    EXPECT_TRUE(Contains(r.err, c.expected)) << c.expected << ":\n" << r.err;
  }
  for (const char* command : {"mandanten", "buchen", "auswertung", "stornieren", "pruefen"}) {
    CliResult r = Run({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_TRUE(Contains(r.out, std::string("Aufruf: talvi-cli ") + command)) << r.out;
  }
  CliResult list = Run({"mandanten"});
  EXPECT_EQ(list.status, 0);
  EXPECT_TRUE(Contains(list.out, "  1  Handel Nord GmbH")) << list.out;
}

TEST_F(CliCommandTest, PrintingTheReturnLocksItsMonth) {
  ASSERT_EQ(Post("02.03.2026;AR1;10000;8400;1.190,00;;;Rechnung;\n").status, 0);
  std::string pdf = data_ / "ustva.pdf", xml = data_ / "ustva.xml";
  CliResult r = Run({"auswertung", "ustva", "--mandant", "1", "--jahr", "2026", "--periode", "3", "--pdf", pdf,
                     "--xml", xml});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadWhole(pdf).substr(0, 4), "%PDF");
  std::string upload = ReadWhole(xml);
  EXPECT_TRUE(Contains(upload, "<Kz81>1000</Kz81>")) << upload;
  EXPECT_TRUE(Contains(upload, "<Kz83>190.00</Kz83>")) << upload;
  EXPECT_TRUE(Contains(r.err, "Buchungssperre bis 01.04.2026 gesetzt")) << r.err;
  // March is locked now: a late March document is refused by name.
  r = Post("20.03.2026;AR2;10000;8400;119,00;;;Nachzügler;\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "Zeile 2, Feld Datum: Die Buchung AR2 liegt innerhalb des gesperrten Zeitraumes")) << r.err;
  EXPECT_EQ(Post("01.04.2026;AR2;10000;8400;119,00;;;April;\n").status, 0);
}

TEST_F(CliCommandTest, AccountSheetsPrintIntoOnePdf) {
  ASSERT_EQ(Post("02.03.2026;AR1;10000;8400;1.190,00;;;Rechnung;\n"
                 "03.03.2026;ER1;3400;70000;476,00;;;Ware;\n").status, 0);
  std::string pdf = data_ / "blaetter.pdf";
  CliResult r = Run({"auswertung", "kontenblatt", "--mandant", "1", "--arten", "SKD", "--jahr", "2026", "--periode",
                     "Q1", "--pdf", pdf});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string bytes = ReadWhole(pdf);
  EXPECT_EQ(bytes.substr(0, 4), "%PDF");
  // One document, one page per sheet: 1400 1576 1600 1776 3400 8400 70000 10000.
  std::size_t pages = 0;
  for (std::size_t at = 0; (at = bytes.find("/Type /Page\n", at)) != std::string::npos; ++at) ++pages;
  if (pages == 0)
    for (std::size_t at = 0; (at = bytes.find("/Type /Page", at)) != std::string::npos; ++at)
      if (bytes.compare(at, 12, "/Type /Pages") != 0) ++pages;
  EXPECT_EQ(pages, 8u);
}

TEST_F(CliCommandTest, CheckingFindsATotalThatDisagreesWithTheJournal) {
  ASSERT_EQ(Post("02.03.2026;AR1;10000;8400;1.190,00;;;Rechnung;\n").status, 0);
  CliResult r = Run({"pruefen", "--mandant", "1"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_TRUE(Contains(r.out, "Keine Abweichungen gefunden.")) << r.out;

  // A March credit total of 8400 changed behind the journal's back.
  SetDataRoot(data_.path());
  ASSERT_TRUE(OpenMandant(1));
  namespace sako = layouts::sako;
  std::vector<char> account(sako::kLayout.recordLength);
  bool found = false;
  ASSERT_TRUE(GetEqual(account.data(), KeyValue("   8400", 8), found, MakeFileId(kSlotSako, 0)));
  ASSERT_TRUE(found);
  AmountFromCents(layouts::FieldBytes(account.data(), sako::kPeriodCredit.At(2)), 99900);
  ASSERT_TRUE(Update(account.data(), MakeFileId(kSlotSako, 0)));
  CloseAll();
  recman::Shutdown();

  r = Run({"pruefen", "--mandant", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.out, "Jahr 2026:")) << r.out;
  EXPECT_TRUE(Contains(r.out, "8400")) << r.out;
  EXPECT_TRUE(Contains(r.out, "1 Abweichungen gefunden.")) << r.out;
}

}  // namespace
}  // namespace talvera::testing
