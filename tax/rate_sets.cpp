#include "tax/rate_sets.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/layouts/steke.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"

namespace talvera {
namespace {

namespace steke = layouts::steke;
constexpr int kMessageCannotWrite = 81;
constexpr FileId kByClassAndIndex = MakeFileId(kSlotSteke, 2);
using Record = std::array<char, steke::kLayout.recordLength>;

Record MakeRecord(int rateClass, int index, const char* validFrom, const char* rate,
                  const char* output, const char* input) {
  Record r;
  layouts::InitRecord(steke::kLayout, r.data());
  layouts::SetNumber(r.data(), steke::kRateClass, rateClass);
  layouts::SetNumber(r.data(), steke::kIndex, index);
  layouts::SetRawText(r.data(), steke::kValidFrom, validFrom);
  layouts::SetRawText(r.data(), steke::kRate, rate);
  layouts::SetRawText(r.data(), steke::kOutputTaxAccount, output);
  layouts::SetRawText(r.data(), steke::kInputTaxAccount, input);
  return r;
}

KeyValue ClassKey(int rateClass) {
  char r[steke::kLayout.recordLength] = {};
  layouts::SetNumber(r, steke::kRateClass, rateClass);
  return KeyValue(r, 4);
}

// Takes every record of the class out of the file, newest first.
bool TakeClass(int rateClass, std::vector<Record>& out) {
  Record r;
  bool found = false;
  for (;;) {
    if (!GetGreaterOrEqualFound(r.data(), ClassKey(rateClass), found, kByClassAndIndex)) return false;
    if (!found || layouts::GetNumber(r.data(), steke::kRateClass) != rateClass) return true;
    out.push_back(r);
    if (!Delete(kSlotSteke)) return false;
  }
}

// Puts the new record into its class at the place of its date and
// renumbers the class: index 0 is the newest record, whatever the order in
// which the sets were entered. A record of the same date is replaced.
bool PutInDateOrder(const Record& fresh) {
  int rateClass = static_cast<int>(layouts::GetNumber(fresh.data(), steke::kRateClass));
  std::vector<Record> records;
  if (!OpenSlot(kSlotSteke) || !TakeClass(rateClass, records)) return false;
  const char* date = layouts::FieldBytes(fresh.data(), steke::kValidFrom);
  auto validFrom = [](const Record& r) { return layouts::FieldBytes(r.data(), steke::kValidFrom); };
  std::erase_if(records, [&](const Record& r) { return std::strcmp(validFrom(r), date) == 0; });
  auto place = std::find_if(records.begin(), records.end(),
                            [&](const Record& r) { return CompareDates(date, validFrom(r)); });
  records.insert(place, fresh);
  int index = 0;
  for (Record& r : records) {
    layouts::SetNumber(r.data(), steke::kIndex, index++);
    if (!Insert(r.data(), kSlotSteke)) return false;
  }
  return true;
}

bool WriteReverseCharge(const RateSet& s) {
  return !s.HasReverseCharge() || PutInDateOrder(MakeRecord(kReverseChargeRate, 0, s.validFrom, "",
                                                            s.reverseChargeOutput, s.reverseChargeInput));
}

bool WriteSet(const RateSet& s) {
  return PutInDateOrder(MakeRecord(kStandardRate, 0, s.validFrom, s.standardRate, s.standardOutput,
                             s.standardInput)) &&
         PutInDateOrder(MakeRecord(kReducedRate, 0, s.validFrom, s.reducedRate, s.reducedOutput,
                             s.reducedInput)) &&
         PutInDateOrder(MakeRecord(kOtherRate, 0, s.validFrom, "", s.otherOutput, s.otherInput)) &&
         PutInDateOrder(MakeRecord(kEcRate, 0, s.validFrom, "", s.ecOutput, s.ecInput)) &&
         WriteReverseCharge(s);
}

}  // namespace

bool HasEcRecord(bool& has) {
  Record r;
  bool found = false;
  bool ok = GetGreaterOrEqualFound(r.data(), ClassKey(kEcRate), found, kByClassAndIndex);
  has = ok && found && layouts::GetNumber(r.data(), steke::kRateClass) == kEcRate;
  CloseSlot(kSlotSteke);
  return ok;
}

bool InsertFirstEcRecord(const RateSet& set) {
  Record r = MakeRecord(kEcRate, kFirstEcIndex, set.validFrom, "", set.ecOutput, set.ecInput);
  bool written = false;
  {
    StoreTransaction transaction;
    written = transaction.began() && Insert(r.data(), kSlotSteke) && WriteReverseCharge(set) &&
              transaction.Commit();
  }
  CloseSlot(kSlotSteke);
  if (!written) ShowMessage(kMessageCannotWrite);
  return written;
}

bool WriteRateSets(const std::vector<RateSet>& sets) {
  bool written = false;
  {
    StoreTransaction transaction;
    if (transaction.began()) {
      bool ok = true;
      for (const RateSet& set : sets) ok = ok && WriteSet(set);
      written = ok && transaction.Commit();
    }
  }
  CloseSlot(kSlotSteke);
  if (!written) {
    ShowMessage(kMessageCannotWrite);
    return false;
  }
  LoadRatesForToday();
  return true;
}

bool BatchBookingsWaiting(bool& waiting) {
  long count = RecordCount(kSlotBat);
  waiting = count > 0;
  return count >= 0;
}

}  // namespace talvera
