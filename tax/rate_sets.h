// New rate sets: a standard, a reduced, an "other" and an EG rate record
// with one valid-from date, written together. Each new record takes the
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
};

// Whether the year has an EG rate record yet.
bool HasEcRecord(bool& has);
// The first EG record of a year (index 65535), written at once.
bool InsertFirstEcRecord(const RateSet& set);
// Writes the sets, oldest first, in one transaction; message 81 and nothing
// written on failure. Afterwards the rates in force are those of today.
bool WriteRateSets(const std::vector<RateSet>& sets);
// Batch bookings wait in bat (they should be posted again after a rate change).
bool BatchBookingsWaiting(bool& waiting);

}  // namespace talvera
