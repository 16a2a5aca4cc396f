#include "posting/booking_accounts.h"

#include <cstring>

#include "core/cp1252.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/record_store.h"

namespace talvera {
namespace {

namespace sako = layouts::sako;
namespace personal = layouts::personal;

struct Place {
  int slot;
  AccountKind kind;
};
constexpr Place kSearchOrder[] = {{kSlotSako, kSachkonto}, {kSlotDebi, kDebitor},
                                  {kSlotKred, kKreditor}};

int SlotOfKind(int kind) {
  return kind == kSachkonto ? kSlotSako : kind == kDebitor ? kSlotDebi : kSlotKred;
}

std::string Trimmed(std::string_view text) {
  std::size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::size_t e = text.find_last_not_of(' ');
  return std::string(text.substr(b, e - b + 1));
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

void Fill(AccountRef& out, AccountKind kind, const std::vector<char>& r) {
  const layouts::Field& number = kind == kSachkonto ? sako::kAccountNo : personal::kAccountNo;
  CopyLimited(out.number, layouts::FieldBytes(r.data(), number), sizeof out.number);
  out.kind = kind;
  out.shortCode = layouts::GetText(r.data(), kind == kSachkonto ? sako::kShortCode : personal::kShortCode);
  out.name = layouts::GetText(r.data(), kind == kSachkonto ? sako::kName : personal::kName);
}

// Searches the three files on a key (0 number, 1 short code).
bool Search(const std::string& keyText, int keyNumber, AccountRef& out) {
  std::vector<char> r(personal::kLayout.recordLength);
  KeyValue key(keyText.data(), static_cast<int>(keyText.size()));
  for (const Place& place : kSearchOrder) {
    bool found = false;
    if (!GetEqual(r.data(), key, found, MakeFileId(place.slot, keyNumber))) return false;
    if (found) {
      Fill(out, place.kind, r);
      return true;
    }
  }
  return true;
}

}  // namespace

AccountKind PlaceholderKind(std::string_view text) {
  std::string t = Trimmed(text);
  if (t == kDebitorPlaceholder) return kDebitor;
  if (t == kKreditorPlaceholder) return kKreditor;
  return kNoAccount;
}

bool ResolveAccountText(std::string_view typed, AccountRef& out) {
  out = AccountRef{};
  std::string text = Trimmed(typed);
  if (text.empty()) return true;
  out.placeholder = PlaceholderKind(text);
  if (out.placeholder != kNoAccount) return true;
  if (AllDigits(text) && text.size() <= static_cast<std::size_t>(kAccountNoWidth)) {
    char number[kAccountNoWidth + 1];
    CopyLimited(number, text.c_str(), sizeof number);
    PadLeft(number, kAccountNoWidth);
    if (!Search(std::string(number, kAccountNoWidth + 1), 0, out)) return false;
    if (out.found()) return true;
  }
  std::string code = Utf8ToCp1252(text);
  if (code.size() >= static_cast<std::size_t>(sako::kShortCode.width)) return true;
  return Search(code, 1, out);
}

bool ReadAccountRecord(const char* number, int kind, std::vector<char>& record, bool& found) {
  found = false;
  record.assign(kind == kSachkonto ? sako::kLayout.recordLength : personal::kLayout.recordLength, 0);
  if (kind != kSachkonto && kind != kDebitor && kind != kKreditor) return true;
  char key[kAccountNoWidth + 1];
  CopyLimited(key, number, sizeof key);
  PadLeft(key, kAccountNoWidth);
  return GetEqual(record.data(), KeyValue(key, sizeof key), found, MakeFileId(SlotOfKind(kind), 0));
}

bool CostCentreExists(std::string_view typed, bool& exists) {
  exists = false;
  std::string text = Trimmed(typed);
  if (text.size() > static_cast<std::size_t>(kAccountNoWidth)) return true;
  char key[kAccountNoWidth + 1];
  CopyLimited(key, text.c_str(), sizeof key);
  PadLeft(key, kAccountNoWidth);
  std::vector<char> r(layouts::kore::kLayout.recordLength);
  return GetEqual(r.data(), KeyValue(key, sizeof key), exists, MakeFileId(kSlotKore, 0));
}

}  // namespace talvera
