#include "posting/batch_target.h"

#include "core/layouts/bat.h"
#include "core/layouts/stapel.h"
#include "core/message.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;

constexpr int kMessageCannotPost = 62;
constexpr int kMessageTaxReclassification = 525;
constexpr int kMessageSettlementStays = 771;

}  // namespace

BookingListEntry EntryOfBatchBooking(const void* booking) {
  BookingListEntry e = EntryOfBooking(booking);
  e.pending = false;
  e.recordId = BatchBookingId(booking);
  return e;
}

bool BatchTarget::Keep(const void* booking) {
  long id = 0;
  if (!StoreBatchBooking(batch_, booking, marked_, id)) return false;
  marked_ = 0;
  BatchRecord stored;
  bool found = false;
  if (ReadBatchBooking(id, stored, found) && found) {
    last_ = std::move(stored);
  } else {
    last_.assign(static_cast<const char*>(booking), static_cast<const char*>(booking) + bat::kLayout.recordLength);
    layouts::SetNumber(last_.data(), bat::kId, id);
  }
  return true;
}

BookingListEntry BatchTarget::KeptEntry() const { return EntryOfBatchBooking(last_.data()); }

bool BatchTarget::TakeBackBooking(long id, std::vector<char>& out) {
  BatchRecord r;
  bool found = false;
  if (!ReadBatchBooking(id, r, found)) return false;
  if (!found) {
    ShowMessage(kMessageCannotPost);
    return false;
  }
  // Its open items are settled already: changed, they would no longer
  // agree with the personal account.
  if (layouts::GetNumber(r.data(), bat::kNoOpenItem) != 0) {
    ShowMessage(kMessageSettlementStays);
    return false;
  }
  if (batch_ == layouts::stapel::kDebitorSettlementBatch &&
      layouts::FieldBytes(r.data(), bat::kSettlementReference)[0] != '\0')
    ShowMessage(kMessageTaxReclassification);
  out = std::move(r);
  marked_ = id;
  return true;
}

}  // namespace talvera
