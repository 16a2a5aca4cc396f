// Account totals: the period totals, counts and posting dates of Sachkonten,
// Kreditoren and Debitoren, and the period amounts of cost centres.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/account_lookup.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "posting/posting_state.h"

namespace talvera {

namespace posting {

EngineOptions& Options() {
  static EngineOptions options;
  return options;
}

int SlotOfKind(int kind) {
  switch (kind) {
    case kSachkonto: return kSlotSako;
    case kKreditor: return kSlotKred;
    case kDebitor: return kSlotDebi;
    default: return -1;
  }
}

bool ReadAccount(int kind, const char* number, void* record, bool& found) {
  found = false;
  int slot = SlotOfKind(kind);
  if (slot < 0) return true;
  return GetEqual(record, KeyValue(number, kAccountNoWidth + 1), found, MakeFileId(slot, 0));
}

bool SachkontoType(const char* number, int& type) {
  type = 0;
  char r[layouts::sako::kLayout.recordLength];
  bool found = false;
  if (!ReadAccount(kSachkonto, number, r, found)) return false;
  if (found) type = static_cast<int>(layouts::GetNumber(r, layouts::sako::kAccountClass));
  return true;
}

void NotifyBalanceChange(const char* account, unsigned periodMask) {
  // A copy: a listener may add or remove listeners.
  for (BalanceChangeListener listener : std::vector(Options().balanceListeners)) listener(account, periodMask);
}

int PeriodOf(const char* date) {
  if (!date || std::strlen(date) < 4) return 1;
  int p = (date[2] - '0') * 10 + (date[3] - '0');
  return p >= 1 && p <= 12 ? p : 1;
}

bool ReadExistingAccount(int kind, const char* number, void* record) {
  bool found = false;
  if (SlotOfKind(kind) < 0 || !ReadAccount(kind, number, record, found)) return false;
  if (!found) ReportMissingAccount(number);
  return found;
}

void ReportMissingAccount(const char* account) {
  std::string number(account);
  number.erase(0, number.find_first_not_of(' ') == std::string::npos ? number.size()
                                                                      : number.find_first_not_of(' '));
  ShowMessage(kMessageAccountMissing, 0, number);
}

}  // namespace posting

using namespace posting;

namespace {

// The fields UpdateAccountTotals touches, for the two account layouts.
struct TotalsFields {
  layouts::Field shortCode, unposted, lastPosting, closingDebit, closingCredit, periodDebit,
      periodCredit, postingCount;
};

TotalsFields FieldsOf(int kind) {
  if (kind == kSachkonto) {
    namespace s = layouts::sako;
    return {s::kShortCode,     s::kUnposted,    s::kLastPostingDate, s::kClosingDebit,
            s::kClosingCredit, s::kPeriodDebit, s::kPeriodCredit,    s::kPostingCount};
  }
  namespace p = layouts::personal;
  return {p::kShortCode,     p::kUnposted,    p::kLastPostingDate, p::kClosingDebit,
          p::kClosingCredit, p::kPeriodDebit, p::kPeriodCredit,    p::kPostingCount};
}

}  // namespace

bool UpdateAccountTotals(const char* account, int kind, int side, const char* amount,
                         const char* postingDate, char* shortCodeOut, int* accountTypeOut,
                         bool countPosting) {
  if (!account || account[0] == '\0') return true;
  if (kind == 0) {
    AccountKind found;
    if (!LookUpAccount(account, found)) return false;
    kind = found;
  }
  char record[layouts::personal::kLayout.recordLength];  // the longer of the two layouts
  if (!ReadExistingAccount(kind, account, record)) return false;
  TotalsFields f = FieldsOf(kind);
  int m = PeriodOf(postingDate);
  layouts::SetNumber(record, f.unposted, 0);
  char* last = layouts::FieldBytes(record, f.lastPosting);
  if (CompareDates(postingDate, last)) layouts::SetRawText(record, f.lastPosting, postingDate);
  if (kind == kSachkonto) {
    const char* first = layouts::FieldBytes(record, layouts::sako::kFirstPostingDate);
    if (first[0] == '\0' || CompareDates(first, postingDate))
      layouts::SetRawText(record, layouts::sako::kFirstPostingDate, postingDate);
  }
  layouts::Field target = Options().mode == PostingMode::kClosing
                              ? (side == 0 ? f.closingDebit : f.closingCredit)
                              : (side == 0 ? f.periodDebit : f.periodCredit).At(m - 1);
  if (kind != kSachkonto || countPosting) {
    layouts::Field count = f.postingCount.At(m - 1);
    layouts::SetNumber(record, count, layouts::GetNumber(record, count) + 1);
  }
  if (!AmountAddInPlace(layouts::FieldBytes(record, target), amount)) {
    ShowMessage(kMessageSumOverflow);
    return false;
  }
  if (shortCodeOut) CopyLimited(shortCodeOut, layouts::FieldBytes(record, f.shortCode), 10);
  if (accountTypeOut)
    *accountTypeOut = kind == kSachkonto
                          ? static_cast<int>(layouts::GetNumber(record, layouts::sako::kAccountClass))
                          : 0;
  if (!Update(record, MakeFileId(SlotOfKind(kind), 0))) return false;
  NotifyBalanceChange(account, (1u << m) | (1u << 13));
  return true;
}

bool PostCostCentre(const char* costCentre, const char* documentDate, const char* netAmount,
                    bool subtract) {
  namespace kore = layouts::kore;
  if (!costCentre || costCentre[0] == '\0') return true;
  char record[kore::kLayout.recordLength];
  bool found = false;
  if (!GetEqual(record, KeyValue(costCentre, kAccountNoWidth + 1), found, kSlotKore)) return false;
  if (!found) {
    ReportMissingAccount(costCentre);
    return false;
  }
  char* target = layouts::FieldBytes(record, kore::kPeriodAmount.At(PeriodOf(documentDate) - 1));
  AmountText amount;
  CopyLimited(amount, netAmount, sizeof amount);
  if (subtract) AmountNegate(amount);
  if (!AmountAddInPlace(target, amount)) {
    ShowMessage(kMessageSumOverflow);
    return false;
  }
  layouts::SetNumber(record, kore::kUnposted, 0);
  return Update(record, kSlotKore);
}

void SetPostingMode(PostingMode mode) { Options().mode = mode; }
PostingMode CurrentPostingMode() { return Options().mode; }
void SetSuppressCollectiveRecords(bool suppress) { Options().suppressCollectiveRecords = suppress; }
void SetPostingFromBatch(bool fromBatch) { Options().fromBatch = fromBatch; }
void SetBalanceChangeListener(BalanceChangeListener listener) {
  Options().balanceListeners.clear();
  if (listener) Options().balanceListeners.push_back(listener);
}
void AddBalanceChangeListener(BalanceChangeListener listener) {
  std::vector<BalanceChangeListener>& all = Options().balanceListeners;
  if (listener && std::find(all.begin(), all.end(), listener) == all.end()) all.push_back(listener);
}
void RemoveBalanceChangeListener(BalanceChangeListener listener) {
  std::vector<BalanceChangeListener>& all = Options().balanceListeners;
  all.erase(std::remove(all.begin(), all.end(), listener), all.end());
}
void SetBookingListener(BookingListener listener) { Options().bookingListener = listener; }

}  // namespace talvera
