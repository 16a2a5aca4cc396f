// The confirm step of every entry path: the checks in their fixed order,
// each refusal with its message and the control to focus, and the booking
// record (layout of bat) the engine takes.
//
// "&Ok" of an entry dialog, put together from the pieces:
//   CheckBooking(draft, context, record)    refused: ShowRefusal(result), stop
//   pending.Post(startsBooking)             failed: message 62, stop (pending_booking.h)
//   OfferPaymentFollowUps(record, mode)     (payment_followups.h)
//   pending.Keep(record)                    the new booking waits, kept for a restart
//   AddToControlTotal(total, record)
//   IncrementDocumentNumber(number)         with "IncBelnr" (document_number.h)
#pragma once

#include "posting/booking_controls.h"
#include "posting/booking_draft.h"
#include "posting/posting_engine.h"
#include "posting/posting_lock.h"

namespace talvera {

// What the entry path knows beyond the draft.
struct EntryContext {
  PostingMode mode = PostingMode::kOrdinary;
  PostingMonth month;                         // chosen posting month (ordinary mode)
  bool checkLock = false;                     // "KeinePeri": the posting lock instead of a month
  LockAnswer lockAnswer = LockAnswer::kAskUser;
  bool costAccounting = false;                // "KR"
  bool costCentreRequired = false;            // "KostPflicht"
  int listEntries = 0;                        // entries of the dialog's list
  int listFullMessage = 411;                  // the batch dialog's list says 410
};

// Checks the draft and fills `booking` (1327 bytes). The order: free space
// (28), list size (411), document date (6, 7, 8, 84), posting lock (920 or
// 785), posting month (158: the text gets " v." and the typed date once),
// closing date (112, replaced, goes on), document number (22); without a
// split: accounts (22, 33, 35, 30, 770), gross amount (23, 518), currency
// (423, the conversion at the document date), rate (15), tax amount (23,
// 197, 196), rate record and net-side account (92), cost centres (736, 526,
// 750). On refusal the booking record means nothing; the draft keeps its
// input (apart from the 158 text and the 112 date, which the user is to
// see). A booking date in the other open year switches the record store to
// that year, as the engine will.
CheckResult CheckBooking(BookingDraft& draft, const EntryContext& context, void* booking);

// The parts of the checks that every line of a booking runs (the split
// arithmetic uses them for its lines): tax side, class and index of line i
// for the rate (92 when the rate record or the net-side Sachkonto is
// missing), with the tax account the list shows; the cost centres (736,
// 526, 750) and their kind byte.
CheckResult CheckLineTax(void* booking, int i, const TaxProposal& proposal, const char* date,
                         const AccountRef& debit, const AccountRef& credit, const char* rate);
CheckResult CheckLineCostCentres(void* booking, int i, const std::string& costCentre1,
                                 const std::string& costCentre2, int kind,
                                 const EntryContext& context, const AccountRef& debit,
                                 const AccountRef& credit);

// Adds a confirmed booking to the control total (an AmountText): the home
// amount of a currency booking, else the gross amounts of its lines.
bool AddToControlTotal(char* total, const void* booking);

}  // namespace talvera
