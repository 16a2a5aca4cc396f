#include "core/journal_range.h"

#include <cstdio>
#include <cstring>

#include "core/layouts/bube.h"
#include "core/record_store.h"

namespace talvera {
namespace {

constexpr int kKeyLength = 10;

// Positions the journal on the first posting at or after firstKey; true
// when it lies at or before lastKey.
bool FirstPostingInRange(char* firstKey, const char* lastKey, void* posting) {
  char own[layouts::bube::kLayout.recordLength];
  char* record = posting ? static_cast<char*>(posting) : own;
  bool found = false;
  KeyValue key(firstKey, kKeyLength);
  bool ok = GetGreaterOrEqualFound(record, key, found, MakeFileId(kSlotBube, 0));
  const char* foundKey = layouts::FieldBytes(record, layouts::bube::kPostingKey);
  if (ok && found && std::strncmp(foundKey, lastKey, kKeyLength) <= 0) {
    std::memcpy(firstKey, foundKey, kKeyLength);
    firstKey[kKeyLength] = '\0';
    return true;
  }
  std::memcpy(firstKey, lastKey, kKeyLength + 1);
  return false;
}

}  // namespace

bool PeriodKeyRange(const char* base, PeriodSelector selector, const char* day,
                    char* firstKeyOut, char* lastKeyOut, void* posting) {
  int first, last;
  SelectorPeriods(selector, &first, &last);
  const char* firstDay = day && day[0] && day[1] ? day : "01";
  std::snprintf(firstKeyOut, kKeyLength + 1, "%.2s%02d%.2s0000", base, first, firstDay);
  std::snprintf(lastKeyOut, kKeyLength + 1, "%.2s%02d319999", base, last);
  return FirstPostingInRange(firstKeyOut, lastKeyOut, posting);
}

bool YearRangeKeys(const char* first, const char* last, char* firstKeyOut, char* lastKeyOut,
                   void* posting) {
  std::snprintf(firstKeyOut, kKeyLength + 1, "%.4s000000", first);
  std::snprintf(lastKeyOut, kKeyLength + 1, "%.4s999999", last);
  return FirstPostingInRange(firstKeyOut, lastKeyOut, posting);
}

}  // namespace talvera
