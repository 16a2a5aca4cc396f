// kurse: currency rates, in the current-year directory.
//
//   Off  Width  Field
//     0      5  currency code
//     5      7  valid from, year-first (YYPPDD) so the key lists by date
//    12     13  rate (amount text)
//    25      1  average rate (Durchschnittskurs)
//    26      2  int16 unit count (Einheitenanzahl)
//    28     30  reserved
//    58         record length
//
// K0 currency code + valid-from date.
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::kurse {

inline constexpr Field kCurrency = Text("currency", 0, 5);
inline constexpr Field kValidFrom = SortDate("valid_from", 5, 7);
inline constexpr Field kRate = Amount("rate", 12);
inline constexpr Field kAverageRate = Byte("average_rate", 25);
inline constexpr Field kUnits = Int16("units", 26);

inline constexpr Field kFields[] = {
    kCurrency, kValidFrom, kRate, kAverageRate, kUnits, Reserved(28, 30),
};

inline constexpr KeySegment kK0[] = {{kCurrency}, {kValidFrom}};
inline constexpr Key kKeys[] = {{kK0}};

inline constexpr const char* kFiles[] = {"kurse"};
inline constexpr Layout kLayout{"kurse", kFiles, 58, kFields, kKeys, {}};

}  // namespace talvera::layouts::kurse
