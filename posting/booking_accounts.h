// The accounts of a booking as the user types them: an account number, a
// short code (Kürzel), or in a template a placeholder ("<Debi>", "<Kred>")
// that stands for a customer or vendor named when the template is used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text_helpers.h"

namespace talvera {

inline constexpr char kDebitorPlaceholder[] = "<Debi>";
inline constexpr char kKreditorPlaceholder[] = "<Kred>";

struct AccountRef {
  AccountNo number = "";               // right-aligned; empty when not found
  AccountKind kind = kNoAccount;
  AccountKind placeholder = kNoAccount;  // kDebitor or kKreditor for a placeholder
  std::string shortCode, name;         // UTF-8
  bool found() const { return kind != kNoAccount; }
};

// kDebitor for "<Debi>", kKreditor for "<Kred>", else kNoAccount.
AccountKind PlaceholderKind(std::string_view text);

// Finds a typed account: by number first (digits only, up to 7), then by
// short code, in Sachkonten, Debitoren, Kreditoren. Not found leaves the
// kind kNoAccount. False only when the record store failed (reported).
bool ResolveAccountText(std::string_view typed, AccountRef& out);

// The record of an account of a kind (2, 4, 8) in the working year, in the
// sako or the personal layout; found = false when it is missing.
bool ReadAccountRecord(const char* number, int kind, std::vector<char>& record, bool& found);

// Whether a cost centre exists (the number as typed, right-aligned to 7).
bool CostCentreExists(std::string_view typed, bool& exists);

}  // namespace talvera
