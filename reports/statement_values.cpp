#include "reports/statement_values.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/amount.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/structure_file.h"
#include "recman/recman.h"
#include "reports/account_values.h"
#include "reports/trial_balance.h"

namespace talvera {
namespace {

namespace sako = layouts::sako;

int Two(const char* s) { return (s[0] - '0') * 10 + (s[1] - '0'); }

std::string StatementYear() {
  return WorkingYear().empty() ? std::string(CurrentMandant().currentYear) : WorkingYear();
}


// The period figures of the year before, by account number; empty when
// that year's account file is not on disk.
struct PreviousYear {
  bool present = false;
  std::map<std::string, AccountValues> accounts;
};

bool ReadPreviousYear(PreviousYear& out) {
  std::string year = std::to_string(std::atoi(StatementYear().c_str()) - 1);
  std::string path = YearDirectory(year) + "/" + SlotFileName(kSlotSako) + ".btr";
  if (!recman::FileExists(path)) return true;
  if (!OpenPath(path, kSlotScratch)) return false;
  std::vector<char> record(sako::kLayout.recordLength);
  FileId id = MakeFileId(kSlotScratch, 0);
  bool found = false;
  bool ok = GetFirstFound(record.data(), found, id);
  while (ok && found) {
    AccountValues values;
    if (ReadAccountValues(kSachkonto, record.data(), values)) {
      values.record = nullptr;
      out.accounts[values.number] = values;
    }
    ok = GetNextFound(record.data(), found, id);
  }
  CloseSlot(kSlotScratch);
  out.present = ok;
  return ok;
}

long long Movement(const AccountValues& a, int first, int last) {
  long long sum = 0;
  for (int p = first; p <= last; ++p) sum += a.periodDebit[p - 1] - a.periodCredit[p - 1];
  return sum;
}

// The P&L value of the same span in the year before, from its file.
long long PreviousSpan(const AccountValues& a, const ValueRequest& r, int month, bool closing) {
  long long value = r.span == ValueSpan::kPeriods ? Movement(a, r.firstPeriod, month)
                                                  : a.openingDebit - a.openingCredit + Movement(a, 1, month);
  if (closing) value += a.closingDebit - a.closingCredit;
  return value;
}

bool RecordCents(const void* record, const layouts::Field& f, long long& out) {
  const char* text = layouts::FieldBytes(record, f);
  out = 0;
  return text[0] == '\0' || AmountToCents(text, &out);
}

}  // namespace

bool ReadStatementAccounts(unsigned classMask, const ValueRequest& r, StatementAccounts& out) {
  out.clear();
  PreviousYear previousYear;
  if ((classMask & 8) && r.span != ValueSpan::kOpening && !ReadPreviousYear(previousYear)) return false;
  Deductions later;
  bool dated = r.span != ValueSpan::kOpening;
  if (dated && !ReadLaterPostings(r.date, later)) return false;
  int month = dated ? Two(r.date + 2) : 1;
  bool closing = dated && ClosingIncluded(r.date);
  bool wholeYear = closing && (r.span != ValueSpan::kPeriods || r.firstPeriod == 1);
  return ForEachAccount(kSachkonto, true, [&](const AccountValues& a) {
    if (!(static_cast<unsigned>(a.accountClass) & classMask) || a.accountClass == 0) return true;
    StatementAccount s;
    s.number = a.number;
    s.name = a.name;
    s.accountClass = a.accountClass;
    s.openingValue = a.openingDebit - a.openingCredit;
    s.closingValue = a.closingDebit - a.closingCredit;
    for (int p = 0; p < 12; ++p) s.period[p] = a.periodDebit[p] - a.periodCredit[p];
    if (!dated) {
      s.value = s.openingValue;
    } else {
      TrialBalanceRow row = RowAtDate(a, month, closing, later);
      s.value = row.balance;
      if (r.span == ValueSpan::kPeriods) s.value -= s.openingValue + Movement(a, 1, r.firstPeriod - 1);
    }
    if (a.accountClass == 8) {
      auto it = previousYear.accounts.find(a.number);
      if (previousYear.present) {
        s.previousKnown = true;
        if (it != previousYear.accounts.end()) s.previous = PreviousSpan(it->second, r, month, closing);
      } else if (wholeYear) {
        long long debit = 0, credit = 0;
        s.previousKnown = RecordCents(a.record, sako::kPrevDebitTurnover, debit) &&
                          RecordCents(a.record, sako::kPrevCreditTurnover, credit);
        s.previous = debit - credit;
      }
    } else {
      long long balance = 0;
      s.previousKnown = RecordCents(a.record, sako::kPrevClosingBalance, balance);
      bool credit = layouts::GetNumber(a.record, sako::kPrevClosingSide) == 1;
      s.previous = credit ? -balance : balance;
    }
    out[s.number] = s;
    return true;
  });
}

bool ReadStatementTree(StructureKind kind, StructureTree& out) {
  return LoadStructure(StructurePath(YearDirectory(StatementYear()), kind), out);
}

}  // namespace talvera
