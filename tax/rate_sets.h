// New rate sets: a standard, a reduced, an "other", an EG and a § 13b rate
// record with one valid-from date, written together (the § 13b record only
// when the set names its accounts: books outside Germany have none). Each new record takes the
// place of its date in its class (index 0 is the newest, whatever the order
// of entry) and the records behind it move up; a new record with the date
// of an existing one replaces it.
#pragma once

#include <vector>

#include "tax/tax_rates.h"

namespace talvera {

struct RateSet {
  PeriodDate validFrom = "";
  RateText standardRate = "";
  AccountNo standardOutput = "", standardInput = "";
  RateText reducedRate = "";
  AccountNo reducedOutput = "", reducedInput = "";
  AccountNo otherOutput = "", otherInput = "";
  AccountNo ecOutput = "", ecInput = "";
  AccountNo reverseChargeOutput = "", reverseChargeInput = "";

  bool HasReverseCharge() const { return reverseChargeOutput[0] != '\0' || reverseChargeInput[0] != '\0'; }
};

// Whether the year has an EG rate record yet.
bool HasEcRecord(bool& has);
// The first EG record of a year (index 65535), written at once, with the
// set's § 13b record when it names one; message 81 and nothing written on
// failure.
bool InsertFirstEcRecord(const RateSet& set);
// Writes the sets, oldest first, in one transaction; message 81 and nothing
// written on failure. Afterwards the rates in force are those of today.
bool WriteRateSets(const std::vector<RateSet>& sets);
// Batch bookings wait in bat (they should be posted again after a rate change).
bool BatchBookingsWaiting(bool& waiting);

}  // namespace talvera
