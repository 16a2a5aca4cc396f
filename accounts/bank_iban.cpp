#include "accounts/bank_iban.h"

#include <algorithm>
#include <cctype>

namespace talvera {
namespace {

struct CountryLength {
  char code[3];
  int length;
};

// The IBAN lengths of the registry of ISO 13616, by country code.
constexpr CountryLength kLengths[] = {
    {"AD", 24}, {"AE", 23}, {"AL", 28}, {"AT", 20}, {"AZ", 28}, {"BA", 20}, {"BE", 16},
    {"BG", 22}, {"BH", 22}, {"BR", 29}, {"BY", 28}, {"CH", 21}, {"CR", 22}, {"CY", 28},
    {"CZ", 24}, {"DE", 22}, {"DK", 18}, {"DO", 28}, {"EE", 20}, {"EG", 29}, {"ES", 24},
    {"FI", 18}, {"FO", 18}, {"FR", 27}, {"GB", 22}, {"GE", 22}, {"GI", 23}, {"GL", 18},
    {"GR", 27}, {"GT", 28}, {"HR", 21}, {"HU", 28}, {"IE", 22}, {"IL", 23}, {"IQ", 23},
    {"IS", 26}, {"IT", 27}, {"JO", 30}, {"KW", 30}, {"KZ", 20}, {"LB", 28}, {"LC", 32},
    {"LI", 21}, {"LT", 20}, {"LU", 20}, {"LV", 21}, {"MC", 27}, {"MD", 24}, {"ME", 22},
    {"MK", 19}, {"MR", 27}, {"MT", 31}, {"MU", 30}, {"NL", 18}, {"NO", 15}, {"PK", 24},
    {"PL", 28}, {"PS", 29}, {"PT", 25}, {"QA", 29}, {"RO", 24}, {"RS", 22}, {"SA", 24},
    {"SC", 31}, {"SE", 24}, {"SI", 19}, {"SK", 24}, {"SM", 27}, {"ST", 25}, {"SV", 28},
    {"TL", 23}, {"TN", 24}, {"TR", 26}, {"UA", 29}, {"VA", 22}, {"VG", 24}, {"XK", 20},
};

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string UpperWithoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\t') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The remainder modulo 97 of the number the IBAN stands for: the first four
// characters moved to the end, every letter replaced by 10 ... 35.
int Mod97(std::string_view iban) {
  std::string rearranged = std::string(iban.substr(4)) + std::string(iban.substr(0, 4));
  int remainder = 0;
  for (char c : rearranged) {
    int value = IsDigit(c) ? c - '0' : c - 'A' + 10;
    remainder = (value >= 10 ? remainder * 100 : remainder * 10) + value;
    remainder %= 97;
  }
  return remainder;
}

}  // namespace

std::string IbanElectronic(std::string_view text) { return UpperWithoutBlanks(text); }

std::string IbanPaperForm(std::string_view electronic) {
  std::string out;
  for (std::size_t i = 0; i < electronic.size(); ++i) {
    if (i > 0 && i % 4 == 0) out += ' ';
    out += electronic[i];
  }
  return out;
}

int IbanLengthOf(std::string_view country) {
  for (const CountryLength& c : kLengths)
    if (country == c.code) return c.length;
  return 0;
}

IbanFault CheckIban(std::string_view iban) {
  if (iban.size() < 5 || !IsUpper(iban[0]) || !IsUpper(iban[1]) || !IsDigit(iban[2]) ||
      !IsDigit(iban[3]) ||
      !std::all_of(iban.begin(), iban.end(), [](char c) { return IsUpper(c) || IsDigit(c); }))
    return IbanFault::kCharacters;
  int length = IbanLengthOf(iban.substr(0, 2));
  if (length == 0) return IbanFault::kCountry;
  if (static_cast<int>(iban.size()) != length) return IbanFault::kLength;
  return Mod97(iban) == 1 ? IbanFault::kNone : IbanFault::kCheckDigits;
}

std::string BicElectronic(std::string_view text) { return UpperWithoutBlanks(text); }

bool IsValidBic(std::string_view bic) {
  if (bic.size() != 8 && bic.size() != 11) return false;
  for (std::size_t i = 0; i < bic.size(); ++i) {
    char c = bic[i];
    bool ok = i < 6 ? IsUpper(c) : IsUpper(c) || IsDigit(c);
    if (!ok) return false;
  }
  return true;
}

}  // namespace talvera
