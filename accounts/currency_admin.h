// The currency administration without its screen: adding and deleting
// rates in kurse and in the rate table, the choice of currencies and the
// lines of the rate list.
#pragma once

#include <string>
#include <vector>

#include "accounts/currency_rates.h"
#include "core/dialog_fields.h"

namespace talvera {

// Control ids of the currency administration (KURSE).
namespace kursverw {
enum : int {
  kCurrency = 101, kAverage, kDate, kRate, kUnits, kList,
  kNew = 111, kDelete, kFinish,
};
}

// The unit counts offered, in this order.
inline constexpr int kUnitChoices[] = {1, 10, 100, 1000, 10000, 100000};

// Common ISO 4217 codes and every code the rate table holds, sorted.
std::vector<std::string> CurrencyChoices();

// Upper-cased and trimmed; empty when the text is no acceptable code: three
// letters A-Z (ISO 4217), or a code the rate table already holds.
std::string CurrencyCodeOf(const std::string& text);

// The rates of a currency in date order (daily before average on a day).
std::vector<RateEntry> RatesOf(const std::string& currency);
// "15.03.1996\t1,25\t100\tDurchschnittskurs": date, rate, unit count, kind.
std::string RateLine(const RateEntry& rate);

// "&Neu": reads currency, date, rate and unit count from the dialog's
// controls; refuses a rate the table already has (426 for the day, 431 for
// the month's average rate), inserts the record into kurse and the entry
// into the rate table. False with the message shown and the books unchanged.
bool AddRate(DialogFields& dialog, bool average, RateEntry& added);

// "&Löschen": deletes the record of exactly this rate (the key may hold a
// daily and an average rate of the same day) and its table entry; message
// 425 when it cannot.
bool DeleteRate(const RateEntry& rate);

}  // namespace talvera
