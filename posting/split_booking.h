// Split bookings: one account on one side and up to ten accounts on the
// other ("HABENSPLITBUCHUNG": one debit account, many credit accounts;
// "SOLLSPLITBUCHUNG": many debit accounts, one credit account). The lines
// are collected here; Finish turns them into the lines of the entry
// dialog's booking record.
#pragma once

#include <string>
#include <vector>

#include "posting/booking_checks.h"

namespace talvera {

// Control ids of the split dialog (SPLIT_1N / SPLIT_N1).
namespace split_dialog {
enum : int {
  kFixedAccount = 501,
  kFixedGross = 502,
  kAccount = 503,
  kGrossChoice = 504,
  kNetChoice = 505,
  kAmount = 506,
  kRate = 507,
  kTax = 508,
  kCostCentre1 = 509,
  kCostCentre2 = 510,
  kFixed = 511,
  kVariable = 512,
  kList = 513,
  kSum = 514,
  kTakeOver = 515,
  kTakeBack = 516,
  kDiscard = 517,
};
}  // namespace split_dialog

enum class SplitKind : int { kOneDebitManyCredit = 0x80, kManyDebitsOneCredit = 0x100 };

// One line as typed in the split dialog.
struct SplitLineInput {
  std::string account;        // the other side's account: number or short code
  std::string amount;         // gross or net, as amountIsNet says
  bool amountIsNet = false;
  std::string rate;           // empty: proposed from the accounts
  std::string tax;            // empty: computed from the rate
  std::string costCentre1, costCentre2;
  int costCentreKind = 1;     // 1 "fix", 2 "variabel"
};

class SplitBooking {
 public:
  static constexpr int kMaxLines = 10;

  // The fixed side: its account as typed, its gross amount (as typed, the
  // amount of the entry dialog) and the document date (DDPPYY).
  SplitBooking(SplitKind kind, std::string fixedAccount, std::string fixedGross,
               std::string documentDate, EntryContext context = {});

  // "&Übernehmen": checks a line (143, 33, 35, 147, 23, 518, 15, 193, 196,
  // 736, 526, 750, 92) and adds it.
  CheckResult AddLine(const SplitLineInput& input);
  // "&Rückgängig": removes line i.
  bool RemoveLine(int i);

  int lineCount() const { return lines_; }
  // "Summe :", the sum of the lines' gross amounts.
  const char* sum() const { return sum_; }
  // The difference between the fixed side and the sum: the proposal for the
  // next line's amount.
  void Remaining(char* out) const;
  // Line i's fields (layout of a booking line) for the list.
  const void* record() const { return record_.data(); }

  // "&Ok": at least one line (145); the sums must agree, a difference of
  // exactly 0,01 going to the first taxed line with the largest gross
  // amount (else 144); Debitoren and Kreditoren not together (776). Fills
  // the lines and the split kind of `booking` (1327 bytes, its header is
  // left alone) for the entry dialog's draft.
  CheckResult Finish(void* booking);

 private:
  CheckResult CheckFixedAccount(AccountRef& fixed) const;
  void Recount();

  SplitKind kind_;
  std::string fixedAccount_, fixedGross_, documentDate_;
  EntryContext context_;
  std::vector<char> record_;  // a booking record holding the lines
  int lines_ = 0;
  AmountText sum_ = "000000000,00";
};

}  // namespace talvera
