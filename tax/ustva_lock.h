// The posting lock ("Buchungssperre" + the Mandant's suffix in TALVI.INI):
// postings dated before it are refused. Printing a VAT return moves it to
// the first day after the return's period; it never moves back, so printing
// an earlier month after a later one keeps the later lock.
#pragma once

namespace talvera {

// Whether locking before `lockDate` (DDPPYY) would move the stored lock.
bool PostingLockWouldMove(const char* lockDate);
// Stores `lockDate` when it is later than the stored lock; true when it moved.
bool AdvancePostingLock(const char* lockDate);

}  // namespace talvera
