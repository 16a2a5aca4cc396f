// The payloads of the notices to dependent applications, built from the
// records they report: a Sachkonto, a Kreditor or Debitor, or a booking.
#pragma once

#include <cstddef>

namespace talvera {

constexpr std::size_t kSachkontoPayloadSize = 59;
constexpr std::size_t kPersonalPayloadSize = 305;
constexpr std::size_t kBookingPayloadSize = 900;

// Rate text ("16,00") of the rate record of a tax class and index valid for
// the booking; false when there is none.
using RateTextLookup = bool (*)(int taxClass, int rateIndex, char* rateOut);

void BuildSachkontoPayload(const void* sakoRecord, int mandant, unsigned char* out);
void BuildPersonalPayload(const void* personalRecord, int mandant, unsigned char* out);
void BuildBookingPayload(const void* bookingRecord, int mandant, RateTextLookup rates,
                         unsigned char* out);

// Builds the payload and hands the notice to the notifier.
void NotifySachkonto(int operation, const void* sakoRecord, int mandant);
// kind: kNoticeKreditor or kNoticeDebitor.
void NotifyPersonalAccount(int operation, int kind, const void* personalRecord, int mandant);
void NotifyBooking(const void* bookingRecord, int mandant, RateTextLookup rates);

}  // namespace talvera
