#include "tax/federal_tax_number.h"

#include <cctype>

namespace talvera {
namespace {

// How a Land writes its numbers: F tax office, B district, U distinguishing
// number, P check digit. The federal form is prefix + the tax office's
// digits of the local number (after `skip` leading digits) + "0" + the rest.
struct StateRule {
  const char* name;
  const char* localForm;  // shown in messages
  int localDigits;
  const char* prefix;
  int skip;
  int officeDigits;
};

const StateRule kRules[kFederalStateCount] = {
    {"Baden-Württemberg", "FFBBB/UUUUP", 10, "28", 0, 2},
    {"Bayern", "FFF/BBB/UUUUP", 11, "9", 0, 3},
    {"Berlin", "FF/BBB/UUUUP", 10, "11", 0, 2},
    {"Brandenburg", "0FF/BBB/UUUUP", 11, "3", 0, 3},
    {"Bremen", "FF BBB UUUUP", 10, "24", 0, 2},
    {"Hamburg", "FF/BBB/UUUUP", 10, "22", 0, 2},
    {"Hessen", "0FF BBB UUUUP", 11, "26", 1, 2},
    {"Mecklenburg-Vorpommern", "0FF/BBB/UUUUP", 11, "4", 0, 3},
    {"Niedersachsen", "FF/BBB/UUUUP", 10, "23", 0, 2},
    {"Nordrhein-Westfalen", "FFF/BBBB/UUUP", 11, "5", 0, 3},
    {"Rheinland-Pfalz", "FF/BBB/UUUU/P", 10, "27", 0, 2},
    {"Saarland", "0FF/BBB/UUUUP", 11, "1", 0, 3},
    {"Sachsen", "2FF/BBB/UUUUP", 11, "3", 0, 3},
    {"Sachsen-Anhalt", "1FF/BBB/UUUUP", 11, "3", 0, 3},
    {"Schleswig-Holstein", "FF BBB UUUUP", 10, "21", 0, 2},
    {"Thüringen", "1FF/BBB/UUUUP", 11, "4", 0, 3},
};

constexpr std::size_t kFederalDigits = 13;

bool Digits(std::string_view text, std::string& out) {
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c))) out += c;
    else if (c != ' ' && c != '/' && c != '-' && c != '.') return false;
  }
  return true;
}

}  // namespace

FederalTaxNumberError FederalTaxNumber(int state, std::string_view local, std::string& out) {
  out.clear();
  if (state < 1 || state > kFederalStateCount) return FederalTaxNumberError::kNoState;
  const StateRule& rule = kRules[state - 1];
  std::string digits;
  if (!Digits(local, digits)) return FederalTaxNumberError::kWrongDigits;
  const std::string prefix = rule.prefix;
  if (digits.size() == kFederalDigits) {
    // Already federal: the Land's prefix, and the "0" after the tax office.
    if (digits.compare(0, prefix.size(), prefix) != 0 || digits[4] != '0')
      return FederalTaxNumberError::kWrongDigits;
    out = digits;
    return FederalTaxNumberError::kNone;
  }
  if (static_cast<int>(digits.size()) != rule.localDigits) return FederalTaxNumberError::kWrongDigits;
  std::string office = digits.substr(rule.skip, rule.officeDigits);
  std::string rest = digits.substr(rule.skip + rule.officeDigits);
  std::string federal = prefix + office + "0" + rest;
  if (federal.size() != kFederalDigits) return FederalTaxNumberError::kWrongDigits;
  out = federal;
  return FederalTaxNumberError::kNone;
}

std::string FederalTaxNumberErrorText(FederalTaxNumberError error, int state) {
  switch (error) {
    case FederalTaxNumberError::kNoState:
      return "In den Firmenstammdaten ist kein Bundesland angegeben. Ohne Bundesland kann die "
             "Steuernummer nicht in die bundeseinheitliche Form (13 Ziffern) gebracht werden.";
    case FederalTaxNumberError::kWrongDigits: {
      const StateRule& rule = kRules[state - 1];
      return std::string("Die Steuernummer der Firmenstammdaten passt nicht zum Bundesland ") +
             rule.name + ". Erwartet wird die Form " + rule.localForm +
             " oder die bundeseinheitliche Steuernummer mit 13 Ziffern.";
    }
    case FederalTaxNumberError::kNone:
      break;
  }
  return "";
}

}  // namespace talvera
