// Amounts as fixed-width decimal text.
//
// An amount is 12 characters and a NUL:
//   0..8   nine integer digits, zero-filled on the left
//   9      sign position: ',' for zero and positive values, '-' for negative
//          ones (the minus stands in place of the decimal comma)
//   10..11 two decimals
// so 1.234,50 is "000001234,50" and -12,30 is "000000012-30". Rates
// ("16,00", width 5) and small values ("0,00", width 4) follow the same
// scheme with fewer integer digits.
//
// Bookkeeping arithmetic works digit by digit on the text; nothing here
// allocates or throws. Results may be written over an operand.
#pragma once

#include <cstddef>

namespace talvera {

constexpr int kAmountWidth = 12;
constexpr int kRateWidth = 5;
constexpr int kSmallAmountWidth = 4;
constexpr int kAmountSignPos = 9;

using AmountText = char[kAmountWidth + 1];
using RateText = char[kRateWidth + 1];
using SmallAmountText = char[kSmallAmountWidth + 1];
using AmountDisplayText = char[16];  // room for -999.999.999,99

inline constexpr char kZeroAmount[] = "000000000,00";
inline constexpr char kZeroRate[] = "00,00";
inline constexpr char kZeroSmallAmount[] = "0,00";

// result = a + b; false on overflow (carry out of the ninth digit), the
// result text then means nothing.
bool AmountAdd(char* result, const char* a, const char* b);
bool AmountAddInPlace(char* a, const char* b);

// result = |a - b|; returns 'S' when a - b is zero or positive (debit side),
// 'H' when it is negative (credit side), 0 when the digits do not work out.
char AmountSubtractRaw(char* result, const char* a, const char* b);

// result = a - b with its sign; true when the result is negative.
bool AmountSubtract(char* result, const char* a, const char* b);

// Zero in any of the widths 4, 5 and 12, whatever the sign position holds;
// an empty text counts as zero.
bool AmountIsZero(const char* text);
bool AmountIsOneCent(const char* text);
bool AmountIsNegative(const char* text);
// Changes the sign in place (a zero amount stays positive).
void AmountNegate(char* amount);

// result = amount * rate / 100, rounded half up to the cent; a result below
// one cent is zero. An empty rate is 0 %. False when an input is malformed
// or the result too large.
bool AmountPercentOf(char* result, const char* amount, const char* rate);

// result = gross * 100 / (100 + rate): first to four decimals, then half up
// at the third decimal (the double rounding tax offices expect to see
// reproduced). The magnitudes are used, the result is positive. An empty
// rate is 0 %. False, with the gross text copied to result (however short
// it is), when an input does not parse or a value exceeds 999.999.999,99.
bool AmountNetFromGross(char* result, const char* gross, const char* rate);

// Value for charts and statistics only.
double AmountToDouble(const char* amount);

// Turns user input in place into a fixed-width text of `width` (12 for
// amounts, 5 for rates). The buffer must hold width + 1 bytes as well as the
// input. False when the input is not acceptable (the buffer then holds
// something undefined).
bool AmountParse(char* text, int width, bool allowSign);
// The same, with the comma rule given explicitly instead of the setting.
bool AmountParseWith(char* text, int width, bool allowSign, bool withoutComma);

// In place, 12-character amount to display form: 000001234,50 -> 1.234,50,
// 000000012-30 -> -12,30. The display form is longer than the amount, so
// the buffer must be an AmountDisplayText (16 bytes), not an AmountText.
void AmountFormat(char* text);
// As AmountFormat, but an empty text stays empty and zero never shows a minus.
void AmountFormatQuiet(char* text);
// Display form, a blank and the currency name, into out (NUL-terminated).
void AmountFormatWithCurrency(char* out, std::size_t outSize, const char* amount,
                              const char* currency);

// Amount text <-> cents, for code that must count (sums of many lines,
// imports). False when the text is not an amount of width 4, 5 or 12.
bool AmountToCents(const char* text, long long* cents);
// False when |cents| does not fit into nine integer digits.
bool AmountFromCents(char* result, long long cents);

// cents * numerator / denominator, exact, rounded half away from zero to
// the cent: the one rounding of every currency conversion. False when the
// denominator is zero or the result does not fit into nine integer digits.
bool ScaleCents(long long cents, long long numerator, long long denominator, long long* result);

}  // namespace talvera
