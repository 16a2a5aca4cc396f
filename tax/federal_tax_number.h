// The tax number in its 13-digit federal form, as electronic returns carry
// it, made from the form printed on the tax office's letters. Each
// Bundesland writes its numbers its own way; all of them become
//   prefix of the Land, tax office, "0", district and distinguishing number
// so that the first four digits name the tax office nationwide.
#pragma once

#include <string>
#include <string_view>

namespace talvera {

// Bundesland codes of the company master, 1..16 in the alphabetical order
// of its list ("Baden-Württemberg" .. "Thüringen"); 0: none chosen.
constexpr int kFederalStateCount = 16;

enum class FederalTaxNumberError {
  kNone,
  kNoState,      // no Bundesland chosen
  kWrongDigits,  // the number has not the digits the Land writes
};

// Converts a tax number as printed locally ("181/815/08155") or already in
// the federal form ("9181081508155"); separators (blank, '/', '-', '.') are
// ignored. On failure `out` stays empty.
FederalTaxNumberError FederalTaxNumber(int federalState, std::string_view local, std::string& out);

// The clear German message for a failure, naming the expected form.
std::string FederalTaxNumberErrorText(FederalTaxNumberError error, int federalState);

}  // namespace talvera
