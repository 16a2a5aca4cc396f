#include "accounts/currency_admin.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "accounts/bank_connections.h"
#include "core/field_readers.h"
#include "core/layouts/kurse.h"
#include "core/message.h"
#include "core/record_store.h"

namespace talvera {
namespace {

namespace K = layouts::kurse;
using namespace kursverw;

constexpr int kMessageBadAmount = 23;
constexpr int kMessageChooseCurrency = 423;
constexpr int kMessageCannotDelete = 425;
constexpr int kMessageDayHasRate = 426;
constexpr int kMessageMonthHasAverage = 431;
constexpr int kMessageCurrencyCode = 4206;

constexpr FileId kRatesByKey = MakeFileId(kSlotKurse, 0);

// Offered even before a rate of theirs was entered.
constexpr const char* kCommonCurrencies[] = {"AUD", "CAD", "CHF", "CZK", "DKK", "EUR", "GBP", "HUF",
                                             "JPY", "NOK", "PLN", "SEK", "USD"};

bool Refuse(int message, int control = 0) {
  ShowMessage(message, control);
  return false;
}

std::string SortKey(const RateEntry& e) {
  PeriodDate d;
  std::memcpy(d, e.date, sizeof d);
  ToSortDate(d);
  return std::string(d) + (e.average ? "1" : "0");
}

bool InTable(const std::string& code) {
  const auto& entries = CurrentRateTable().entries();
  return std::any_of(entries.begin(), entries.end(),
                     [&](const RateEntry& e) { return code == e.currency; });
}

// The unit count of the combo's text; 1 for anything else.
int UnitsOfText(const std::string& text) {
  int units = std::atoi(text.c_str());
  for (int choice : kUnitChoices)
    if (choice == units) return units;
  return 1;
}

// The key of a rate: currency and year-first date.
KeyValue RateKey(const RateEntry& rate) {
  char key[K::kCurrency.width + K::kValidFrom.width] = {};
  std::memcpy(key, rate.currency, strnlen(rate.currency, K::kCurrency.width - 1));
  std::memcpy(key + K::kCurrency.width, rate.date, 6);
  ToSortDate(key + K::kCurrency.width);
  return KeyValue(key, sizeof key);
}

}  // namespace

std::vector<std::string> CurrencyChoices() {
  std::vector<std::string> codes(std::begin(kCommonCurrencies), std::end(kCommonCurrencies));
  for (const RateEntry& e : CurrentRateTable().entries())
    if (std::find(codes.begin(), codes.end(), e.currency) == codes.end()) codes.push_back(e.currency);
  std::sort(codes.begin(), codes.end());
  return codes;
}

std::string CurrencyCodeOf(const std::string& text) {
  std::string code;
  for (char c : text)
    if (c != ' ') code += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (InTable(code)) return code;
  bool iso = code.size() == 3 &&
             std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
  return iso ? code : std::string();
}

std::vector<RateEntry> RatesOf(const std::string& currency) {
  std::vector<RateEntry> rates;
  for (const RateEntry& e : CurrentRateTable().entries())
    if (currency == e.currency) rates.push_back(e);
  std::stable_sort(rates.begin(), rates.end(),
                   [](const RateEntry& a, const RateEntry& b) { return SortKey(a) < SortKey(b); });
  return rates;
}

std::string RateLine(const RateEntry& rate) {
  char date[11];
  FormatDate(rate.date, date, true);
  AmountDisplayText shown;
  std::snprintf(shown, sizeof shown, "%s", rate.rate);
  AmountFormat(shown);
  return std::string(date) + "\t" + shown + "\t" + std::to_string(rate.units) + "\t" +
         (rate.average ? "Durchschnittskurs" : "Tageskurs");
}

bool AddRate(DialogFields& d, bool average, RateEntry& added) {
  if (!EnoughSpaceToStore()) return false;
  RateEntry e;
  std::string typed = d.FieldText(kCurrency);
  if (typed.find_first_not_of(' ') == std::string::npos) return Refuse(kMessageChooseCurrency, kCurrency);
  std::string code = CurrencyCodeOf(typed);
  if (code.empty()) return Refuse(kMessageCurrencyCode, kCurrency);
  CopyLimited(e.currency, code.c_str(), sizeof e.currency);
  char date[16] = "";
  if (!ReadDateField(d, kDate, date)) return false;
  CopyLimited(e.date, date, sizeof e.date);
  e.average = average;
  e.units = UnitsOfText(d.FieldText(kUnits));
  if (CurrentRateTable().Has(e.currency, e.date, average))
    return Refuse(average ? kMessageMonthHasAverage : kMessageDayHasRate, kDate);
  char rate[32] = "";
  if (!ReadAmountField(d, kRate, rate, kAmountWidth)) return false;
  // A rate of nought would turn every amount into nothing.
  if (AmountIsZero(rate)) return Refuse(kMessageBadAmount, kRate);
  CopyLimited(e.rate, rate, sizeof e.rate);

  char record[K::kLayout.recordLength];
  layouts::InitRecord(K::kLayout, record);
  layouts::SetRawText(record, K::kCurrency, e.currency);
  PeriodDate sortDate;
  std::memcpy(sortDate, e.date, sizeof sortDate);
  ToSortDate(sortDate);
  layouts::SetRawText(record, K::kValidFrom, sortDate);
  layouts::SetRawText(record, K::kRate, e.rate);
  layouts::SetNumber(record, K::kAverageRate, average ? 1 : 0);
  layouts::SetNumber(record, K::kUnits, UnitCodeOf(e.units));
  if (!Insert(record, kRatesByKey)) return false;
  CurrentRateTable().Add(e);
  added = e;
  return true;
}

bool DeleteRate(const RateEntry& rate) {
  KeyValue key = RateKey(rate);
  char record[K::kLayout.recordLength];
  bool found = false;
  bool ok = OpenSlot(kSlotKurse) && GetEqual(record, key, found, kRatesByKey);
  // Daily and average rate of one day share the key: find the one meant.
  while (ok && found && (layouts::GetNumber(record, K::kAverageRate) != 0) != rate.average) {
    ok = GetNextFound(record, found, kRatesByKey);
    found = found && std::memcmp(record, key.bytes, K::kCurrency.width + K::kValidFrom.width) == 0;
  }
  ok = ok && found && Delete(kSlotKurse);
  CloseSlot(kSlotKurse);
  if (!ok) return Refuse(kMessageCannotDelete);
  CurrentRateTable().Remove(rate.currency, rate.date, rate.average);
  return true;
}

}  // namespace talvera
