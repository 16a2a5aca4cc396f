#include "accounts/account_lists.h"

#include <cstring>

#include "core/amount.h"
#include "core/layouts/account_balance.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/record_store.h"

namespace talvera {

namespace {

namespace S = layouts::sako;
namespace P = layouts::personal;
namespace K = layouts::kore;

constexpr int kLargestRecord = 1024;

struct ListInfo {
  int slot;
  AccountKind kind;
  int keys[4];  // key number per order, -1 when the kind has none
  const layouts::Field* fields[4];  // the field of each order
  const layouts::Field* town;
};

const ListInfo& InfoOf(AccountFile file) {
  static const ListInfo infos[] = {
      {kSlotSako, kSachkonto, {0, 1, 5, -1}, {&S::kAccountNo, &S::kShortCode, &S::kName, nullptr}, nullptr},
      {kSlotDebi, kDebitor, {0, 1, 4, 5}, {&P::kAccountNo, &P::kShortCode, &P::kName, &P::kPostalCode}, &P::kTown},
      {kSlotKred, kKreditor, {0, 1, 4, 5}, {&P::kAccountNo, &P::kShortCode, &P::kName, &P::kPostalCode}, &P::kTown},
      {kSlotKore, kNoAccount, {0, 1, 3, -1}, {&K::kNumber, &K::kShortCode, &K::kName, nullptr}, nullptr},
  };
  return infos[static_cast<int>(file)];
}

std::string WithoutLeadingBlanks(const std::string& s) {
  std::size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

bool BeginsWith(const std::string& field, const std::string& wanted) {
  return WithoutLeadingBlanks(field).compare(0, wanted.size(), wanted) == 0;
}

AccountListEntry EntryOf(const ListInfo& info, const char* record) {
  AccountListEntry e;
  e.number = layouts::GetText(record, *info.fields[0]);
  e.shortCode = layouts::GetText(record, *info.fields[1]);
  e.name = layouts::GetText(record, *info.fields[2]);
  if (info.fields[3]) e.postalCode = layouts::GetText(record, *info.fields[3]);
  if (info.town) e.town = layouts::GetText(record, *info.town);
  AmountText balance;
  char side = 0;
  if (info.kind != kNoAccount && layouts::AccountBalance(record, info.kind, balance, &side)) {
    AmountDisplayText shown;
    CopyLimited(shown, balance, sizeof shown);
    AmountFormatQuiet(shown);
    e.balance = std::string(shown) + " " + side;
  }
  return e;
}

const std::string& FieldOfOrder(const AccountListEntry& e, AccountOrder order) {
  const std::string* fields[] = {&e.number, &e.shortCode, &e.name, &e.postalCode};
  return *fields[static_cast<int>(order)];
}

// The key value of a text typed for a field: as the record would hold it.
KeyValue KeyOfText(const layouts::Field& field, const std::string& text) {
  char scratch[kLargestRecord] = {};
  layouts::SetText(scratch, field, text);
  return KeyValue(layouts::FieldBytes(scratch, field), field.width);
}

std::string RightAligned(const std::string& digits) {
  char out[16];
  std::snprintf(out, sizeof out, "%7s", digits.c_str());
  return out;
}

}  // namespace

bool ListAccounts(AccountFile file, AccountOrder order, const std::string& prefix,
                  std::vector<AccountListEntry>& out) {
  out.clear();
  AccountPages pages(file, order, prefix);
  while (!pages.atEnd())
    if (!pages.ReadMore(1000, out)) return false;
  return true;
}

AccountPages::AccountPages(AccountFile file, AccountOrder order, std::string prefix)
    : file_(file), order_(order), prefix_(WithoutLeadingBlanks(prefix)) {}

bool AccountPages::Continue(void* record, bool& found) {
  const ListInfo& info = InfoOf(file_);
  FileId id = MakeFileId(info.slot, info.keys[static_cast<int>(order_)]);
  if (!GetDirectFound(record, position_, found, id)) return false;
  if (found) return GetNextFound(record, found, id);
  // The last account read is gone: go on after its key.
  const layouts::Field& field = *info.fields[static_cast<int>(order_)];
  if (!GetGreaterOrEqualFound(record, KeyValue(lastKey_.data(), static_cast<int>(lastKey_.size())), found, id))
    return false;
  while (found && std::memcmp(layouts::FieldBytes(record, field), lastKey_.data(), lastKey_.size()) == 0)
    if (!GetNextFound(record, found, id)) return false;
  return true;
}

bool AccountPages::ReadMore(int count, std::vector<AccountListEntry>& out) {
  const ListInfo& info = InfoOf(file_);
  int key = info.keys[static_cast<int>(order_)];
  if (key < 0) return false;
  if (atEnd_) return true;
  FileId id = MakeFileId(info.slot, key);
  const layouts::Field& field = *info.fields[static_cast<int>(order_)];
  char record[kLargestRecord];
  bool found = false;
  bool ok = started_ ? Continue(record, found) : GetFirstFound(record, found, id);
  started_ = true;
  int added = 0;
  for (; ok && found; ok = GetNextFound(record, found, id)) {
    AccountListEntry e = EntryOf(info, record);
    if (!BeginsWith(FieldOfOrder(e, order_), prefix_)) continue;
    out.push_back(std::move(e));
    if (++added < count) continue;
    lastKey_.assign(layouts::FieldBytes(record, field), field.width);
    return GetPosition(info.slot, position_);
  }
  if (ok) atEnd_ = true;
  return ok;
}

bool FindAccountForSelection(AccountFile file, AccountOrder order, const std::string& typed,
                             std::string& number, bool& found) {
  found = false;
  number.clear();
  const ListInfo& info = InfoOf(file);
  int key = info.keys[static_cast<int>(order)];
  std::string wanted = WithoutLeadingBlanks(typed);
  if (key < 0 || wanted.empty()) return key >= 0;
  FileId id = MakeFileId(info.slot, key);
  char record[kLargestRecord];
  if (order != AccountOrder::kNumber) {
    bool any = false;
    if (!GetGreaterOrEqualFound(record, KeyOfText(*info.fields[static_cast<int>(order)], wanted), any, id))
      return false;
    if (!any) return true;
    AccountListEntry e = EntryOf(info, record);
    found = BeginsWith(FieldOfOrder(e, order), wanted);
    if (found) number = e.number;
    return true;
  }
  // The typed digits as a number of their own, then as the start of ever
  // longer numbers.
  for (std::size_t length = wanted.size(); length <= 7; ++length) {
    std::string candidate = RightAligned(wanted + std::string(length - wanted.size(), '0'));
    bool any = false;
    if (!GetGreaterOrEqualFound(record, KeyValue(candidate.c_str(), 8), any, id)) return false;
    if (!any) continue;
    std::string at = WithoutLeadingBlanks(layouts::GetText(record, *info.fields[0]));
    if (at.size() == length && BeginsWith(at, wanted)) {
      found = true;
      number = layouts::GetText(record, *info.fields[0]);
      return true;
    }
  }
  return true;
}

bool ReadAccountEntry(AccountFile file, const std::string& number, AccountListEntry& out, bool& found) {
  const ListInfo& info = InfoOf(file);
  char record[kLargestRecord];
  std::string key = RightAligned(WithoutLeadingBlanks(number));
  if (!GetEqual(record, KeyValue(key.c_str(), 8), found, MakeFileId(info.slot, 0))) return false;
  if (found) out = EntryOf(info, record);
  return true;
}

}  // namespace talvera
