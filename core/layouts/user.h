// user: the users of the program, in the current-year directory.
//
//   Off  Width  Field
//     0      4  int32 user id, filled by the record manager
//     4     31  user name
//    35      4  int32 rights bits
//    39     16  password, scrambled
//    55     73  reserved
//   128         record length
//
// K0 id (unique); K1 user name (unique, may change: users are renamed).
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::user {

inline constexpr Field kId = AutoId("id", 0);
inline constexpr Field kName = Text("name", 4, 31);
inline constexpr Field kRights = Int32("rights", 35);
inline constexpr Field kPassword = Scrambled("password", 39, 16);

inline constexpr Field kFields[] = {kId, kName, kRights, kPassword, Reserved(55, 73)};

inline constexpr KeySegment kK0[] = {{kId}};
inline constexpr KeySegment kK1[] = {{kName}};
inline constexpr Key kKeys[] = {
    {.segments = kK0, .unique = true}, {.segments = kK1, .unique = true, .modifiable = true},
};

inline constexpr const char* kFiles[] = {"user"};
inline constexpr Layout kLayout{"user", kFiles, 128, kFields, kKeys, {}};

}  // namespace talvera::layouts::user
