#include "posting/invariants.h"

#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/layouts/bube.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "posting/posting_state.h"
#include "recman/recman.h"

namespace talvera {
namespace {

namespace bube = layouts::bube;

// Per account: 12 periods x 2 sides, then the two closing totals.
using Totals = std::map<std::string, std::array<long long, 26>>;

long long Cents(const char* amount) {
  long long c = 0;
  AmountToCents(amount, &c);
  return c;
}

void Add(Totals& t, const char* account, int slot, const char* amount) {
  if (account[0] == '\0') return;
  t[account][slot] += Cents(amount);
}

bool SumJournal(Totals& t) {
  char j[bube::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(j, found, kSlotBube);
  while (ok && found) {
    unsigned flags = static_cast<unsigned>(layouts::GetNumber(j, bube::kFlags));
    if (bube::IsOpeningPosting(j)) {
      // An opening posting moves the opening balance of its account (and of
      // the collective account) and only the carry-forward account's period.
      if (!(flags & posting::kCollectiveRecord)) {
        int period = posting::PeriodOf(layouts::FieldBytes(j, bube::kPostingDate));
        bool onDebit = std::string(layouts::FieldBytes(j, bube::kDebitAccount)) == kCarryForwardAccount;
        Add(t, kCarryForwardAccount, (period - 1) * 2 + (onDebit ? 0 : 1),
            layouts::FieldBytes(j, onDebit ? bube::kDebitAmount : bube::kCreditAmount));
      }
    } else if (!(flags & posting::kCarryForwardRecord)) {
      bool closing = flags & posting::kClosingPosting;
      int period = posting::PeriodOf(layouts::FieldBytes(j, bube::kPostingDate));
      int debitSlot = closing ? 24 : (period - 1) * 2;
      int creditSlot = closing ? 25 : (period - 1) * 2 + 1;
      Add(t, layouts::FieldBytes(j, bube::kDebitAccount), debitSlot, layouts::FieldBytes(j, bube::kDebitAmount));
      Add(t, layouts::FieldBytes(j, bube::kCreditAccount), creditSlot, layouts::FieldBytes(j, bube::kCreditAmount));
      bool taxOnDebit = layouts::GetNumber(j, bube::kTaxSideFlags) & 0x20;
      Add(t, layouts::FieldBytes(j, bube::kTaxAccount), taxOnDebit ? debitSlot : creditSlot,
          layouts::FieldBytes(j, bube::kTaxAmount));
    }
    ok = GetNextFound(j, found, kSlotBube);
  }
  return ok;
}

template <typename Fields>
bool CompareFile(int slot, const Fields& f, int recordLength, Totals& t, std::vector<std::string>& problems) {
  std::vector<char> r(recordLength);
  bool found = false;
  bool ok = GetFirstFound(r.data(), found, MakeFileId(slot, 0));
  while (ok && found) {
    std::string account = layouts::FieldBytes(r.data(), f.account);
    std::array<long long, 26> expected{};
    if (auto it = t.find(account); it != t.end()) {
      expected = it->second;
      t.erase(it);
    }
    for (int p = 0; p < 12; ++p) {
      long long debit = Cents(layouts::FieldBytes(r.data(), f.debit.At(p)));
      long long credit = Cents(layouts::FieldBytes(r.data(), f.credit.At(p)));
      if (debit != expected[p * 2] || credit != expected[p * 2 + 1])
        problems.push_back("Konto " + account + " Periode " + std::to_string(p + 1) +
                           ": Summen passen nicht zum Journal");
    }
    if (Cents(layouts::FieldBytes(r.data(), f.closingDebit)) != expected[24] ||
        Cents(layouts::FieldBytes(r.data(), f.closingCredit)) != expected[25])
      problems.push_back("Konto " + account + ": Abschlussbuchungen passen nicht zum Journal");
    ok = GetNextFound(r.data(), found, MakeFileId(slot, 0));
  }
  return ok;
}

struct Fields {
  layouts::Field account, debit, credit, closingDebit, closingCredit;
};

// The fields the carry-forward keeps of an account layout.
struct CarriedFields {
  layouts::Field account, openingDebit, openingCredit, debit, credit, closingDebit, closingCredit,
      prevDebit, prevCredit, prevBalance, prevSide;
};

// What the previous year's account says the current year must hold as its
// previous-year figures: the year's turnovers, and its balance with the
// opening balance (debit positive).
struct YearFigures {
  long long debit = 0, credit = 0, balance = 0;
};

YearFigures FiguresOfYear(const char* r, const CarriedFields& f) {
  YearFigures y;
  y.debit = Cents(layouts::FieldBytes(r, f.closingDebit));
  y.credit = Cents(layouts::FieldBytes(r, f.closingCredit));
  for (int p = 0; p < 12; ++p) {
    y.debit += Cents(layouts::FieldBytes(r, f.debit.At(p)));
    y.credit += Cents(layouts::FieldBytes(r, f.credit.At(p)));
  }
  y.balance = Cents(layouts::FieldBytes(r, f.openingDebit)) + y.debit -
              Cents(layouts::FieldBytes(r, f.openingCredit)) - y.credit;
  return y;
}

// Compares one file of the previous year with the same file of the working
// (current) year. The carry-forward account takes the results of P&L
// postings into its balance, so only its turnovers are compared.
bool CompareYears(int slot, const CarriedFields& f, int recordLength, std::vector<std::string>& problems) {
  std::string path = YearDirectory(CurrentMandant().previousYear) + "/" + SlotFileName(slot) + ".btr";
  if (!recman::FileExists(path)) return true;  // no previous year on disk to compare with
  if (!OpenPath(path, kSlotScratch)) return false;
  std::vector<char> old(recordLength), now(recordLength);
  std::string resultAccount = CurrentMandant().carryForwardAccount;
  bool found = false;
  bool ok = GetFirstFound(old.data(), found, kSlotScratch);
  while (ok && found) {
    std::string account = layouts::FieldBytes(old.data(), f.account);
    bool inCurrent = false;
    ok = GetEqual(now.data(), KeyValue(account.c_str(), kAccountNoWidth + 1), inCurrent, MakeFileId(slot, 0));
    if (ok && inCurrent) {
      YearFigures y = FiguresOfYear(old.data(), f);
      long long magnitude = Cents(layouts::FieldBytes(now.data(), f.prevBalance));
      long long balance = layouts::GetNumber(now.data(), f.prevSide) == 0 ? magnitude : -magnitude;
      if (Cents(layouts::FieldBytes(now.data(), f.prevDebit)) != y.debit ||
          Cents(layouts::FieldBytes(now.data(), f.prevCredit)) != y.credit)
        problems.push_back("Konto " + account + ": Vorjahresumsätze passen nicht zum Vorjahr");
      if (account != resultAccount && balance != y.balance)
        problems.push_back("Konto " + account + ": Vorjahressaldo passt nicht zum Vorjahr");
    }
    if (ok) ok = GetNextFound(old.data(), found, kSlotScratch);
  }
  CloseSlot(kSlotScratch);
  return ok;
}

}  // namespace

bool CheckCarryForward(std::vector<std::string>& problems) {
  const MandantValues& m = CurrentMandant();
  if (m.previousYear[0] == '\0' || WorkingYear() != m.currentYear) return true;
  namespace s = layouts::sako;
  namespace p = layouts::personal;
  CarriedFields sako{s::kAccountNo,        s::kOpeningDebit,       s::kOpeningCredit,
                     s::kPeriodDebit,      s::kPeriodCredit,       s::kClosingDebit,
                     s::kClosingCredit,    s::kPrevDebitTurnover,  s::kPrevCreditTurnover,
                     s::kPrevClosingBalance, s::kPrevClosingSide};
  CarriedFields personal{p::kAccountNo,        p::kOpeningDebit,       p::kOpeningCredit,
                         p::kPeriodDebit,      p::kPeriodCredit,       p::kClosingDebit,
                         p::kClosingCredit,    p::kPrevDebitTurnover,  p::kPrevCreditTurnover,
                         p::kPrevClosingBalance, p::kPrevClosingSide};
  return CompareYears(kSlotSako, sako, s::kLayout.recordLength, problems) &&
         CompareYears(kSlotDebi, personal, p::kLayout.recordLength, problems) &&
         CompareYears(kSlotKred, personal, p::kLayout.recordLength, problems);
}

bool CheckTotalsAgainstJournal(std::vector<std::string>& problems) {
  problems.clear();
  Totals t;
  if (!SumJournal(t)) return false;
  namespace s = layouts::sako;
  namespace p = layouts::personal;
  Fields sako{s::kAccountNo, s::kPeriodDebit, s::kPeriodCredit, s::kClosingDebit, s::kClosingCredit};
  Fields personal{p::kAccountNo, p::kPeriodDebit, p::kPeriodCredit, p::kClosingDebit, p::kClosingCredit};
  if (!CompareFile(kSlotSako, sako, s::kLayout.recordLength, t, problems) ||
      !CompareFile(kSlotDebi, personal, p::kLayout.recordLength, t, problems) ||
      !CompareFile(kSlotKred, personal, p::kLayout.recordLength, t, problems))
    return false;
  for (const auto& [account, totals] : t)
    problems.push_back("Konto " + account + " steht im Journal, fehlt aber in den Kontendateien");
  return CheckCarryForward(problems);
}

}  // namespace talvera
