#include "core/account_lookup.h"

#include <cstring>
#include <vector>

#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/record_store.h"

namespace talvera {
namespace {

struct Place {
  int slot;
  AccountKind kind;
};

constexpr Place kSearchOrder[] = {{kSlotSako, kSachkonto}, {kSlotDebi, kDebitor},
                                  {kSlotKred, kKreditor}};
static_assert(layouts::personal::kLayout.recordLength >= layouts::sako::kLayout.recordLength);

// Searches the three files by a key field of `width` bytes. A text too long
// for the field is no account: cut to the width it could find another one.
bool Search(const char* text, int width, int keyNumber, AccountKind& kind) {
  kind = kNoAccount;
  std::size_t length = strnlen(text, width);
  if (length >= static_cast<std::size_t>(width)) return true;
  KeyValue key(text, static_cast<int>(length));
  std::vector<char> record(layouts::personal::kLayout.recordLength);
  for (const Place& place : kSearchOrder) {
    bool found = false;
    if (!GetEqual(record.data(), key, found, MakeFileId(place.slot, keyNumber))) return false;
    if (found) {
      kind = place.kind;
      return true;
    }
  }
  return true;
}

}  // namespace

bool LookUpAccount(const char* number, AccountKind& kind) {
  return Search(number, layouts::sako::kAccountNo.width, 0, kind);
}

bool LookUpShortCode(const char* code, AccountKind& kind) {
  return Search(code, layouts::sako::kShortCode.width, 1, kind);
}

}  // namespace talvera
