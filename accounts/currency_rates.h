// Currency rates in memory: the rate table of the open Mandant, the rate in
// force at a date and the conversion of a foreign amount into the home
// currency.
//
// A rate says what `units` units of the foreign currency are worth in the
// home currency: with units 100 and rate 1,25, 1.000,00 foreign units are
// 12,50. The table is filled from kurse when a Mandant's files open and
// rebuilt when the currency administration ends.
#pragma once

#include <string>
#include <vector>

#include "core/amount.h"
#include "core/period_date.h"

namespace talvera {

// Codes as kurse keeps them: up to 4 characters and a NUL ("USD").
using CurrencyCode = char[5];

// One rate: the first 28 bytes of a kurse record, with the date as DDPPYY
// and the unit code turned into the unit count.
struct RateEntry {
  CurrencyCode currency = "";
  PeriodDate date = "";             // DDPPYY
  AmountText rate = "";             // home currency for `units` foreign units
  bool average = false;             // average rate of the date's month
  int units = 1;                    // 1, 10, 100 ... 100000
};

// The unit count ("Einheitenanzahl") as kurse stores it: 1 and 10 as they
// are, 100 ... 100000 as 2 ... 5. Reading takes any other code unchanged.
int UnitsFromCode(int code);
int UnitCodeOf(int units);

class RateTable {
 public:
  // Reads kurse in key order. Without a kurse file the table stays empty.
  // False when the store failed (reported) or memory ran out (message 52).
  bool Load();
  void Clear() { entries_.clear(); }
  void Add(const RateEntry& entry) { entries_.push_back(entry); }
  // Removes the entry of that currency, date and kind.
  void Remove(const char* currency, const char* date, bool average);

  // The daily rate of exactly that date, else the average rate of the
  // date's period and year; nullptr when neither exists.
  const RateEntry* Find(const char* currency, const char* date) const;
  // A daily rate of that date (average false) or an average rate of the
  // date's period and year (average true) is there already.
  bool Has(const char* currency, const char* date, bool average) const;

  const std::vector<RateEntry>& entries() const { return entries_; }

 private:
  std::vector<RateEntry> entries_;
};

// The table of the open Mandant.
RateTable& CurrentRateTable();
// The loader the record store calls when it opens the main files.
bool LoadCurrentRateTable();
// Makes opening the main files load the rate table.
void InstallCurrencyRateLoading();

// The rate in force for `currency` at `date` (DDPPYY) from the open
// Mandant's table; false when there is none.
bool FindRate(const char* currency, const char* date, RateEntry& out);

// How a missing rate is entered: the currency administration opened with
// currency and date preset. The program installs it; without one a missing
// rate simply fails.
using RateEntryOpener = void (*)(const char* currency, const char* date);
void SetRateEntryOpener(RateEntryOpener opener);

// FindRate, and while nothing is found: message 427 asks whether the rate
// is to be entered now; yes opens the currency administration preset with
// currency and date, no fails.
bool RequireRate(const char* currency, const char* date, RateEntry& out);

// result = |amount| * rate / units with the amount's sign, exact and
// rounded half away from zero to the cent (ScaleCents). A result of zero is
// "000000000,00". When the rate entry is unusable or the result does not
// fit into an amount: message 428 and false. `result` is an AmountText.
bool ConvertAmount(const RateEntry& rate, const char* amount, char* result);

}  // namespace talvera
