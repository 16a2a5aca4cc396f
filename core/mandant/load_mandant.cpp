#include "core/mandant/load_mandant.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/layouts/scramble.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"

namespace talvera {
namespace {

namespace F = layouts::fista;

constexpr int kMessageNotInitialised = 80;

const char* const kMonthNames[12] = {"Januar", "Februar", "März",      "April",
                                     "Mai",    "Juni",    "Juli",      "August",
                                     "September", "Oktober", "November", "Dezember"};

template <std::size_t N>
void Put(char (&out)[N], const std::string& text) {
  std::snprintf(out, N, "%s", text.c_str());
}

void RotateMonthNames(MandantValues& m) {
  for (int i = 0; i < 12; ++i)
    Put(m.monthNames[i], kMonthNames[(m.fiscalStartMonth - 1 + i) % 12]);
}

// The first day of the current fiscal year is always day 1 of period 1; the
// day before depends on the length of the previous year's last period.
void ComputeYearBounds(MandantValues& m) {
  m.firstDay[0] = m.dayBefore[0] = '\0';
  int year = std::atoi(m.currentYear);
  if (year < 1980) return;
  MakePeriodDate(m.firstDay, 1, 1, year - 1980);
  std::memcpy(m.dayBefore, m.firstDay, sizeof m.dayBefore);
  if (!PreviousDay(m.dayBefore)) m.dayBefore[0] = '\0';
}

}  // namespace

void TakeMandantValues(int number, const void* record) {
  MandantValues& m = CurrentMandant();
  m.number = number;
  int month = static_cast<int>(layouts::GetNumber(record, F::kFiscalStartMonth));
  m.fiscalStartMonth = month >= 1 && month <= 12 ? month : 1;
  m.cashBasis = layouts::GetNumber(record, F::kTaxationBasis) == 1;
  Put(m.cashBasisAccount, layouts::GetText(record, F::kVatNotDueAccount));
  m.passwordOn = layouts::GetNumber(record, F::kPasswordOn) == 1;
  Put(m.accessPassword, layouts::GetPassword(record, F::kAccessPassword));
  Put(m.evaluationPassword, layouts::GetPassword(record, F::kEvaluationPassword));
  Put(m.companyName, layouts::GetText(record, F::kCompanyName));
  std::string taxNumber = layouts::GetText(record, F::kTaxNumberShort);
  Put(m.taxNumber, taxNumber.empty() ? layouts::GetText(record, F::kTaxNumberLong) : taxNumber);
  Put(m.taxOffice, layouts::GetText(record, F::kTaxOffice));
  Put(m.vatId, layouts::GetText(record, F::kVatId));
  Put(m.receivablesAccount, layouts::GetText(record, F::kReceivablesAccount));
  Put(m.payablesAccount, layouts::GetText(record, F::kPayablesAccount));
  Put(m.carryForwardAccount, layouts::GetText(record, F::kCarryForwardAccount));
  std::memcpy(m.masterRecord, record, sizeof m.masterRecord);
  SetMandantNumber(number);
  // Also sets the years in the Mandant values and makes the current year the working year.
  SetFiscalYears(layouts::GetText(record, F::kCurrentYear),
                 layouts::GetText(record, F::kPreviousYear));
  RotateMonthNames(m);
  ComputeYearBounds(m);
}

bool LoadMandant(int number) {
  ReadMandantSettings(number);
  char record[F::kLayout.recordLength] = {};
  bool found = false;
  bool ok = ReadMandantRecord(number, record, found);
  if (!ok || !found) {
    ShowMessage(kMessageNotInitialised);
    return false;
  }
  TakeMandantValues(number, record);
  return true;
}

}  // namespace talvera
