// Journal keys: YYPPDDnnnn, the posting date year first and a running
// number within the day, so that key order is date order.
#include <cstring>

#include "core/layouts/bube.h"
#include "core/record_store.h"
#include "posting/posting_state.h"

namespace talvera {

using namespace posting;
namespace bube = layouts::bube;

namespace {

constexpr FileId kByKey = MakeFileId(kSlotBube, 0);
constexpr FileId kByKeyDescending = MakeFileId(kSlotBube, 4);

void DayPrefix(const char* date, char* key) {
  key[0] = date[4];
  key[1] = date[5];
  key[2] = date[2];
  key[3] = date[3];
  key[4] = date[0];
  key[5] = date[1];
}

bool SameAccount(const char* a, const char* b) { return a[0] && std::strncmp(a, b, 7) == 0; }

}  // namespace

bool NextJournalKey(const char* postingDate, char* keyOut) {
  char probe[11];
  DayPrefix(postingDate, probe);
  std::memcpy(probe + 6, "9999", 5);
  char r[bube::kLayout.recordLength];
  bool found = false;
  // Descending key: "greater or equal" finds the highest key up to the probe.
  if (!GetGreaterOrEqualFound(r, KeyValue(probe, 10), found, kByKeyDescending)) return false;
  std::memcpy(keyOut, probe, 6);
  std::memcpy(keyOut + 6, "0000", 5);
  const char* key = layouts::FieldBytes(r, bube::kPostingKey);
  if (found && std::strncmp(key, probe, 6) == 0 &&
      std::strcmp(layouts::FieldBytes(r, bube::kPostingDate), postingDate) == 0) {
    std::memcpy(keyOut + 6, key + 6, 4);
    // Carry from the last digit leftwards; 9999 wraps to 0000 and the
    // insert then fails on the unique key: a day holds 10,000 records.
    for (int i = 9; i >= 6; --i) {
      if (keyOut[i] < '9') {
        ++keyOut[i];
        break;
      }
      keyOut[i] = '0';
    }
  }
  return true;
}

bool AlreadyCounted(const char* account, const char* journalKey, bool& counted) {
  counted = false;
  int running = 0;
  for (int i = 6; i < 10; ++i) running = running * 10 + (journalKey[i] - '0');
  char key[11];
  std::memcpy(key, journalKey, 6);
  char r[bube::kLayout.recordLength];
  for (int n = running - 1; n >= 0; --n) {
    for (int i = 9, v = n; i >= 6; --i, v /= 10) key[i] = static_cast<char>('0' + v % 10);
    key[10] = '\0';
    bool found = false;
    if (!GetEqual(r, KeyValue(key, 10), found, kByKey)) return false;
    if (!found) return true;
    if (SameAccount(account, layouts::FieldBytes(r, bube::kDebitAccount)) ||
        SameAccount(account, layouts::FieldBytes(r, bube::kCreditAccount)) ||
        SameAccount(account, layouts::FieldBytes(r, bube::kTaxAccount))) {
      counted = true;
      return true;
    }
    unsigned flags = static_cast<unsigned>(layouts::GetNumber(r, bube::kFlags));
    if ((flags & kFirstOfBooking) && !(flags & kCollectiveRecord)) return true;
  }
  return true;
}

}  // namespace talvera
