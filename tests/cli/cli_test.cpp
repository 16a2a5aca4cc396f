// talvi-cli as its users call it: a real Mandant in a temporary data root,
// the program run as a process, its output and its exit status.
#include "cli/cli_fixture.h"

namespace talvera::testing {
namespace {

const std::vector<CliPerson> kPeople = {
    {"debi", "10000", "Mueller", "Müller KG", "DE", ""},
    {"kred", "70000", "Gross", "Großhandel Süd GmbH", "DE", ""},
};

TEST_F(CliTest, Smoke) {
  CreateMandant(kPeople);
  std::string csv = WriteFile("m.csv",
                              "Datum;Beleg;Soll;Haben;Betrag;Text\n"
                              "02.03.2026;AR1;10000;8400;1.190,00;Rechnung\n"
                              "03.03.2026;ER1;3400;70000;476,00;Ware\n");
  CliResult r = Run({"buchen", "--mandant", "1", "--csv", csv});
  EXPECT_EQ(r.status, 0) << r.err;
  std::printf("%s%s", r.out.c_str(), r.err.c_str());
  r = Run({"auswertung", "saldenliste", "--mandant", "1", "--arten", "SKD"});
  std::printf("%d\n%s%s", r.status, r.out.c_str(), r.err.c_str());
  r = Run({"auswertung", "journal", "--mandant", "1", "--jahr", "2026", "--periode", "3"});
  std::printf("%d\n%s%s", r.status, r.out.c_str(), r.err.c_str());
  r = Run({"auswertung", "ustva", "--mandant", "1", "--jahr", "2026", "--periode", "3"});
  std::printf("%d\n%s%s", r.status, r.out.c_str(), r.err.c_str());
  r = Run({"pruefen", "--mandant", "1"});
  std::printf("%d\n%s%s", r.status, r.out.c_str(), r.err.c_str());
  r = Run({"mandanten"});
  std::printf("%d\n%s%s", r.status, r.out.c_str(), r.err.c_str());
}

}  // namespace
}  // namespace talvera::testing
