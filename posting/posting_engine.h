// The posting engine: every way a booking is entered ends here.
//
// A booking is one record in the layout of the batch file (bat): header
// fields and up to ten lines. PostBooking writes its journal records into
// bube, adds the amounts to the period totals of every account touched
// (Sachkonten, Kreditoren, Debitoren, tax accounts and the collective
// accounts of receivables and payables), posts cost centres, writes the
// reverse-charge record, an attached bank transfer and the open items, and
// afterwards carries a previous-year booking into the current year.
//
// Invariants the engine keeps:
//  1. A booking is wholly in the books or not at all: its journal records,
//     the account totals, the cost centres, the reverse-charge records, an
//     attached transfer, its open items and, for a booking dated in the
//     previous year, its carry-forward into the current year run in one
//     record-store transaction and commit together (one durable commit).
//     Both years are write-locked when that transaction begins. The
//     WINISAM/TRANSAUS setting of WIN.INI does not change this.
//  2. The stored period totals of every account equal the sums of the
//     journal records of that account and period, and the current year's
//     previous-year figures of every account equal the previous year's
//     figures (CheckTotalsAgainstJournal, CheckCarryForward).
//  3. The rates in force are the same after a call as before it.
//  4. The one part that may fail without failing the booking is the
//     writing of its open items: the failure is shown (messages 768, 150),
//     the remaining lines get no open items, and the booking commits
//     without them. Every other failure takes the whole booking back.
#pragma once

namespace talvera {

// Set by the command that opens a posting dialog.
enum class PostingMode { kOrdinary, kClosing, kReclassification };
void SetPostingMode(PostingMode mode);
PostingMode CurrentPostingMode();

// Options of the callers: the import may suppress collective-account
// records; batch posting words the missing-tax message differently.
void SetSuppressCollectiveRecords(bool suppress);
void SetPostingFromBatch(bool fromBatch);

// Posts one booking record (layout of bat; the record is changed: resolved
// tax classes and indexes, home-currency amounts). `startsBooking` marks
// line 0 as the first record of a new booking. postingNumber, when given,
// receives the posting number of line 0's journal record.
bool PostBooking(void* booking, bool startsBooking, long* postingNumber = nullptr);

// The deduction accounts ("Ab" + 0..5) the open items of the booking would
// use and the settings leave empty, as bits (bit i: "Ab" + i); 0 when the
// booking makes no open items or would be refused anyway. Reads only. The
// posting itself shows message 768 and commits the booking without its
// open items (invariant 4): a caller that must not lose them asks first.
unsigned MissingDeductionAccounts(const void* booking);

// Adds `amount` to the account's total of the posting date's period and
// side (0 debit, 1 credit). kind 0: looked up. Outputs may be null.
bool UpdateAccountTotals(const char* account, int kind, int side, const char* amount,
                         const char* postingDate, char* shortCodeOut, int* accountTypeOut,
                         bool countPosting);
// The next journal key of the posting date's day (YYPPDDnnnn).
bool NextJournalKey(const char* postingDate, char* keyOut);
bool PostCostCentre(const char* costCentre, const char* documentDate, const char* netAmount,
                    bool subtract);
// Whether the account occurs in an earlier record of the booking that the
// journal key belongs to.
bool AlreadyCounted(const char* account, const char* journalKey, bool& counted);

// Notifications after postings; both are harmless when nothing listens.
// periodMask: bit 0 opening balance, bit p fiscal period p, bit 13 year total.
// Every listener hears every change, in the order they were added; the
// calls come while the posting's transaction is still open, so a listener
// that reads the books should do so once the posting is done.
using BalanceChangeListener = void (*)(const char* account, unsigned periodMask);
void AddBalanceChangeListener(BalanceChangeListener listener);  // once, however often added
void RemoveBalanceChangeListener(BalanceChangeListener listener);
// Replaces all listeners by this one (none for nullptr).
void SetBalanceChangeListener(BalanceChangeListener listener);
// A posted booking that settles no open item.
using BookingListener = void (*)(const void* booking);
void SetBookingListener(BookingListener listener);

}  // namespace talvera
