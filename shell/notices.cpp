#include "shell/notices.h"

#include <cstdint>
#include <cstring>

#include "core/amount.h"
#include "core/layouts/bat.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "shell/notifier.h"

namespace talvera {
namespace {

using layouts::Field;
using layouts::FieldBytes;
using layouts::GetNumber;

void PutInt(unsigned char* out, long value) {
  std::int32_t v = static_cast<std::int32_t>(value);
  std::memcpy(out, &v, 4);
}

// Copies a text field's bytes, at most width - 1 of them, up to its NUL.
void PutText(unsigned char* out, const void* record, const Field& field, std::size_t width) {
  const char* src = FieldBytes(record, field);
  std::size_t n = 0;
  while (n + 1 < width && n < field.width && src[n]) ++n;
  std::memcpy(out, src, n);
}

// Account numbers travel without their leading blanks.
void PutAccount(unsigned char* out, const void* record, const Field& field) {
  const char* src = FieldBytes(record, field);
  std::size_t start = 0;
  while (start < 7 && src[start] == ' ') ++start;
  std::size_t n = 0;
  while (start + n < 7 && src[start + n]) ++n;
  std::memcpy(out, src + start, n);
}

// Amounts carry their sign in front: 000000012-30 becomes -00000012,30.
void PutSignedAmount(unsigned char* out, const char* amount) {
  char text[kAmountWidth + 1];
  std::memcpy(text, amount, kAmountWidth);
  text[kAmountWidth] = '\0';
  if (text[kAmountSignPos] == '-') {
    text[kAmountSignPos] = ',';
    text[0] = '-';
  }
  std::memcpy(out, text, kAmountWidth);
}

int NoticeKindOfAccount(long kindByte) {
  switch (kindByte) {
    case 2: return 1;  // Sachkonto
    case 4: return 2;  // Kreditor
    case 8: return 4;  // Debitor
    default: return 0;
  }
}

void PutBookingLine(unsigned char* out, const void* booking, int i, RateTextLookup rates) {
  namespace b = layouts::bat;
  namespace l = layouts::bat_line;
  PutAccount(out, booking, b::kLine.In(i, l::kDebitAccount));
  PutInt(out + 8, NoticeKindOfAccount(GetNumber(booking, b::kLine.In(i, l::kDebitKind))));
  PutAccount(out + 12, booking, b::kLine.In(i, l::kCreditAccount));
  PutInt(out + 20, NoticeKindOfAccount(GetNumber(booking, b::kLine.In(i, l::kCreditKind))));
  const char* gross = FieldBytes(booking, b::kLine.In(i, l::kGross));
  PutSignedAmount(out + 24, gross);

  long taxClass = GetNumber(booking, b::kLine.In(i, l::kTaxClass));
  char rate[kRateWidth + 1] = {};
  if (taxClass & (2 | 4 | 8)) {
    int index = static_cast<int>(GetNumber(booking, b::kLine.In(i, l::kRateIndex)));
    // Rate records are kept per class; the input-tax bit 32 is not part of it.
    int rateClass = static_cast<int>(taxClass & ~32L);
    if (!rates || !rates(rateClass, index, rate)) rate[0] = '\0';
  } else if (taxClass != 0) {
    std::memcpy(rate, FieldBytes(booking, b::kLine.In(i, l::kRate)), kRateWidth);
  }
  std::memcpy(out + 37, rate, std::strlen(rate));

  if (GetNumber(booking, b::kLine.In(i, l::kTaxSide)) != 0) {
    AmountText tax;
    AmountSubtract(tax, gross, FieldBytes(booking, b::kLine.In(i, l::kNet)));
    PutSignedAmount(out + 43, tax);
  }
  PutText(out + 56, booking, b::kLine.In(i, l::kCostCentre1), 8);
  PutText(out + 64, booking, b::kLine.In(i, l::kCostCentre2), 8);
  long costKind = GetNumber(booking, b::kLine.In(i, l::kCostCentreKind));
  PutInt(out + 72, costKind == 1 || costKind == 2 ? costKind : 0);
}

// Mandant, account number, short code and name open both account payloads.
void PutAccountHead(unsigned char* out, const void* record, int mandant, const Field& number,
                    const Field& shortCode, const Field& name) {
  PutInt(out, mandant);
  PutAccount(out + 4, record, number);
  PutText(out + 12, record, shortCode, 9);
  PutText(out + 21, record, name, 26);
}

}  // namespace

void BuildSachkontoPayload(const void* sako, int mandant, unsigned char* out) {
  namespace s = layouts::sako;
  std::memset(out, 0, kSachkontoPayloadSize);
  PutAccountHead(out, sako, mandant, s::kAccountNo, s::kShortCode, s::kName);
  PutInt(out + 47, GetNumber(sako, s::kAccountClass));
  PutInt(out + 51, GetNumber(sako, s::kRevenueAccount));
  PutInt(out + 55, GetNumber(sako, s::kCostType));
}

void BuildPersonalPayload(const void* account, int mandant, unsigned char* out) {
  namespace p = layouts::personal;
  std::memset(out, 0, kPersonalPayloadSize);
  PutAccountHead(out, account, mandant, p::kAccountNo, p::kShortCode, p::kName);
  PutText(out + 47, account, p::kNameExtra, 26);
  PutText(out + 73, account, p::kVatId, 16);
  PutText(out + 89, account, p::kCountry, 4);
  PutText(out + 93, account, p::kCurrency, 5);
  PutText(out + 98, account, p::kPostalCode, 7);
  PutText(out + 105, account, p::kTown, 31);
  PutText(out + 136, account, p::kStreet, 31);
  PutText(out + 167, account, p::kBankCode, 9);
  PutText(out + 176, account, p::kBankAccount, 11);
  PutText(out + 187, account, p::kBankName, 28);
  PutAccount(out + 215, account, p::kCounterAccount);
  PutInt(out + 223, GetNumber(account, p::kDiscountDays));
  PutInt(out + 227, GetNumber(account, p::kPaymentDays));
  const char* discount = FieldBytes(account, p::kDiscountPercent);
  std::memcpy(out + 231, discount[0] ? discount : kZeroRate, kRateWidth);
  PutInt(out + 237, GetNumber(account, p::kDunningKey));
}

void BuildBookingPayload(const void* booking, int mandant, RateTextLookup rates,
                         unsigned char* out) {
  namespace b = layouts::bat;
  std::memset(out, 0, kBookingPayloadSize);
  PutInt(out, mandant);
  PutInt(out + 4, GetNumber(booking, b::kBatchNo));
  PutText(out + 8, booking, b::kVoucherDate, 7);
  // The year index becomes the last two digits of the calendar year.
  if (out[12] >= '0' && out[12] <= '9') out[12] = static_cast<unsigned char>('0' + (out[12] - '0' + 8) % 10);
  PutText(out + 15, booking, b::kVoucherNo, 9);
  const char* text = FieldBytes(booking, b::kText);
  std::size_t n = 0;
  while (n < 30 && text[n]) ++n;
  std::memcpy(out + 24, text, n);
  int lines = 0;
  while (lines < b::kLineCount &&
         FieldBytes(booking, b::kLine.In(lines, layouts::bat_line::kDebitAccount))[0] != '\0') {
    PutBookingLine(out + 59 + 84 * lines, booking, lines, rates);
    ++lines;
  }
  PutInt(out + 55, lines);
  out[899] = static_cast<unsigned char>(GetNumber(booking, b::kNoCashBasisTax));
}

void NotifySachkonto(int operation, const void* sakoRecord, int mandant) {
  unsigned char payload[kSachkontoPayloadSize];
  BuildSachkontoPayload(sakoRecord, mandant, payload);
  Notify(operation, kNoticeSachkonto, payload, sizeof payload);
}

void NotifyPersonalAccount(int operation, int kind, const void* personalRecord, int mandant) {
  unsigned char payload[kPersonalPayloadSize];
  BuildPersonalPayload(personalRecord, mandant, payload);
  Notify(operation, kind, payload, sizeof payload);
}

void NotifyBooking(const void* bookingRecord, int mandant, RateTextLookup rates) {
  unsigned char payload[kBookingPayloadSize];
  BuildBookingPayload(bookingRecord, mandant, rates, payload);
  Notify(kNoticeNew, kNoticeBooking, payload, sizeof payload);
}

}  // namespace talvera
