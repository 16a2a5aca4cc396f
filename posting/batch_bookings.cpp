#include "posting/batch_bookings.h"

#include <algorithm>

#include "core/layouts/bat.h"
#include "core/message.h"
#include "core/record_store.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;

constexpr FileId kById = MakeFileId(kSlotBat, 0);
constexpr FileId kByBatch = MakeFileId(kSlotBat, 1);

constexpr char kOriginalGoneText[] =
    "Die zurückgenommene Buchung ist nicht mehr im Stapel, sie wurde inzwischen verbucht. "
    "Die korrigierte Buchung wird nicht gespeichert.";

// Deletes the original (when one is replaced) and inserts the new record
// in one transaction; gone: the original was no longer there.
bool StoreInOneTransaction(BatchRecord& r, long replaceId, bool& gone) {
  StoreTransaction transaction;
  if (!transaction.began()) return false;
  if (replaceId != 0) {
    BatchRecord original;
    bool found = false;
    if (!ReadBatchBooking(replaceId, original, found)) return false;
    gone = !found;
    if (gone || !Delete(kSlotBat)) return false;
  }
  return Insert(r.data(), kById) && transaction.Commit();
}

}  // namespace

long BatchBookingId(const void* booking) { return layouts::GetNumber(booking, bat::kId); }

bool ListBatchBookings(int batch, std::vector<BatchRecord>& out) {
  out.clear();
  SlotKeptOpen open(kSlotBat);
  if (!open.ok()) return false;
  BatchRecord r(bat::kLayout.recordLength);
  layouts::SetNumber(r.data(), bat::kBatchNo, batch);
  bool found = false;
  if (!GetGreaterOrEqualFound(r.data(), KeyValue(r.data(), 4), found, kByBatch)) return false;
  while (found && layouts::GetNumber(r.data(), bat::kBatchNo) == batch) {
    out.push_back(r);
    if (!GetNextFound(r.data(), found, kByBatch)) return false;
  }
  // Records of one batch come in insertion order; the id says the order
  // they were confirmed in also after a rewrite.
  std::stable_sort(out.begin(), out.end(), [](const BatchRecord& a, const BatchRecord& b) {
    return BatchBookingId(a.data()) < BatchBookingId(b.data());
  });
  return true;
}

bool ReadBatchBooking(long id, BatchRecord& out, bool& found) {
  SlotKeptOpen open(kSlotBat);
  if (!open.ok()) return false;
  out.assign(bat::kLayout.recordLength, '\0');
  layouts::SetNumber(out.data(), bat::kId, id);
  return GetEqual(out.data(), KeyValue(out.data() + bat::kId.offset, 4), found, kById);
}

bool StoreBatchBooking(int batch, const void* booking, long replaceId, long& newId) {
  newId = 0;
  SlotKeptOpen open(kSlotBat);
  if (!open.ok()) return false;
  BatchRecord r(static_cast<const char*>(booking), static_cast<const char*>(booking) + bat::kLayout.recordLength);
  layouts::SetNumber(r.data(), bat::kBatchNo, batch);
  layouts::SetNumber(r.data(), bat::kId, 0);
  layouts::SetText(r.data(), bat::kRecoveryOwner, "");
  bool gone = false;
  if (!StoreInOneTransaction(r, replaceId, gone)) {
    // Told after the transaction has ended.
    if (gone) ShowTextBox(kOriginalGoneText, kProductName, BoxStyle::kExclamationOk);
    return false;
  }
  newId = BatchBookingId(r.data());
  return true;
}

}  // namespace talvera
