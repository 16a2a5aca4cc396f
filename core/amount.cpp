#include "core/amount.h"

#include <cstdio>
#include <cstring>

#include "core/settings.h"

namespace talvera {
namespace {

constexpr long long kMaxCents = 99999999999LL;  // 999.999.999,99

bool IsNegativeText(const char* t) { return t[kAmountSignPos] == '-'; }

void CopyAmount(char* dst, const char* src) {
  std::memcpy(dst, src, kAmountWidth);
  dst[kAmountWidth] = '\0';
}

// Adds the magnitudes digit by digit (positions 11..0, skipping the sign
// position); returns the carry out of the first digit.
bool AddDigits(char* r, const char* a, const char* b) {
  int carry = 0;
  for (int i = kAmountWidth - 1; i >= 0; --i) {
    if (i == kAmountSignPos) continue;
    int d = (a[i] - '0') + (b[i] - '0') + carry;
    carry = d >= 10;
    r[i] = static_cast<char>('0' + d % 10);
  }
  return carry != 0;
}

// r = a - b digit by digit; returns the final borrow.
bool SubtractDigits(char* r, const char* a, const char* b) {
  int borrow = 0;
  for (int i = kAmountWidth - 1; i >= 0; --i) {
    if (i == kAmountSignPos) continue;
    int d = (a[i] - '0') - (b[i] - '0') - borrow;
    borrow = d < 0;
    r[i] = static_cast<char>('0' + (d + 10) % 10);
  }
  return borrow != 0;
}

// Reads a decimal text of any width with its sign position three from the
// end, into hundredths. Used for amounts (12), rates (5) and small values (4).
bool ReadHundredths(const char* t, long long* value, bool* negative) {
  std::size_t n = std::strlen(t);
  if (n < 4 || n > kAmountWidth) return false;
  long long v = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i == n - 3) continue;
    if (t[i] < '0' || t[i] > '9') return false;
    v = v * 10 + (t[i] - '0');
  }
  char sign = t[n - 3];
  if (sign != ',' && sign != '-') return false;
  *value = v;
  *negative = sign == '-';
  return true;
}

// A rate text; an empty one is no rate at all, 0 %.
bool ReadRate(const char* t, long long* value, bool* negative) {
  if (t[0] == '\0') {
    *value = 0;
    *negative = false;
    return true;
  }
  return ReadHundredths(t, value, negative);
}

// Copies a text of at most an amount's width, however short it is.
void CopyText(char* dst, const char* src) {
  std::size_t n = strnlen(src, kAmountWidth);
  std::memmove(dst, src, n);
  dst[n] = '\0';
}

}  // namespace

bool AmountIsNegative(const char* text) { return IsNegativeText(text); }

void AmountNegate(char* amount) {
  amount[kAmountSignPos] = IsNegativeText(amount) || AmountIsZero(amount) ? ',' : '-';
}

bool AmountAdd(char* result, const char* a, const char* b) {
  AmountText r;
  bool negA = IsNegativeText(a), negB = IsNegativeText(b);
  if (negA == negB) {
    bool overflow = AddDigits(r, a, b);
    r[kAmountSignPos] = negA ? '-' : ',';
    r[kAmountWidth] = '\0';
    CopyAmount(result, r);
    return !overflow;
  }
  // Different signs: subtract the negative operand's magnitude from the other.
  AmountText magnitude;
  const char* positive = negA ? b : a;
  CopyAmount(magnitude, negA ? a : b);
  magnitude[kAmountSignPos] = ',';
  char side = AmountSubtractRaw(r, positive, magnitude);
  r[kAmountSignPos] = side == 'H' ? '-' : ',';
  CopyAmount(result, r);
  return side != 0;
}

bool AmountAddInPlace(char* a, const char* b) { return AmountAdd(a, a, b); }

