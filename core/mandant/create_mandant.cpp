#include "core/mandant/create_mandant.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "core/charts/chart_catalog.h"
#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/mandant/file_set.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant/special_accounts.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "recman/recman.h"

namespace talvera {
namespace {

namespace F = layouts::fista;

enum : int {
  kMessageBadYear = 8,
  kMessageNameMissing = 504,
  kMessageTaxOfficeMissing = 505,
  kMessageTaxNumberMissing = 506,
  kMessageNotSaved = 503,
  kMessageFilesIncomplete = 507,
  kMessageInstalled = 510,
  kMessageAlreadyInstalled = 511,
  kMessageNoDirectory = 514,
};

constexpr int kLongTaxNumber = 13;  // from this length on the number lives at offset 134

std::size_t Characters(const std::string& utf8) {
  return static_cast<std::size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool Blank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
}

std::string Trimmed(const char* account) {
  std::string s(account);
  s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
  return s;
}

// Reads every master record: the name must be new; the number is one more
// than the highest.
bool CheckNameAndNumber(const char* record, int* number) {
  std::vector<MandantEntry> all;
  if (!ListMandants(all)) return false;
  std::string name = layouts::GetText(record, F::kCompanyName);
  int highest = 0;
  for (const MandantEntry& e : all) {
    if (e.name == name) {
      ShowMessage(kMessageAlreadyInstalled, mandanlegen::kName);
      return false;
    }
    highest = std::max(highest, e.number);
  }
  *number = highest + 1;
  return true;
}

bool TakeTaxData(const NewMandant& in, char* record) {
  using namespace mandanlegen;
  if (Blank(in.taxOffice)) {
    ShowMessage(kMessageTaxOfficeMissing, kTaxOffice);
    return false;
  }
  if (Blank(in.taxNumber)) {
    ShowMessage(kMessageTaxNumberMissing, kTaxNumber);
    return false;
  }
  layouts::SetText(record, F::kTaxOffice, in.taxOffice);
  layouts::SetText(record, F::kVatId, in.vatId);
  bool longNumber = Characters(in.taxNumber) >= kLongTaxNumber;
  layouts::SetText(record, longNumber ? F::kTaxNumberLong : F::kTaxNumberShort, in.taxNumber);
  layouts::SetNumber(record, F::kTaxationBasis, in.cashBasis ? 1 : 0);
  return true;
}

// The collective, carry-forward and VAT-not-due accounts of the chart.
void TakeChartAccounts(char chart, char* record) {
  const char* accounts[4];
  if (chart == kBasicChart) {
    const SpecialAccountSet& s = CurrentSpecialAccounts();
    accounts[0] = s[kSpecialReceivables].number;
    accounts[1] = s[kSpecialPayables].number;
    accounts[2] = s[kSpecialCarryForward].number;
    accounts[3] = s[kSpecialVatNotDue].number;
  } else {
    const charts::ChartDefinition* c = charts::ChartByLetter(chart);
    accounts[0] = c->defaults[charts::kReceivablesRow];
    accounts[1] = c->defaults[charts::kPayablesRow];
    accounts[2] = c->defaults[charts::kCarryForwardRow];
    accounts[3] = c->defaults[charts::kVatNotDueRow];
  }
  layouts::SetRawText(record, F::kReceivablesAccount, accounts[0]);
  layouts::SetRawText(record, F::kPayablesAccount, accounts[1]);
  layouts::SetRawText(record, F::kCarryForwardAccount, accounts[2]);
  layouts::SetRawText(record, F::kVatNotDueAccount, accounts[3]);
}

// The settings every chart expects. Keys of a chart without the value are
// written empty, so nothing of an earlier Mandant with this number remains.
void WriteChartSettings(char chart, int number) {
  const charts::ChartDefinition* c = charts::ChartByLetter(chart);
  std::string eust = chart == kBasicChart ? CurrentSpecialAccounts()[kSpecialImportVat].number
                                          : charts::ImportVatAccount(*c);
  WriteSetting(MandantKey(keys::kEust, number), Trimmed(eust.c_str()));
  for (int i = 0; i < 6; ++i)
    WriteSetting(MandantKey(std::string(keys::kAb) + std::to_string(i), number),
                 Trimmed(c->settingAccounts[i]));
  WriteSetting(MandantKey(keys::kWGewinn, number), c->settingAccounts[6]);
  WriteSetting(MandantKey(keys::kWVerlust, number), c->settingAccounts[7]);
}

bool DeleteMasterRecord(int number) {
  StoreTransaction transaction;
  char record[F::kLayout.recordLength];
  bool found = false;
  bool ok = transaction.began() && OpenSlot(kSlotFista) &&
            ReadMandantRecord(number, record, found) && found && Delete(kSlotFista) &&
            transaction.Commit();
  CloseSlot(kSlotFista);
  return ok;
}

// Steps up to the inserted master record and the created directory.
bool InsertMasterRecord(const NewMandant& in, int year, char* record, int* number,
                        std::string* directory) {
  recman::UseDirectory(DataRoot());
  StoreTransaction transaction;
  if (!transaction.began() || !CheckNameAndNumber(record, number)) return false;
  if (!TakeTaxData(in, record)) return false;
  TakeChartAccounts(in.chart, record);
  layouts::SetNumber(record, F::kMandantNo, *number);
  layouts::SetText(record, F::kCurrentYear, std::to_string(year));
  layouts::SetNumber(record, F::kDataVersion, F::kDataVersionCurrent);
  layouts::SetNumber(record, F::kFiscalStartMonth, in.startMonth);
  *directory = MandantYearDirectory(std::to_string(year), *number);
  if (!MakeDirectories(*directory)) {
    ShowMessage(kMessageNoDirectory);
    return false;
  }
  bool ok = Insert(record, MakeFileId(kSlotFista, 0)) && transaction.Commit();
  CloseSlot(kSlotFista);
  if (!ok) ShowMessage(kMessageNotSaved);
  return ok;
}

}  // namespace

int ParseFoundingYear(const std::string& text) {
  std::string t = text;
  t.erase(0, t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (t.empty() || t.size() > 4 ||
      !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); }))
    return 0;
  int year = std::stoi(t);
  if (t.size() == 2) year += 1900;
  return year >= 1984 && year <= 2074 ? year : 0;
}

bool CreateMandant(const NewMandant& in, int* number) {
  using namespace mandanlegen;
  int year = ParseFoundingYear(in.year);
  if (year == 0) {
    ShowMessage(kMessageBadYear, kYear);
    return false;
  }
  if (Blank(in.name)) {
    ShowMessage(kMessageNameMissing, kName);
    return false;
  }
  if (in.startMonth < 1 || in.startMonth > 12 || !charts::ChartByLetter(in.chart)) return false;
  char record[F::kLayout.recordLength];
  layouts::InitRecord(F::kLayout, record);
  layouts::SetText(record, F::kCompanyName, in.name);

  // The notice goes before the result is shown, so it does not stay behind it.
  bool filesComplete = false;
  {
    NoticeScope notice("MANDNEU", "Der Mandant wird angelegt...");
    std::string directory;
    if (!InsertMasterRecord(in, year, record, number, &directory)) return false;
    filesComplete = CreateFileSet(in.chart, directory, in.startMonth, CurrentSpecialAccounts());
    if (!filesComplete) DeleteMasterRecord(*number);
  }
  if (!filesComplete) {
    ShowMessage(kMessageFilesIncomplete);
    return false;
  }
  WriteChartSettings(in.chart, *number);
  ShowMessage(kMessageInstalled);
  return true;
}

}  // namespace talvera
