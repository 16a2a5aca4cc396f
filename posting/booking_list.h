// The list of the entry dialog: one entry per booking, one row per record
// of the booking (collective-account records left out), as texts ready to
// show. The bookings already posted in the chosen month come first, then
// the bookings of this dialog; the last may be pending.
#pragma once

#include <string>
#include <vector>

#include "posting/posting_lock.h"

namespace talvera {

struct BookingListRow {
  std::string date, voucher, debit, credit, taxAccount, gross, tax, text;  // UTF-8
};

struct BookingListEntry {
  long postingNumber = 0;  // of the booking's first journal record; 0 while pending
  long recordId = 0;       // a batch booking's record id in bat; 0 otherwise
  bool pending = false;
  bool fromThisDialog = false;
  std::string voucherDate;  // DDPPYY
  std::vector<BookingListRow> rows;
};

// The bookings posted in the month (by posting date), in journal order.
// False when the store failed (reported).
bool LoadMonthBookings(const PostingMonth& month, std::vector<BookingListEntry>& out);

// The entry of a confirmed booking record (layout of bat), as it waits.
BookingListEntry EntryOfBooking(const void* booking);

// An account with its name and current balance ("1.234,50 S"), for the
// balances of a listed booking. found = false for an unknown account.
struct AccountBalanceLine {
  std::string number, name, balance;
  char side = 0;  // 'S' or 'H', 0 for a settled account
  bool found = false;
};
bool ReadAccountBalance(const std::string& number, AccountBalanceLine& out);

}  // namespace talvera
