// The scrambled form of the passwords kept in the Mandant master record and
// the user file: character i is stored as its code minus 31 when i is even
// and minus 24 when i is odd (8-bit arithmetic); the NUL stays.
#pragma once

#include <string>
#include <string_view>

#include "core/layouts/layout.h"

namespace talvera::layouts {

// In place. False, leaving the text unchanged, when a character would be
// stored as NUL (code 31 at an even, 24 at an odd position): the stored
// password would end there and a shorter one would open the account.
bool ScrambleText(char* text);
void UnscrambleText(char* text);

// A password field (kScrambled) read as plain UTF-8 and written from it.
// A password is never stored cut short: a text longer than width - 1 bytes
// or with a character the scrambled form cannot hold is refused (false)
// and the field left unchanged.
std::string GetPassword(const void* record, const Field& field);
bool SetPassword(void* record, const Field& field, std::string_view utf8);

}  // namespace talvera::layouts
