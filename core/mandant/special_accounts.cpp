#include "core/mandant/special_accounts.h"

#include <cstdio>
#include <cstring>

#include "core/charts/chart_catalog.h"
#include "core/text_helpers.h"

namespace talvera {
namespace {

enum : int {
  kMessageDigitsOnly = 3,
  kMessageNumberMissing = 500,
  kMessageNumbersEqual = 501,
  kMessageShortCodeMissing = 509,
  kMessageShortCodesEqual = 508,
  kMessageCarryForwardReserved = 512,
};

bool Blank(const char* text) {
  while (*text == ' ') ++text;
  return *text == '\0';
}

int CheckRow(SpecialAccountValue& v, bool& numberField) {
  numberField = true;
  if (Blank(v.number)) return kMessageNumberMissing;
  if (!IsDigitsOnly(v.number)) return kMessageDigitsOnly;
  TrimLeft(v.number);
  PadLeft(v.number, kAccountNoWidth);
  if (std::strcmp(v.number, kCarryForwardAccount) == 0) return kMessageCarryForwardReserved;
  numberField = false;
  if (Blank(v.shortCode)) return kMessageShortCodeMissing;
  return 0;
}

}  // namespace

SpecialAccountSet DefaultSpecialAccounts() {
  SpecialAccountSet set;
  auto defaults = charts::BasicChartSpecialAccounts();
  for (std::size_t i = 0; i < set.size() && i < defaults.size(); ++i) {
    std::snprintf(set[i].number, sizeof set[i].number, "%s", defaults[i].number);
    std::snprintf(set[i].shortCode, sizeof set[i].shortCode, "%s", defaults[i].shortCode);
  }
  return set;
}

SpecialAccountSet& CurrentSpecialAccounts() {
  static SpecialAccountSet set = DefaultSpecialAccounts();
  return set;
}

int CheckSpecialAccounts(SpecialAccountSet& set, int& row, bool& numberField) {
  for (row = 0; row < static_cast<int>(set.size()); ++row)
    if (int message = CheckRow(set[row], numberField)) return message;
  for (row = 0; row < static_cast<int>(set.size()); ++row) {
    for (int other = 0; other < row; ++other) {
      if (std::strcmp(set[row].number, set[other].number) == 0) {
        numberField = true;
        return kMessageNumbersEqual;
      }
    }
  }
  for (row = 0; row < static_cast<int>(set.size()); ++row) {
    for (int other = 0; other < row; ++other) {
      if (std::strcmp(set[row].shortCode, set[other].shortCode) == 0) {
        numberField = false;
        return kMessageShortCodesEqual;
      }
    }
  }
  row = -1;
  return 0;
}

}  // namespace talvera
