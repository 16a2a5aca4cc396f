// kore: cost centres (Kostenstellen), in the working-year directory.
//
//   Off  Width    Field
//     0      8    cost-centre number
//     8      9    short code
//    17      4    int32 id, filled by the record manager
//    21     31    name
//    52      1    unposted: 1 new, 0 after postings
//    53  12x13    period amounts, period p at 53 + 13(p-1)
//   209  13x13    budget figures: periods 1..12, then their total
//   378    115    reserved
//   493           record length
//
// K0 number; K1 short code; K2 id (unique); K3 name.
#pragma once

#include "core/amount.h"
#include "core/layouts/layout.h"

namespace talvera::layouts::kore {

inline constexpr Field kNumber = Text("number", 0, 8);
inline constexpr Field kShortCode = Text("short_code", 8, 9);
inline constexpr Field kId = AutoId("id", 17);
inline constexpr Field kName = Text("name", 21, 31);
inline constexpr Field kUnposted = Byte("unposted", 52);
inline constexpr Field kPeriodAmount = Amount("period_amount", 53).Times(12, 13);
inline constexpr Field kBudget = Amount("budget", 209).Times(13, 13);

inline constexpr Field kFields[] = {
    kNumber, kShortCode, kId, kName, kUnposted, kPeriodAmount, kBudget, Reserved(378, 115),
};

inline constexpr KeySegment kK0[] = {{kNumber}};
inline constexpr KeySegment kK1[] = {{kShortCode}};
inline constexpr KeySegment kK2[] = {{kId}};
inline constexpr KeySegment kK3[] = {{kName}};
inline constexpr Key kKeys[] = {{kK0}, {kK1}, {.segments = kK2, .unique = true}, {kK3}};

inline constexpr FieldDefault kDefaults[] = {
    {kUnposted, FieldDefault::kNumber, nullptr, 1},
    {kPeriodAmount, FieldDefault::kText, kZeroAmount},
    {kBudget, FieldDefault::kText, kZeroAmount},
};

inline constexpr const char* kFiles[] = {"kore"};
inline constexpr Layout kLayout{"kore", kFiles, 493, kFields, kKeys, kDefaults};

}  // namespace talvera::layouts::kore
