#include "tools/cli/consistency.h"

#include <cstdlib>

#include "core/amount.h"
#include "core/layouts/layouts.h"
#include "core/layouts/open_item.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "posting/invariants.h"
#include "recman/maintenance.h"

namespace talvera::cli {
namespace {

namespace op = layouts::open_item;

std::string Trimmed(std::string s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

bool CheckYear(const std::string& year, std::vector<std::string>& findings) {
  if (!SwitchWorkingYear(year)) return false;
  std::vector<std::string> problems;
  bool ok = CheckTotalsAgainstJournal(problems);
  for (const std::string& p : problems) findings.push_back("Jahr " + year + ": " + p);
  problems.clear();
  std::string file = YearDirectory(year) + "/sako.btr";
  if (int status = recman::CheckFile(file, &problems); status != 0) {
    findings.push_back("Jahr " + year + ": Die Datenbank kann nicht geprüft werden (Status " +
                       std::to_string(status) + ").");
    ok = false;
  }
  for (const std::string& p : problems) findings.push_back("Jahr " + year + ": " + p);
  return ok;
}

// The open items of one file against their accounts.
bool CheckOpenItems(int slot, int accountSlot, const char* kindName, std::vector<std::string>& findings) {
  std::vector<char> r(op::kLayout.recordLength);
  bool found = false;
  if (!GetFirstFound(r.data(), found, MakeFileId(slot, 0))) return false;
  while (found) {
    std::string account = layouts::FieldBytes(r.data(), op::kAccountNo);
    std::string voucher = Trimmed(layouts::GetText(r.data(), op::kVoucherNo));
    bool exists = false;
    if (!Exists(KeyValue(account.c_str(), 8), exists, MakeFileId(accountSlot, 0))) return false;
    if (!exists)
      findings.push_back(std::string("Offener Posten ") + voucher + ": den " + kindName + " " + Trimmed(account) +
                         " gibt es nicht.");
    long long amount = 0, outstanding = 0;
    if (AmountToCents(layouts::FieldBytes(r.data(), op::kAmount), &amount) &&
        AmountToCents(layouts::FieldBytes(r.data(), op::kOutstanding), &outstanding) &&
        std::llabs(outstanding) > std::llabs(amount))
      findings.push_back(std::string("Offener Posten ") + voucher + " des " + kindName + "s " + Trimmed(account) +
                         ": der Ausstand ist größer als der Rechnungsbetrag.");
    if (!GetNextFound(r.data(), found, MakeFileId(slot, 0))) return false;
  }
  return true;
}

}  // namespace

bool CheckBooks(std::vector<std::string>& findings) {
  const MandantValues& m = CurrentMandant();
  bool ok = true;
  if (m.previousYear[0]) ok &= CheckYear(m.previousYear, findings);
  ok &= CheckYear(m.currentYear, findings);
  bool opened = OpenSlot(kSlotOpdebi) && OpenSlot(kSlotOpkred);
  ok &= opened && CheckOpenItems(kSlotOpdebi, kSlotDebi, "Debitor", findings) &&
        CheckOpenItems(kSlotOpkred, kSlotKred, "Kreditor", findings);
  CloseSlot(kSlotOpdebi);
  CloseSlot(kSlotOpkred);
  return ok;
}

}  // namespace talvera::cli
