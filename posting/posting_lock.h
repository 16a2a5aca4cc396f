// The posting lock ("Buchungssperre") and the posting month. Every path
// that posts (the entry dialogs, batch runs, storno, opening postings,
// imports) asks CheckPostingLock before it hands a booking to the engine.
#pragma once

#include <string_view>

#include "posting/booking_controls.h"

namespace talvera {

// How a date before the lock date is answered: a dialog asks the user
// (message 920, "Nein" refuses); a path without a user (batch run, import)
// refuses the booking with message 785, which names it.
enum class LockAnswer { kAskUser, kRefuse };

// The Mandant's lock date (DDPPYY), empty when none is set.
const char* PostingLockDate();
// Whether a booking dated `date` (DDPPYY) may be posted. `bookingName`
// names the booking in message 785 (e.g. its document number).
CheckResult CheckPostingLock(const char* date, LockAnswer answer, std::string_view bookingName,
                             int control);

// The month chosen in BUCPERIODE, as fiscal period and year index; period 0
// when no month is chosen ("KeinePeri").
struct PostingMonth {
  int period = 0;
  int yearIndex = 0;
  bool chosen() const { return period != 0; }
  // Whether a date (DDPPYY) lies in the month.
  bool Holds(const char* date) const;
};

// The month of a calendar month and year: its fiscal period and the year
// index of the fiscal year it belongs to.
PostingMonth MonthOf(int calendarMonth, int calendarYear);
// The check of BUCPERIODE's "&Ok": a month whose last day lies before the
// lock date is refused (780); a month before today's warns (544, shown
// here) and passes.
CheckResult ChoosePostingMonth(int calendarMonth, int calendarYear, PostingMonth& out);

}  // namespace talvera