char AmountSubtractRaw(char* result, const char* a, const char* b) {
  AmountText r;
  r[kAmountWidth] = '\0';
  bool negA = IsNegativeText(a), negB = IsNegativeText(b);
  if (negA != negB) {
    // a - (-b) = |a| + |b| lies on the debit side, (-a) - b on the credit side.
    bool overflow = AddDigits(r, a, b);
    r[kAmountSignPos] = ',';
    CopyAmount(result, r);
    if (overflow) return 0;
    return negA && !AmountIsZero(r) ? 'H' : 'S';
  }
  const char* first = a;
  const char* second = b;
  char side = negA ? 'H' : 'S';
  if (std::memcmp(a, b, kAmountWidth) < 0) {
    first = b;
    second = a;
    side = negA ? 'S' : 'H';
  }
  bool borrow = SubtractDigits(r, first, second);
  r[kAmountSignPos] = ',';
  r[kAmountWidth] = '\0';
  // Zero is never negative: equal operands lie on the debit side.
  if (AmountIsZero(r)) side = 'S';
  else if (negA) r[kAmountSignPos] = '-';
  CopyAmount(result, r);
  return borrow ? 0 : side;
}

bool AmountSubtract(char* result, const char* a, const char* b) {
  char side = AmountSubtractRaw(result, a, b);
  bool negative = side == 'H';
  result[kAmountSignPos] = negative ? '-' : ',';
  return negative;
}

bool AmountIsZero(const char* text) {
  std::size_t n = std::strlen(text);
  if (n == 0) return true;
  if (n != 4 && n != 5 && n != kAmountWidth) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (i == n - 3) continue;
    if (text[i] != '0') return false;
  }
  return true;
}

bool AmountIsOneCent(const char* text) {
  std::size_t n = std::strlen(text);
  if (n != 4 && n != 5 && n != kAmountWidth) return false;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (i == n - 3) continue;
    if (text[i] != '0') return false;
  }
  return text[n - 1] == '1';
}

bool AmountToCents(const char* text, long long* cents) {
  long long v;
  bool negative;
  if (!ReadHundredths(text, &v, &negative)) return false;
  *cents = negative ? -v : v;
  return true;
}

