#include "tax/tax_rates.h"

#include <cstring>
#include <string>

#include "core/layouts/steke.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"

namespace talvera {
namespace {

namespace steke = layouts::steke;
constexpr int kMessageNoTaxAccount = 92;
constexpr int kMessageNoReverseChargeRate = 794;
constexpr FileId kByClassAndIndex = MakeFileId(kSlotSteke, 2);
constexpr FileId kByIndex = MakeFileId(kSlotSteke, 1);

RateRecord FromBytes(const char* r) {
  RateRecord out;
  out.rateClass = static_cast<int>(layouts::GetNumber(r, steke::kRateClass));
  out.index = static_cast<int>(layouts::GetNumber(r, steke::kIndex));
  CopyLimited(out.validFrom, layouts::FieldBytes(r, steke::kValidFrom), sizeof out.validFrom);
  CopyLimited(out.rate, layouts::FieldBytes(r, steke::kRate), sizeof out.rate);
  CopyLimited(out.outputTaxAccount, layouts::FieldBytes(r, steke::kOutputTaxAccount),
              sizeof out.outputTaxAccount);
  CopyLimited(out.inputTaxAccount, layouts::FieldBytes(r, steke::kInputTaxAccount),
              sizeof out.inputTaxAccount);
  return out;
}

bool ValidAt(const RateRecord& r, const char* date) { return !CompareDates(r.validFrom, date); }

// Walks the records of one class from index 0 upwards until `visit` says stop.
template <typename Visit>
bool ForClass(int rateClass, Visit visit) {
  char r[steke::kLayout.recordLength] = {};
  layouts::SetNumber(r, steke::kRateClass, rateClass);
  bool found = false;
  bool ok = GetGreaterOrEqualFound(r, KeyValue(r, 4), found, kByClassAndIndex);
  while (ok && found && layouts::GetNumber(r, steke::kRateClass) == rateClass) {
    if (!visit(FromBytes(r))) break;
    ok = GetNextFound(r, found, kByClassAndIndex);
  }
  CloseSlot(kSlotSteke);
  return ok;
}

std::string WithoutLeadingBlanks(const char* s) {
  while (*s == ' ') ++s;
  return s;
}

}  // namespace

RatesInForceValue& CurrentRatesInForce() {
  static RatesInForceValue value;
  return value;
}

int RateClassOf(int classByte) { return (classByte & kEcRate) ? kEcRate : (classByte & 31); }

bool RateRecordAt(int classByte, const char* date, RateRecord& out, bool& found) {
  found = false;
  return ForClass(RateClassOf(classByte), [&](const RateRecord& r) {
    if (!ValidAt(r, date)) return true;
    out = r;
    found = true;
    return false;
  });
}

bool RateRecordByIndex(int rateClass, int index, RateRecord& out, bool& found) {
  char r[steke::kLayout.recordLength] = {};
  layouts::SetNumber(r, steke::kRateClass, rateClass);
  layouts::SetNumber(r, steke::kIndex, index);
  if (!GetEqual(r, KeyValue(r, 4), found, kByClassAndIndex)) return false;
  if (found) out = FromBytes(r);
  return true;
}

bool RatesInForce(const char* date) {
  RateRecord standard;
  bool found = false;
  if (!RateRecordAt(kStandardRate, date, standard, found) || !found) return false;
  RatesInForceValue& value = CurrentRatesInForce();
  CopyLimited(value.standard, standard.rate, sizeof value.standard);
  value.standardIndex = standard.index;
  value.reduced[0] = '\0';
  return ForClass(kReducedRate, [&](const RateRecord& r) {
    if (r.index != standard.index) return true;
    CopyLimited(value.reduced, r.rate, sizeof value.reduced);
    return false;
  });
}

bool LoadRatesForToday() {
  char today[16];
  CopyLimited(today, DayToday().text, sizeof today);
  if (ParseDate(today) != kDateOk) return false;
  // A Mandant without rate records yet still opens; the rates stay empty.
  if (!RatesInForce(today)) CurrentRatesInForce() = RatesInForceValue{};
  return true;
}

void InstallRateLoading() { AddRateLoader(LoadRatesForToday); }

bool RateRecordForRate(const char* rate, const char* date, RateRecord& out) {
  char r[steke::kLayout.recordLength];
  bool found = false;
  bool haveFirst = false;
  RateRecord first;
  bool matched = false;
  bool ok = GetFirstFound(r, found, kByIndex);
  while (ok && found) {
    RateRecord record = FromBytes(r);
    if (ValidAt(record, date)) {
      if (!haveFirst && record.rateClass == kOtherRate) {
        first = record;
        haveFirst = true;
      }
      if (std::strcmp(record.rate, rate) == 0) {
        out = record;
        if (haveFirst && record.index > first.index) out.rateClass += 64;
        matched = true;
        break;
      }
    }
    ok = GetNextFound(r, found, kByIndex);
  }
  CloseSlot(kSlotSteke);
  if (!ok) return false;
  if (!matched && haveFirst) {
    out = first;
    matched = true;
  }
  if (!matched) ShowMessage(kMessageNoTaxAccount);
  return matched;
}

bool IsTaxAccount(const char* account, const char* date) {
  std::string wanted = WithoutLeadingBlanks(account);
  if (wanted.empty()) return false;
  if (wanted == WithoutLeadingBlanks(CurrentMandantSettings().eust.c_str())) return true;
  for (int rateClass : kClassesWithRecords) {
    RateRecord r;
    bool found = false;
    if (!RateRecordAt(rateClass, date, r, found)) return false;
    if (found && (wanted == WithoutLeadingBlanks(r.outputTaxAccount) ||
                  wanted == WithoutLeadingBlanks(r.inputTaxAccount)))
      return true;
  }
  return false;
}

bool ListRateRecords(int rateClass, std::vector<RateRecord>& out) {
  out.clear();
  return ForClass(rateClass, [&](const RateRecord& r) {
    out.push_back(r);
    return true;
  });
}

const char* RateClassNameOf(int rateClass) {
  for (const RateClassName& c : kRateClassNames)
    if (c.rateClass == rateClass) return c.name;
  return "";
}

void ReportMissingReverseChargeRate(const char* date) {
  char shown[11];
  FormatDate(date, shown, true);
  ShowMessage(kMessageNoReverseChargeRate, 0, std::string_view(shown));
}

}  // namespace talvera
