// Posting a batch: the run over all its bookings ("&Übernehmen") and the
// posting of one booking ("&Verbuchen").
//
// Each booking is posted by the engine and, in the same transaction,
// removed from the batch or, in a recurring batch, rewritten one period
// later. A crash at any point therefore leaves every booking either posted
// and gone (or moved on) or unposted and where it was: a run started again
// never posts a booking twice and never loses one.
#pragma once

namespace talvera {

// Follows a run; the progress window is one.
class BatchRunObserver {
 public:
  virtual ~BatchRunObserver() = default;
  // The run starts over `total` bookings.
  virtual void Started(int total) = 0;
  // `posted` bookings are posted so far; false stops the run after it.
  virtual bool Posted(int posted) = 0;
};

struct BatchRunResult {
  bool started = false;  // false: the header is missing (436) or the store failed
  int posted = 0;        // bookings posted by the run
  bool failed = false;   // stopped at a booking that could not be posted (41 shown)
  bool stopped = false;  // the observer stopped it
  int remaining = 0;     // bookings left in an ordinary batch afterwards
};

// Posts the bookings of `batch` in record-id order, leaving out `keepId`
// (a booking taken back for correction, 0 for none). Every booking must
// lie on or after the posting lock date (else message 785 names it) and
// the engine must take it; the first that fails stops the run with message
// 41 and stays in the batch with all after it. A booking dated like one
// posted earlier in the same run continues its booking (startsBooking
// false), except in a recurring batch. A recurring booking whose date
// cannot move on is posted all the same and named by message 702. Over
// batch 15 the open-item card is switched off while the run lasts, in
// memory only. Afterwards the working year is the one selected before.
BatchRunResult TakeOverBatch(int batch, long keepId, BatchRunObserver* observer);

// Posts the batch booking with record id `id` and removes it from its
// batch in the same transaction. False after message 62 (the booking is
// gone, refused by the posting lock or by the engine).
bool PostBatchBooking(long id);

}  // namespace talvera
