#include "accounts/account_lists.h"

#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/record_store.h"

namespace talvera {

namespace {

namespace S = layouts::sako;
namespace P = layouts::personal;
namespace K = layouts::kore;

struct ListInfo {
  int slot;
  int keys[4];  // key number per order, -1 when the kind has none
  const layouts::Field* number;
  const layouts::Field* shortCode;
  const layouts::Field* name;
  const layouts::Field* postalCode;
};

const ListInfo& InfoOf(AccountFile file) {
  static const ListInfo infos[] = {
      {kSlotSako, {0, 1, 5, -1}, &S::kAccountNo, &S::kShortCode, &S::kName, nullptr},
      {kSlotDebi, {0, 1, 4, 5}, &P::kAccountNo, &P::kShortCode, &P::kName, &P::kPostalCode},
      {kSlotKred, {0, 1, 4, 5}, &P::kAccountNo, &P::kShortCode, &P::kName, &P::kPostalCode},
      {kSlotKore, {0, 1, 3, -1}, &K::kNumber, &K::kShortCode, &K::kName, nullptr},
  };
  return infos[static_cast<int>(file)];
}

std::string WithoutLeadingBlanks(const std::string& s) {
  std::size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

}  // namespace

bool ListAccounts(AccountFile file, AccountOrder order, const std::string& prefix,
                  std::vector<AccountListEntry>& out) {
  out.clear();
  const ListInfo& info = InfoOf(file);
  int key = info.keys[static_cast<int>(order)];
  if (key < 0) return false;
  std::string wanted = WithoutLeadingBlanks(prefix);
  FileId id = MakeFileId(info.slot, key);
  char record[1024];
  bool found = false;
  bool ok = GetFirstFound(record, found, id);
  for (; ok && found; ok = GetNextFound(record, found, id)) {
    AccountListEntry e;
    e.number = layouts::GetText(record, *info.number);
    e.shortCode = layouts::GetText(record, *info.shortCode);
    e.name = layouts::GetText(record, *info.name);
    if (info.postalCode) e.postalCode = layouts::GetText(record, *info.postalCode);
    const std::string* fields[] = {&e.number, &e.shortCode, &e.name, &e.postalCode};
    if (WithoutLeadingBlanks(*fields[static_cast<int>(order)]).compare(0, wanted.size(), wanted) == 0)
      out.push_back(std::move(e));
  }
  return ok;
}

}  // namespace talvera
