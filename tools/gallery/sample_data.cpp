// The gallery's sample data: what a new user has after the first steps,
// made the way the program makes it (Mandant creation, posting engine).
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "accounts/account_store.h"
#include "core/layouts/bat.h"
#include "core/layouts/layouts.h"
#include "core/mandant/create_mandant.h"
#include "core/mandant/data_conversion.h"
#include "core/mandant/open_mandant.h"
#include "core/profile.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/posting_engine.h"
#include "recman/recman.h"
#include "shell/frame_commands.h"
#include "shell/shell_state.h"
#include "tax/tax_rates.h"
#include "tools/gallery/gallery.h"
#include "users/user_file.h"

namespace talvera::gallery {
namespace {

namespace bat = layouts::bat;
namespace bl = layouts::bat_line;

constexpr int kSachkonto = 2, kKreditor = 4, kDebitor = 8;

bool Fail(const char* what) {
  std::fprintf(stderr, "talvi-gallery: %s\n", what);
  return false;
}

bool CopyTemplates(const std::string& from, const std::string& to) {
  std::vector<std::string> files = recman::ListFiles(from);
  if (files.empty()) return false;
  for (const std::string& file : files)
    if (recman::CopyFile(from + "/" + file, to + "/" + file) != recman::kOk) return false;
  return true;
}

int Create(const char* name, const char* taxOffice) {
  NewMandant in;
  in.year = "2026";
  in.name = name;
  in.taxOffice = taxOffice;
  in.taxNumber = "12/345/67890";
  in.vatId = "DE123456789";
  int number = 0;
  return CreateMandant(in, &number) ? number : 0;
}

// One booking line: debit and credit account, gross amount and, with a
// tax class, the net amount and the rate.
bool Post(const char* date, const char* text, const char* voucher, const char* debit, int debitKind,
          const char* credit, int creditKind, const char* gross, const char* net = nullptr,
          int taxSide = 0, int taxClass = 0, const char* rate = "00,00") {
  std::vector<char> r(bat::kLayout.recordLength);
  layouts::InitRecord(bat::kLayout, r.data());
  layouts::SetRawText(r.data(), bat::kPostingDate, date);
  layouts::SetRawText(r.data(), bat::kVoucherDate, date);
  layouts::SetRawText(r.data(), bat::kVoucherNo, voucher);
  layouts::SetText(r.data(), bat::kText, text);
  auto f = [](const layouts::Field& field) { return bat::kLine.In(0, field); };
  char number[8];
  std::snprintf(number, sizeof number, "%7s", debit);
  layouts::SetRawText(r.data(), f(bl::kDebitAccount), number);
  std::snprintf(number, sizeof number, "%7s", credit);
  layouts::SetRawText(r.data(), f(bl::kCreditAccount), number);
  layouts::SetNumber(r.data(), f(bl::kDebitKind), debitKind);
  layouts::SetNumber(r.data(), f(bl::kCreditKind), creditKind);
  layouts::SetRawText(r.data(), f(bl::kGross), gross);
  layouts::SetRawText(r.data(), f(bl::kNet), net ? net : gross);
  layouts::SetNumber(r.data(), f(bl::kTaxSide), taxSide);
  layouts::SetNumber(r.data(), f(bl::kTaxClass), taxClass);
  layouts::SetRawText(r.data(), f(bl::kRate), rate);
  return PostBooking(r.data(), true);
}

bool AddUser(const char* name, unsigned rights) {
  UserRecord user;
  user.name = name;
  user.rights = rights;
  return InsertUser(user);
}

}  // namespace

namespace {

// Customers, vendors and cost centres for the account windows.
bool AddSampleAccounts() {
  namespace P = layouts::personal;
  namespace K = layouts::kore;
  struct Person {
    AccountFile file;
    const char* number;
    const char* code;
    const char* name;
    const char* postal;
    const char* town;
  };
  const Person persons[] = {
      {AccountFile::kDebi, "  10000", "Mueller", "Müller & Söhne OHG", "50667", "Köln"},
      {AccountFile::kDebi, "  10001", "Schmidt", "Schmidt Bau GmbH", "40210", "Düsseldorf"},
      {AccountFile::kDebi, "  10002", "Weber", "Weber Textil KG", "44135", "Dortmund"},
      {AccountFile::kKred, "  70000", "Buero", "Bürobedarf Krause", "53111", "Bonn"},
      {AccountFile::kKred, "  70001", "Stadtw", "Stadtwerke Köln", "50823", "Köln"},
  };
  std::vector<char> r(P::kLayout.recordLength);
  for (const Person& p : persons) {
    layouts::InitRecord(P::kLayout, r.data());
    layouts::SetRawText(r.data(), P::kAccountNo, p.number);
    layouts::SetText(r.data(), P::kShortCode, p.code);
    layouts::SetText(r.data(), P::kName, p.name);
    layouts::SetText(r.data(), P::kPostalCode, p.postal);
    layouts::SetText(r.data(), P::kTown, p.town);
    layouts::SetText(r.data(), P::kCountry, "D");
    if (!SaveNewAccount(p.file, r.data(), false)) return false;
  }
  std::vector<char> k(K::kLayout.recordLength);
  for (auto [number, code, name] : {std::tuple{"    100", "Verw", "Verwaltung"}, std::tuple{"    200", "Vertr", "Vertrieb"},
                                    std::tuple{"    300", "Lager", "Lager und Versand"}}) {
    layouts::InitRecord(K::kLayout, k.data());
    layouts::SetRawText(k.data(), K::kNumber, number);
    layouts::SetText(k.data(), K::kShortCode, code);
    layouts::SetText(k.data(), K::kName, name);
    if (!SaveNewAccount(AccountFile::kKore, k.data(), false)) return false;
  }
  return true;
}

}  // namespace

bool PrepareSampleData(const QString& chartsDir, const QString& rootDir, const QString& settingsDir) {
  ::setenv("TALVERA_WINDIR", settingsDir.toLocal8Bit().constData(), 1);
  ::setenv("TALVERA_TODAY", "15.05.2026", 1);
  ResetDayToday();
  std::string root = rootDir.toStdString();
  if (!CopyTemplates(chartsDir.toStdString(), root)) return Fail("die Kontenrahmen fehlen");
  WriteSetting(keys::kPfad, root);
  WriteSetting("Drucker", "PDF-Datei," + root + "/ausdruck.pdf");
  if (!PrepareStart()) return Fail("der Start ist gescheitert");
  SetDataRoot(root);
  if (!ConvertMasterFile()) return Fail("die Mandantendatei fehlt");
  InstallRateLoading();
  if (Create("Muster GmbH", "Finanzamt Mitte") != 1 || Create("Beispiel KG", "Finanzamt Nord") != 2)
    return Fail("die Mandanten wurden nicht angelegt");
  if (!OpenMandant(1)) return Fail("der Mandant läßt sich nicht öffnen");
  SyncShellWithMandant();
  // A few bookings of March: a sale, a purchase, a payment received, rent.
  bool posted = Post("020346", "Ausgangsrechnung", "AR-1", "1200", kSachkonto, "8400", kSachkonto,
                     "000001190,00", "000001000,00", 1, 2, "19,00") &&
                Post("050346", "Wareneinkauf", "ER-1", "3400", kSachkonto, "1200", kSachkonto,
                     "000000595,00", "000000500,00", 2, 2, "19,00") &&
                Post("100346", "Miete März", "K-1", "4210", kSachkonto, "1000", kSachkonto,
                     "000000800,00") &&
                Post("150346", "Bareinlage", "K-2", "1000", kSachkonto, "0880", kSachkonto,
                     "000002000,00");
  if (!posted) std::fprintf(stderr, "talvi-gallery: die Beispielbuchungen fehlen\n");
  if (!AddSampleAccounts()) std::fprintf(stderr, "talvi-gallery: die Beispielkonten fehlen\n");
  OpenUserFile(1);
  if (!AddUser("Anna", ~0u) || !AddUser("Bernd", kRightBuchungenErfassen | kRightVerbuchen) ||
      !AddUser("Clara", kRightAuswerten))
    return Fail("die Benutzer wurden nicht angelegt");
  CloseUserFile();
  return true;
}

}  // namespace talvera::gallery
