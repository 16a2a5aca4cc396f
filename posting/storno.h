// Storno of a posted booking: a new booking of the same accounts and sides
// with the amounts negated, posted through the engine in the mode of the
// cancelled booking. The posting lock is the caller's question (920).
#pragma once

#include <string>

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

}  // namespace talvera
