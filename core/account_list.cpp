#include "core/account_list.h"

#include "core/layouts/sako.h"
#include "core/record_store.h"

namespace talvera {

bool ListSachkonten(bool byNumber, std::vector<AccountEntry>& out) {
  namespace sako = layouts::sako;
  out.clear();
  // Key 0 is the account number, key 2 short code + number.
  FileId id = MakeFileId(kSlotSako, byNumber ? 0 : 2);
  char r[sako::kLayout.recordLength];
  bool found = false;
  bool wasOpen = IsSlotOpen(kSlotSako);
  bool ok = GetFirstFound(r, found, id);
  while (ok && found) {
    out.push_back({layouts::GetText(r, sako::kAccountNo), layouts::GetText(r, sako::kShortCode),
                   layouts::GetText(r, sako::kName)});
    ok = GetNextFound(r, found, id);
  }
  if (!wasOpen) CloseSlot(kSlotSako);
  return ok;
}

}  // namespace talvera
