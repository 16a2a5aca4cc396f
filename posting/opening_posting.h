// Opening postings (Eröffnungsbuchungen): balances taken over from earlier
// records into the opening balances. Each entry is one journal record of the
// account against the carry-forward account, marked as an opening posting
// (layouts::bube::IsOpeningPosting).
#pragma once

#include <string>

namespace talvera {

struct OpeningEntry {
  std::string date;     // document and posting date (DDMMYY, year from 1980)
  std::string account;  // right-aligned account number
  int kind = 0;         // 2 Sachkonto, 4 Kreditor, 8 Debitor
  int side = 0;         // side of the account: 0 debit, 1 credit
  std::string amount;   // home currency, not zero
  std::string text;     // the user's text; the record's text is "EB " + text
};

// Posts one entry in one transaction: the journal record, the carry-forward
// account's period total on the other side, the account's opening balance,
// for a Debitor or Kreditor its open item "EB", the collective-account
// record and the collective account's opening balance; when the date lies
// in the previous year, the carry-forward into the current year as well.
// Failures are shown (83 outside the open years) and leave the books as
// they were.
bool PostOpeningEntry(const OpeningEntry& entry);

// An entry waits in the opening-postings dialog as a booking record (layout
// of bat): document number "EB", the account on its side of line 0 against
// the carry-forward account, the amount as gross. Its recovery records carry
// a batch number of their own, so that only that dialog offers them again.
constexpr int kOpeningRecoveryBatch = -5;
void OpeningEntryToBooking(const OpeningEntry& entry, void* booking);
OpeningEntry OpeningEntryOfBooking(const void* booking);
// Posts a waiting entry (the pending booking's way of posting it).
bool PostOpeningBooking(void* booking, bool startsBooking, long* postingNumber);

}  // namespace talvera
