#include "core/field_readers.h"

#include <cstring>
#include <string>

#include "core/account_lookup.h"
#include "core/amount.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/text_helpers.h"

namespace talvera {
namespace {

constexpr int kMessageEmpty = 22;
constexpr int kMessageDigitsOnly = 3;
constexpr int kMessageRate = 15;
constexpr int kMessageAmount = 23;
constexpr int kMessageOverflow = 745;

std::string Limited(const DialogFields& d, int control, std::size_t max) {
  std::string text = d.FieldText(control);
  if (text.size() > max) text.resize(max);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parses an amount text of a field; empty gives zero when allowed.
bool ParseAmountText(std::string text, char* out, int width, bool allowSign) {
  // Trailing non-digits ("12,50 EUR") are dropped; a text without any digit is no amount.
  while (!text.empty() && !IsDigit(text.back())) text.pop_back();
  if (text.empty()) return false;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s", text.c_str());
  if (!AmountParse(buf, width, allowSign)) return false;
  if (allowSign && AmountIsZero(buf)) buf[width - 3] = ',';
  std::memcpy(out, buf, width + 1);
  return true;
}

// emptyMessage: what an empty field shows.
bool ReadAmount(DialogFields& d, int control, char* out, int width, bool allowSign,
                int emptyMessage = kMessageEmpty) {
  std::string text = Limited(d, control, 14);
  if (text.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(emptyMessage, control);
    return false;
  }
  if (!ParseAmountText(text, out, width, allowSign)) {
    ShowMessage(width == kRateWidth ? kMessageRate : kMessageAmount, control);
    return false;
  }
  return true;
}

void ShowAmount(DialogFields& d, int target, const char* amount) {
  AmountDisplayText shown;
  std::memcpy(shown, amount, kAmountWidth + 1);
  AmountFormat(shown);
  d.SetFieldText(target, shown);
}

}  // namespace

bool ReadAmountField(DialogFields& d, int control, char* out, int width) {
  return ReadAmount(d, control, out, width, false);
}

bool ReadSignedAmountField(DialogFields& d, int control, char* out, int width) {
  return ReadAmount(d, control, out, width, true);
}

bool ReadDateField(DialogFields& d, int control, char* out) {
  std::string text = Limited(d, control, 10);
  if (text.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(kMessageEmpty, control);
    return false;
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "%s", text.c_str());
  int result = ParseDate(buf);
  if (result != kDateOk) {
    ShowMessage(result + 5, control);
    return false;
  }
  std::memcpy(out, buf, 7);
  return true;
}

bool ReadYearField(DialogFields& d, int control, char* out, int month) {
  std::string text = Limited(d, control, 4);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  if (text.empty()) {
    ShowMessage(2, control);
    return false;
  }
  int year = 0;
  for (char c : text) {
    if (!IsDigit(c)) {
      ShowMessage(8, control);
      return false;
    }
    year = year * 10 + (c - '0');
  }
  if (year < 100) {
    year += year >= 80 ? 1900 : 2000;
  } else if (year < 1980 || year >= 2080) {
    ShowMessage(8, control);
    return false;
  }
  if (month != 0 && month < CurrentMandant().fiscalStartMonth) --year;
  if (year < 1980) {
    ShowMessage(8, control);
    return false;
  }
  MakePeriodDate(out, 1, 1, year - 1980);
  return true;
}

bool ReadAccountField(DialogFields& d, int control, char* out, AccountKind& kind,
                      int notFoundMessage, bool digitsOnly) {
  std::string text = Limited(d, control, kAccountNoWidth);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.find_first_not_of(' ') == std::string::npos) {
    ShowMessage(kMessageEmpty, control);
    return false;
  }
  if (digitsOnly && !IsDigitsOnly(text.c_str())) {
    ShowMessage(kMessageDigitsOnly, control);
    return false;
  }
  AccountNo number;
  std::snprintf(number, sizeof number, "%s", text.c_str());
  TrimLeft(number);
  PadLeft(number, kAccountNoWidth);
  if (!LookUpAccount(number, kind)) return false;
  if (kind == kNoAccount) {
    if (notFoundMessage) ShowMessage(notFoundMessage, control);
    return false;
  }
  std::memcpy(out, number, sizeof number);
  return true;
}

bool ReadShortCodeField(DialogFields& d, int control, char* out, AccountKind& kind,
                        int notFoundMessage) {
  std::string text = Limited(d, control, 11);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) {
    ShowMessage(kMessageEmpty, control);
    return false;
  }
  if (!LookUpShortCode(text.c_str(), kind)) return false;
  if (kind == kNoAccount) {
    if (notFoundMessage) ShowMessage(notFoundMessage, control);
    return false;
  }
  std::snprintf(out, 12, "%s", text.c_str());
  return true;
}

bool SumAmountFields(DialogFields& d, int a, int b, int c, int target) {
  AmountText sum = "000000000,00";
  for (int control : {a, b, c}) {
    if (control == 0) continue;
    AmountText value;
    std::string text = Limited(d, control, 14);
    if (text.find_first_not_of(' ') == std::string::npos) continue;
    if (!ParseAmountText(text, value, kAmountWidth, false)) {
      ShowMessage(kMessageAmount, control);
      return false;
    }
    if (!AmountAddInPlace(sum, value)) {
      ShowMessage(kMessageOverflow, control);
      return false;
    }
  }
  ShowAmount(d, target, sum);
  return true;
}

bool SumTwoSignedFields(DialogFields& d, int a, int b, int target) {
  AmountText x, y, sum;
  if (!ReadSignedAmountField(d, a, x, kAmountWidth) || !ReadSignedAmountField(d, b, y, kAmountWidth))
    return false;
  if (!AmountAdd(sum, x, y)) {
    ShowMessage(kMessageOverflow, b);
    return false;
  }
  ShowAmount(d, target, sum);
  return true;
}

bool TaxOfFields(DialogFields& d, int amountControl, int rateControl, int target,
                 bool amountIsGross) {
  AmountText amount;
  RateText rate;
  // Here an empty field is a bad amount or rate, not a missing entry.
  if (!ReadAmount(d, amountControl, amount, kAmountWidth, true, kMessageAmount)) return false;
  if (!ReadAmount(d, rateControl, rate, kRateWidth, false, kMessageRate)) return false;
  if (AmountIsZero(rate)) {
    d.SetFieldText(target, "0,00");
    d.EnableField(target, false);
    return true;
  }
  d.EnableField(target, true);
  AmountText tax;
  bool negative = AmountIsNegative(amount);
  if (amountIsGross) {
    AmountText net;
    if (!AmountNetFromGross(net, amount, rate)) {
      ShowMessage(kMessageAmount, amountControl);
      return false;
    }
    AmountText magnitude;
    std::memcpy(magnitude, amount, sizeof magnitude);
    magnitude[kAmountSignPos] = ',';
    AmountSubtract(tax, magnitude, net);
    if (negative && !AmountIsZero(tax)) tax[kAmountSignPos] = '-';
  } else if (!AmountPercentOf(tax, amount, rate)) {
    ShowMessage(kMessageOverflow, amountControl);
    return false;
  }
  ShowAmount(d, target, tax);
  return true;
}

}  // namespace talvera