bool AmountFromCents(char* result, long long cents) {
  bool negative = cents < 0;
  unsigned long long v = negative ? -static_cast<unsigned long long>(cents) : cents;
  if (v > static_cast<unsigned long long>(kMaxCents)) return false;
  for (int i = kAmountWidth - 1; i >= 0; --i) {
    if (i == kAmountSignPos) continue;
    result[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  result[kAmountSignPos] = negative && cents != 0 ? '-' : ',';
  result[kAmountWidth] = '\0';
  return true;
}

bool ScaleCents(long long cents, long long numerator, long long denominator, long long* result) {
  if (denominator == 0) return false;
  __int128 product = static_cast<__int128>(cents) * numerator;
  __int128 divisor = denominator;
  bool negative = (product < 0) != (divisor < 0);
  if (product < 0) product = -product;
  if (divisor < 0) divisor = -divisor;
  __int128 magnitude = (product * 2 + divisor) / (divisor * 2);
  if (magnitude > kMaxCents) return false;
  *result = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  return true;
}

bool AmountPercentOf(char* result, const char* amount, const char* rate) {
  long long a, r;
  bool negA, negR;
  if (!ReadHundredths(amount, &a, &negA) || !ReadRate(rate, &r, &negR)) return false;
  // a and r are in hundredths, so a * r is in units of 1e-6 and a * r / 1e4 in cents.
  long long product = a * r;
  if (product < 10000) {
    std::memcpy(result, kZeroAmount, sizeof kZeroAmount);
    return true;
  }
  long long cents = (product + 5000) / 10000;
  if (!AmountFromCents(result, cents)) return false;
  if (negA != negR) result[kAmountSignPos] = '-';
  return true;
}

bool AmountNetFromGross(char* result, const char* gross, const char* rate) {
  long long g, r;
  bool negG, negR;
  if (!ReadHundredths(gross, &g, &negG) || !ReadRate(rate, &r, &negR) || g > kMaxCents) {
    if (result != gross) CopyText(result, gross);
    return false;
  }
  // Net in units of 1e-4: g/100 * 10000/(10000 + r) * 10000, rounded to the
  // nearest unit (half up), then rounded half up at the third decimal.
  long long divisor = 10000 + r;
  long long net4 = (2 * g * 1000000 + divisor) / (2 * divisor);
  long long cents = net4 / 100;
  if ((net4 / 10) % 10 >= 5) ++cents;
  if (cents > kMaxCents) {
    if (result != gross) CopyText(result, gross);
    return false;
  }
  return AmountFromCents(result, cents);
}

double AmountToDouble(const char* amount) {
  long long v;
  bool negative;
  if (!ReadHundredths(amount, &v, &negative)) return 0.0;
  double d = static_cast<double>(v) / 100.0;
  return negative ? -d : d;
}

bool AmountParse(char* text, int width, bool allowSign) {
  return AmountParseWith(text, width, allowSign, CurrentSettings().ohneKomma);
}

bool AmountParseWith(char* text, int width, bool allowSign, bool withoutComma) {
  constexpr int kMaxInput = 40;
  char digits[kMaxInput];
  int n = 0;
  const char* p = text;
  while (*p == '0' || *p == ' ') ++p;
  bool negative = false;
  if (allowSign && *p == '-') {
    negative = true;
    ++p;
  }
  int commaAt = -1;
  for (; *p; ++p) {
    char c = *p;
    if (c == '.' || c == ' ') continue;
    if (c == ',' && commaAt < 0) {
      commaAt = n;
    } else if (c < '0' || c > '9') {
      return false;
    }
    if (n >= kMaxInput - 4) return false;
    digits[n++] = c;
  }
  if (commaAt < 0) {
    if (withoutComma) {
      // The last two digits are the decimals: 12345 -> 123,45, 5 -> ,5.
      int at = n >= 2 ? n - 2 : 0;
      std::memmove(digits + at + 1, digits + at, n - at);
      digits[at] = ',';
      commaAt = at;
      ++n;
    } else {
      commaAt = n;
      digits[n++] = ',';
    }
  }
  int decimals = n - commaAt - 1;
  if (decimals > 2) return false;
  while (decimals < 2) {
    digits[n++] = '0';
    ++decimals;
  }
  if (n > width) return false;
  int pad = width - n;
  std::memset(text, '0', pad);
  std::memcpy(text + pad, digits, n);
  text[width] = '\0';
  if (negative) text[width - 3] = '-';
  return true;
}

void AmountFormat(char* text) {
  bool negative = IsNegativeText(text);
  char src[kAmountWidth + 1];
  CopyAmount(src, text);
  src[kAmountSignPos] = ',';
  int start = 0;
  while (start < kAmountSignPos - 1 && src[start] == '0') ++start;
  // Integer digits with a '.' before every group of three that has digits in front.
  char out[20];
  int o = 0;
  if (negative) out[o++] = '-';
  for (int i = start; i < kAmountSignPos; ++i) {
    out[o++] = src[i];
    int remaining = kAmountSignPos - i - 1;
    if (remaining > 0 && remaining % 3 == 0) out[o++] = '.';
  }
  out[o++] = ',';
  out[o++] = src[10];
  out[o++] = src[11];
  out[o] = '\0';
  std::memcpy(text, out, o + 1);
}

void AmountFormatQuiet(char* text) {
  if (text[0] == '\0') return;
  if (AmountIsZero(text)) text[kAmountSignPos] = ',';
  AmountFormat(text);
}

void AmountFormatWithCurrency(char* out, std::size_t outSize, const char* amount,
                              const char* currency) {
  char shown[20];
  std::memcpy(shown, amount, kAmountWidth + 1);
  AmountFormat(shown);
  std::snprintf(out, outSize, "%s %s", shown, currency);
}

}  // namespace talvera
