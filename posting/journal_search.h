// Reading the posting journal for lists: its records as lines, scans of a
// date range in key order, and the search for bookings by date, document
// number, accounts and gross amount that the posting list and the storno
// share. Every read goes by the most selective key there is.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/period_date.h"

namespace talvera {

// One journal record, its texts in Windows-1252 as stored.
struct JournalLine {
  std::string key;            // journal key YYPPDDnnnn
  std::string postingDate;    // DDPPYY
  std::string voucherNo;
  std::string voucherDate;    // DDPPYY
  std::string text;
  std::string debitAccount, creditAccount, taxAccount;  // "   1000" or empty
  long long debit = 0, credit = 0, tax = 0;             // cents
  unsigned flags = 0;         // journal flags
  unsigned taxSide = 0;       // tax-side flags
  long postingNo = 0;
  // An opening posting (Eröffnungsbuchung): it moves the opening balance of
  // its account and only the carry-forward account's period totals. Other
  // flag-2 records are carry-forward records that move no period totals.
  bool openingPosting = false;

  // The booking's gross amount on this line: the side that does not carry
  // the net amount.
  long long Gross() const;
  bool StartsBooking() const;
  bool IsCollectiveRecord() const;
  bool TaxOnDebitSide() const;   // input tax (Vorsteuer)
  bool TaxOnCreditSide() const;  // output tax (Umsatzsteuer)
  // Further records of the booking this line starts.
  int FurtherRecords() const;
};

bool ReadJournalLine(const void* record, JournalLine& out);

// The records whose posting dates lie from `first` to `last` (DDPPYY, one
// fiscal year), in journal-key order: one scan of the key range. Stops
// when visit returns false. False when the store failed (reported).
bool ForEachJournalLine(const char* first, const char* last,
                        const std::function<bool(const JournalLine&)>& visit);

// The same range in the order of the document dates, whose records are
// found by their document date within `first`..`last` among the records of
// that fiscal year. Keeps only the keys while it sorts.
bool ForEachJournalLineByDocumentDate(const char* first, const char* last,
                                      const std::function<bool(const JournalLine&)>& visit);

// What the posting list searches for; an empty field is no condition.
struct JournalFilter {
  std::string firstDate, lastDate;  // DDPPYY
  std::string voucherPrefix;        // the document number begins with it
  std::string debitAccount;         // "   1000"
  std::string creditAccount;
  std::string gross;                // amount text "000000115,00"
};

// A booking: its journal records in key order (collective-account records
// included).
struct JournalBooking {
  std::vector<JournalLine> lines;
};

// The bookings that match every given condition: a record of the booking
// lies in the date range, begins with the document number and has the two
// accounts; "gross" holds when any line of the booking has that gross
// amount. At most `limit` bookings; `more` tells whether further ones
// would have matched. False when the store failed (reported).
bool FindBookings(const JournalFilter& filter, std::size_t limit,
                  std::vector<JournalBooking>& out, bool& more);

// One line of a booking list (tab-separated, Windows-1252): posting date,
// document number, debit and credit account ("Split" when the lines differ),
// gross amount of the booking, text.
std::string BookingListLine(const JournalBooking& booking);

}  // namespace talvera
