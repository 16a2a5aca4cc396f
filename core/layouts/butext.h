// butext: booking texts offered in the posting dialogs, in the current-year
// directory.
//
//   Off  Width  Field
//     0     36  booking text
//    36      4  int32 id, filled by the record manager
//    40     24  reserved
//    64         record length
//
// K0 text (duplicates allowed: a new file holds "Reisekosten" twice);
// K1 id (unique).
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::butext {

inline constexpr Field kText = Text("text", 0, 36);
inline constexpr Field kId = AutoId("id", 36);

inline constexpr Field kFields[] = {kText, kId, Reserved(40, 24)};

inline constexpr KeySegment kK0[] = {{kText}};
inline constexpr KeySegment kK1[] = {{kId}};
inline constexpr Key kKeys[] = {{kK0}, {.segments = kK1, .unique = true}};

// The rows of a new file, in this order.
inline constexpr const char* kDefaultRows[] = {
    "Zahlung",          "Telefon",          "Sonstiges",   "Bürobedarf", "Barabhebung",
    "Reisekosten",      "Zeitschriften",    "Postwertzeichen", "Ausgangsrechnung",
    "Eingangsrechnung", "Kraftstoff",       "Reisekosten", "Werbung",
};

inline constexpr const char* kFiles[] = {"butext"};
inline constexpr Layout kLayout{"butext", kFiles, 64, kFields, kKeys, {}};

}  // namespace talvera::layouts::butext
