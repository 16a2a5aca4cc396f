// steke: tax rates, in the working-year directory.
//
//   Off  Width  Field
//     0      2  uint16 rate class: 2 standard, 4 reduced, 8 zero, 16 other, 128 EC
//     2      2  uint16 index within the class
//     4      7  valid from
//    11      6  rate
//    17      8  output-tax account (Umsatzsteuer)
//    25      8  input-tax account (Vorsteuer)
//    33      1  reserved
//    34         record length
//
// K0 rate class; K1 index; K2 rate class + index.
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::steke {

inline constexpr Field kRateClass = UInt16("rate_class", 0);
inline constexpr Field kIndex = UInt16("index", 2);
inline constexpr Field kValidFrom = Date("valid_from", 4);
inline constexpr Field kRate = Rate("rate", 11);
inline constexpr Field kOutputTaxAccount = Account("output_tax_account", 17);
inline constexpr Field kInputTaxAccount = Account("input_tax_account", 25);

inline constexpr Field kFields[] = {
    kRateClass, kIndex, kValidFrom, kRate, kOutputTaxAccount, kInputTaxAccount, Reserved(33, 1),
};

inline constexpr KeySegment kK0[] = {{kRateClass}};
inline constexpr KeySegment kK1[] = {{kIndex}};
inline constexpr KeySegment kK2[] = {{kRateClass}, {kIndex}};
inline constexpr Key kKeys[] = {{kK0}, {kK1}, {kK2}};

inline constexpr const char* kFiles[] = {"steke"};
inline constexpr Layout kLayout{"steke", kFiles, 34, kFields, kKeys, {}};

}  // namespace talvera::layouts::steke
