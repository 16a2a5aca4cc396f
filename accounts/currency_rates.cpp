#include "accounts/currency_rates.h"

#include <cstring>
#include <new>

#include "core/layouts/kurse.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/text_helpers.h"
#include "recman/recman.h"

namespace talvera {
namespace {

namespace K = layouts::kurse;

constexpr int kMessageNoMemory = 52;
constexpr int kMessageAskForRate = 427;
constexpr int kMessageCannotConvert = 428;

RateTable g_table;
RateEntryOpener g_opener = nullptr;

bool SameCurrency(const char* a, const char* b) { return std::strncmp(a, b, sizeof(CurrencyCode)) == 0; }
bool SameDate(const char* a, const char* b) { return std::strncmp(a, b, 6) == 0; }
// Period and year: the last four characters of DDPPYY.
bool SameMonth(const char* a, const char* b) { return std::strncmp(a + 2, b + 2, 4) == 0; }

RateEntry EntryOf(const char* record) {
  RateEntry e;
  CopyLimited(e.currency, layouts::FieldBytes(record, K::kCurrency), sizeof e.currency);
  CopyLimited(e.date, layouts::FieldBytes(record, K::kValidFrom), sizeof e.date);
  FromSortDate(e.date);
  CopyLimited(e.rate, layouts::FieldBytes(record, K::kRate), sizeof e.rate);
  e.average = layouts::GetNumber(record, K::kAverageRate) != 0;
  e.units = UnitsFromCode(static_cast<int>(layouts::GetNumber(record, K::kUnits)));
  return e;
}

}  // namespace

int UnitsFromCode(int code) {
  switch (code) {
    case 2: return 100;
    case 3: return 1000;
    case 4: return 10000;
    case 5: return 100000;
    default: return code;
  }
}

int UnitCodeOf(int units) {
  switch (units) {
    case 100: return 2;
    case 1000: return 3;
    case 10000: return 4;
    case 100000: return 5;
    default: return units;
  }
}

bool RateTable::Load() {
  entries_.clear();
  if (!recman::FileExists(SlotPath(kSlotKurse))) return true;
  bool wasOpen = IsSlotOpen(kSlotKurse);
  char record[K::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(record, found, MakeFileId(kSlotKurse, 0));
  try {
    while (ok && found) {
      entries_.push_back(EntryOf(record));
      ok = GetNextFound(record, found, MakeFileId(kSlotKurse, 0));
    }
  } catch (const std::bad_alloc&) {
    entries_.clear();
    ShowMessage(kMessageNoMemory);
    ok = false;
  }
  if (!wasOpen) CloseSlot(kSlotKurse);
  return ok;
}

void RateTable::Remove(const char* currency, const char* date, bool average) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (SameCurrency(it->currency, currency) && SameDate(it->date, date) && it->average == average) {
      entries_.erase(it);
      return;
    }
  }
}

const RateEntry* RateTable::Find(const char* currency, const char* date) const {
  const RateEntry* averageRate = nullptr;
  for (const RateEntry& e : entries_) {
    if (!SameCurrency(e.currency, currency)) continue;
    if (!e.average && SameDate(e.date, date)) return &e;
    if (e.average && !averageRate && SameMonth(e.date, date)) averageRate = &e;
  }
  return averageRate;
}

bool RateTable::Has(const char* currency, const char* date, bool average) const {
  for (const RateEntry& e : entries_) {
    if (!SameCurrency(e.currency, currency) || e.average != average) continue;
    if (average ? SameMonth(e.date, date) : SameDate(e.date, date)) return true;
  }
  return false;
}

RateTable& CurrentRateTable() { return g_table; }

bool LoadCurrentRateTable() { return g_table.Load(); }

void InstallCurrencyRateLoading() { AddRateLoader(LoadCurrentRateTable); }

bool FindRate(const char* currency, const char* date, RateEntry& out) {
  const RateEntry* e = g_table.Find(currency, date);
  if (!e) return false;
  out = *e;
  return true;
}

void SetRateEntryOpener(RateEntryOpener opener) { g_opener = opener; }

bool RequireRate(const char* currency, const char* date, RateEntry& out) {
  while (!FindRate(currency, date, out)) {
    if (!ShowMessage(kMessageAskForRate) || !g_opener) return false;
    g_opener(currency, date);
  }
  return true;
}

bool ConvertAmount(const RateEntry& rate, const char* amount, char* result) {
  long long cents = 0, rateCents = 0, converted = 0;
  // A rate of zero or below, or no unit count, would turn every amount into
  // nonsense without a word: such an entry converts nothing.
  bool ok = AmountToCents(amount, &cents) && AmountToCents(rate.rate, &rateCents) &&
            rateCents > 0 && rate.units > 0 &&
            ScaleCents(cents, rateCents, 100LL * rate.units, &converted) &&
            AmountFromCents(result, converted);
  if (!ok) ShowMessage(kMessageCannotConvert);
  return ok;
}

}  // namespace talvera
