// What each UStVA key number counts, and the check that an account carries
// only key numbers that fit it. The return adds up the period movements of
// every account with a key number; a key number on the wrong kind of
// account puts its amounts into the wrong line or counts a tax twice (the
// tax of standard- and reduced-rate turnover is computed from the bases, so
// the output-tax accounts of those rates must carry no key number).
#pragma once

#include <string>
#include <vector>

#include "core/charts/chart_catalog.h"
#include "tools/chart_builder/chart_source.h"

namespace talvera::charts {

enum class UstvaKind {
  kTaxFreeTurnover,     // P&L, output side, zero rate or no tax
  kTurnover,            // P&L, output side, the key's rate class (and rate)
  kTaxFreeAcquisition,  // P&L, input side, zero rate
  kAcquisition,         // P&L, EC key (with or without input tax), own rate of the key's rate class
  kOtherAcquisition,    // P&L, EC key, an own rate no standard or reduced record has
  kReverseChargeBase,   // P&L, the recipient-owes-the-tax key (with or without input tax)
  kOtherRateTax,        // output tax of rates the return does not compute from a base
  kOutputTax,           // balance-sheet output tax not computed from a base
  kEcTax,               // output tax of acquisitions the return does not compute
  kReverseChargeTax,    // output tax owed as recipient
  kInputTax,            // input-tax account of standard, reduced or other rate
  kEcInputTax,          // input tax of intra-Community acquisitions
  kReverseChargeInputTax,  // input tax of services where the recipient owes the tax
  kImportVat,           // the chart's import-VAT (EUSt) account
  kOtherInputTax,       // asset-side input tax outside the rate records
  kPrepayment,          // special prepayment: balance-sheet, no tax
};

struct UstvaKeyMeaning {
  int key;
  UstvaKind kind;
  int rateClass;      // kTurnover / kAcquisition: class whose rates fit; 0 any
  const char* rate;   // a fixed rate ("12,00"), or nullptr
};

// nullptr when the key number has no meaning in that return.
const UstvaKeyMeaning* FindUstvaKey(int key, bool austrian);

void CheckUstvaKeys(const ChartDefinition& chart, const std::vector<AccountRow>& accounts,
                    const std::vector<RateRow>& rates, const std::string& file,
                    Diagnostics& diagnostics);

}  // namespace talvera::charts
