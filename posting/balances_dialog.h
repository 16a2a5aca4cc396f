// "BUCSAL": the current balances of the accounts of a listed booking, the
// debit, credit and tax account, each in the column of its side.
#pragma once

#include <vector>

#include "posting/booking_list.h"
#include "widgets/dialog_kit.h"

namespace talvera {

class BalancesDialog : public TalviDialog {
  Q_OBJECT
 public:
  // `accounts` as read by ReadAccountBalance; `date` as the title shows it.
  BalancesDialog(QWidget* parent, const std::vector<AccountBalanceLine>& accounts, const std::string& date);

 protected:
  bool Confirm() override { return true; }
};

// The balances of the accounts of a list entry; false (message 93) when
// they cannot be read.
bool ReadBookingBalances(const BookingListEntry& entry, std::vector<AccountBalanceLine>& out);

}  // namespace talvera
