#include "posting/invariants.h"

#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/layouts/bube.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/record_store.h"
#include "posting/posting_state.h"

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
    if (!(flags & posting::kCarryForwardRecord)) {
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

}  // namespace

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
  return true;
}

}  // namespace talvera
