// The checks of the new-account and change dialogs of Sachkonten,
// Debitoren, Kreditoren and cost centres, without the screen. A check reads
// the typed texts through DialogFields and the choices (radio buttons,
// check boxes, the selected rate line) from a plain structure; every
// refusal is shown with its message and focuses its control, in the order
// the dialogs check, and the first one ends the check. A successful check
// fills a whole record of the account's layout; nothing is written, and no
// transaction is open while a message is up.
#pragma once

#include <iterator>
#include <string>
#include <vector>

#include "core/dialog_fields.h"

namespace talvera {

// Control ids of the account dialogs (SAKTONEU/SAKTOAEN, DEBINEU/...,
// KREDNEU/..., KOSTNEU/KOSTAEN): one set for all, so the checks and the
// dialogs agree.
namespace kontoneu {
enum : int {
  kNumber = 101, kShortCode, kOpeningDate, kName,
  kRateList = 111, kRatePercent, kUstvaKey, kCostCentre1, kCostCentre2,
  kPrevDebit = 121, kPrevCredit, kPrevBalance,
  kCounterAccount = 131, kSupplement, kStreet, kPostalCode, kTown, kCountry, kCurrency, kVatId,
  kBankCode = 141, kBankAccount, kBankName, kPaymentReference,
  kDiscountDays = 151, kDiscountPercent, kPaymentDays,
};
}

// What is chosen rather than typed.
struct AccountChoices {
  int accountClass = 0;     // Sachkonto: 2 asset, 4 liability, 8 P&L, 0 none
  bool taxFree = true;      // "nicht steuerpflichtig"
  int rateLine = -1;        // selected line of the rate list, -1 for none
  bool inputTax = false;    // "Vorsteuer"
  bool fixedAsset = false;  // "Datev-AM/AV"
  bool revenue = false;     // "Umsatzerlöse"
  bool costType = false;    // "Kostenart"
  int costBehaviour = 1;    // 1 "fix", 2 "variabel"
  int prevSide = 0;         // 0 "Soll", 1 "Haben"
  bool contractProcessing = false;  // "Lohnveredelung"
  bool dunning = true;      // Debitoren: "mahnen"
};

// The account being changed, or none for a new one. Its record is the
// starting point; number and posted state are taken from it.
struct AccountBase {
  const void* record = nullptr;
};

// Sachkonto: fills a sako record. `previousYearOpening` is set when the
// opening date lies in the previous fiscal year.
bool CheckSachkonto(DialogFields& d, const AccountChoices& c, AccountBase base, void* record,
                    bool& previousYearOpening);
// Debitor (`debitor` true) or Kreditor: fills a personal-account record.
bool CheckPersonalAccount(DialogFields& d, const AccountChoices& c, bool debitor, AccountBase base,
                          void* record, bool& previousYearOpening);
// Cost centre: fills a kore record.
bool CheckCostCentre(DialogFields& d, AccountBase base, void* record);

// The quick new account (KTONEU) of the posting dialog: number and short
// code of the kind in `file` (0 Sachkonto, 1 Debitor, 2 Kreditor, 3 cost
// centre), before the full new-account dialog opens with them.
bool CheckQuickAccount(DialogFields& d, int file);

// Tax-key class of each line of the rate list (1: tax owed by the
// recipient under § 13b UStG).
inline constexpr int kRateLineClasses[] = {2, 4, 16, 128, 8, 1};
inline constexpr int kRateLineCount = static_cast<int>(std::size(kRateLineClasses));
// The other, EC and § 13b lines carry the account's own rate.
inline constexpr bool RateLineHasOwnRate(int line) {
  return line >= 0 && line < kRateLineCount &&
         (kRateLineClasses[line] == 16 || kRateLineClasses[line] == 128 || kRateLineClasses[line] == 1);
}

inline constexpr int kLongestShortCode = 8;

}  // namespace talvera
