// IBAN (ISO 13616) and BIC (ISO 9362) of a bank connection: the forms they
// are written in and their checks.
#pragma once

#include <string>
#include <string_view>

namespace talvera {

// What is wrong with an IBAN.
enum class IbanFault {
  kNone,
  kCharacters,   // not country letters, two check digits, letters and digits
  kCountry,      // a country without IBAN
  kLength,       // not the length of the country's IBAN
  kCheckDigits,  // the mod-97 check fails
};

// The electronic form: blanks removed, letters upper case.
std::string IbanElectronic(std::string_view text);
// The paper form: groups of four ("DE89 3704 0044 0532 0130 00").
std::string IbanPaperForm(std::string_view electronic);
// Length of the IBANs of a country ("DE" 22), 0 for a country without IBAN.
int IbanLengthOf(std::string_view country);
// Checks an IBAN in electronic form.
IbanFault CheckIban(std::string_view electronic);

// Upper case without blanks.
std::string BicElectronic(std::string_view text);
// Four letters for the bank, two for the country, two letters or digits for
// the place, optionally three for the branch.
bool IsValidBic(std::string_view electronic);

}  // namespace talvera
