// Storno of a posted booking: a new booking of the same accounts and sides
// with the amounts negated, posted through the engine in the mode of the
// cancelled booking. The posting lock is the caller's question (920).
#pragma once

#include <string>
#include <vector>

#include "posting/journal_search.h"

namespace talvera {

enum class StornoResult { kPosted, kAlreadyCancelled, kHasPayments, kFailed };

// Cancels the booking whose first journal record has `postingNumber`, in
// the working year. stornoDate (DDPPYY) empty: the booking's own dates.
// The cancelled booking's first record is marked in the storno's
// transaction, so a booking is cancelled once. The open items of Debitoren
// and Kreditoren that the booking created are deleted in the same
// transaction; one that has payments refuses the storno. Refusals and
// failures are shown.
StornoResult CancelBooking(long postingNumber, const std::string& stornoDate);

// "S&tornieren" over the selected bookings (as the journal search found
// them): nothing selected gives message 715; a booking whose date used
// (the storno date, else its own) lies before the posting lock asks 920,
// and "Nein" skips it; every other booking goes to CancelBooking.
struct StornoRun {
  int posted = 0, skipped = 0, failed = 0;
};
StornoRun CancelSelectedBookings(const std::vector<JournalBooking>& selected, const std::string& stornoDate);

}  // namespace talvera
