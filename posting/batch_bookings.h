// The bookings of a batch: records of bat (the booking-record layout the
// engine takes) carrying the batch's number, in record-id order, which is
// the order they were confirmed in.
#pragma once

#include <vector>

namespace talvera {

// Most bookings a batch dialog lists.
constexpr int kMaxBatchBookings = 5000;

using BatchRecord = std::vector<char>;

// The record id of a batch booking.
long BatchBookingId(const void* booking);

// Every booking of the batch in record-id order; false when the store
// failed (reported).
bool ListBatchBookings(int batch, std::vector<BatchRecord>& out);
// The booking with record id `id`; found = false when it is gone.
bool ReadBatchBooking(long id, BatchRecord& out, bool& found);

// Stores a confirmed booking at the end of the batch; newId receives its
// record id. With replaceId, the booking taken back for correction, the
// original leaves the batch in the same transaction: the batch holds the
// one or the other, never both and never neither. False (nothing changed)
// after a reported failure, also when the original is gone.
bool StoreBatchBooking(int batch, const void* booking, long replaceId, long& newId);

}  // namespace talvera
