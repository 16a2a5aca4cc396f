// Tax rates through time. The file steke keeps the Mandant's rate records,
// each valid from a date; within a class, index 0 is the newest record and
// indexes grow with age (the first EG record of a year carries 65535). The
// posting engine picks the record valid at a booking's document date; the
// entry dialogs propose rates from a Sachkonto's tax key.
#pragma once

#include <vector>

#include "core/amount.h"
#include "core/period_date.h"
#include "core/text_helpers.h"

namespace talvera {

// Rate classes; 32 in a tax key marks an input-tax (Vorsteuer) account.
// The recipient of a § 13b service owes its tax: like an EG acquisition,
// the booking carries no tax and the engine writes output and input tax.
enum RateClass : int {
  kReverseChargeRate = 1,
  kStandardRate = 2,
  kReducedRate = 4,
  kZeroRateClass = 8,
  kOtherRate = 16,
  kInputTaxBit = 32,
  kEcRate = 128,
};
constexpr int kFirstEcIndex = 65535;

struct RateRecord {
  int rateClass = 0;
  int index = 0;
  PeriodDate validFrom = "";
  RateText rate = "";
  AccountNo outputTaxAccount = "";
  AccountNo inputTaxAccount = "";
};

// The standard and the reduced rate valid at a date, with the index of the
// standard-rate record. Set for today when a Mandant is opened and after
// rates change; the posting engine replaces them for each posting.
struct RatesInForceValue {
  RateText standard = "";
  RateText reduced = "";
  int standardIndex = 0;
};
RatesInForceValue& CurrentRatesInForce();

// Sets the rates in force for `date`; false when the store failed or no
// standard-rate record is valid then.
bool RatesInForce(const char* date);
// The same for today; the seam the record store calls when it opens a Mandant's files.
bool LoadRatesForToday();
// Makes opening the main files load the rates in force.
void InstallRateLoading();
// Keeps the rates in force and puts them back when it goes out of scope.
class RatesInForceGuard {
 public:
  RatesInForceGuard() : saved_(CurrentRatesInForce()) {}
  ~RatesInForceGuard() { CurrentRatesInForce() = saved_; }
  RatesInForceGuard(const RatesInForceGuard&) = delete;
  RatesInForceGuard& operator=(const RatesInForceGuard&) = delete;

 private:
  RatesInForceValue saved_;
};

// Class of a tax key or class byte: its low five bits, or 128 when bit 128 is set.
int RateClassOf(int classByte);
// The record of a class valid at a date; found = false when there is none.
bool RateRecordAt(int classByte, const char* date, RateRecord& out, bool& found);
// The record of a class with a given index; found = false when there is none.
bool RateRecordByIndex(int rateClass, int index, RateRecord& out, bool& found);
// The record whose rate equals `rate` among those valid at the date (the
// first "other rate" record when none equals it); its class gets +64 when it
// is older than that first record. Nothing: message 92 and false.
bool RateRecordForRate(const char* rate, const char* date, RateRecord& out);
// The account (leading blanks ignored) is the import-VAT account or a tax
// account of a record valid at the date.
bool IsTaxAccount(const char* account, const char* date);

// Every record of a class, newest first.
bool ListRateRecords(int rateClass, std::vector<RateRecord>& out);

// The classes whose records carry tax accounts, in the order of the rate
// maintenance groups.
inline constexpr int kClassesWithRecords[] = {kStandardRate, kReducedRate, kOtherRate, kEcRate,
                                              kReverseChargeRate};

// The rate classes a Sachkonto's tax key may name, with the names the user
// sees, in the order of the account dialog's list. Classes 16, 128 and 1
// take the account's own rate.
struct RateClassName {
  int rateClass;
  const char* name;
  bool ownRate;
};
inline constexpr RateClassName kRateClassNames[] = {
    {kStandardRate, "Regelsatz", false},   {kReducedRate, "ermäßigter Satz", false},
    {kOtherRate, "sonstiger Satz", true},  {kEcRate, "EG-Steuersatz", true},
    {kZeroRateClass, "Nullsteuersatz", false}, {kReverseChargeRate, "§ 13b-Steuersatz", true},
};
// The name of a class ("" for none of them).
const char* RateClassNameOf(int rateClass);

// Message 794: a § 13b booking dated `date` finds no § 13b rate record.
void ReportMissingReverseChargeRate(const char* date);

}  // namespace talvera
