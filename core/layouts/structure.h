// guvauf / bilaktau / bilpasau: the structure trees of the P&L statement,
// the balance-sheet assets and the balance-sheet liabilities, one layout
// for all three, in the working-year directory. Each file holds one tree of
// group nodes and account leaves.
//
//   Off  Width  Field
//     0      4  int32 node id
//     4      2  int16 node kind: 1 account leaf, 2 group, 5 alternative
//                 leaf (leaf bit 1 plus bit 4: an account of the other
//                 balance-sheet side, placed here for when its balance
//                 changes sides)
//     6      4  int32 next node below the same group, 0 after the last
//    10      4  int32 the group for a first node, the previous node
//                 otherwise
//    14      2  int16 group: level 1..3 in the high byte, display
//                 attributes in the low byte; 0 for leaves and the header.
//                 Attribute bits: 1 empty line before, 2 sum of the groups
//                 above (a computed line without accounts), 4 the year's
//                 result (balance sheet), 16 bold, 32 underlined, 64
//                 larger font
//    16     26  leaf: account number (first 8 bytes); group: group text
//    42     10  leaf: short code of the account
//    52     12  reserved
//    64         record length
//
// Node 1 is the header that anchors the tree; its children are the
// level-1 groups. Leaves that hang nowhere (next and above 0) stand for
// accounts without a group.
//
// K0 node id; K1 account number (the first 8 bytes at 16); K2 next link;
// K3 link above.
#pragma once

#include "core/layouts/layout.h"

namespace talvera::layouts::structure {

inline constexpr Field kNodeId = Int32("node_id", 0);
inline constexpr Field kNodeKind = Int16("node_kind", 4);
inline constexpr Field kNext = Int32("next", 6);
inline constexpr Field kAbove = Int32("above", 10);
inline constexpr Field kLevel = Int16("level", 14);
inline constexpr Field kLabel = Text("label", 16, 26);
inline constexpr Field kShortCode = Text("short_code", 42, 10);

// Values of kNodeKind: bit 1 a leaf, bit 2 a group, bit 4 an alternative leaf.
enum NodeKind { kLeaf = 1, kGroup = 2, kAlternativeBit = 4, kAlternativeLeaf = 5 };

// The level word of a group.
constexpr int LevelWord(int level, int attributes) { return level << 8 | attributes; }
constexpr int LevelOf(int levelWord) { return levelWord >> 8 & 0xFF; }
constexpr int AttributesOf(int levelWord) { return levelWord & 0xFF; }

inline constexpr Field kFields[] = {
    kNodeId, kNodeKind, kNext, kAbove, kLevel, kLabel, kShortCode, Reserved(52, 12),
};

inline constexpr KeySegment kK0[] = {{kNodeId}};
inline constexpr KeySegment kK1[] = {{kLabel, 8}};
inline constexpr KeySegment kK2[] = {{kNext}};
inline constexpr KeySegment kK3[] = {{kAbove}};
inline constexpr Key kKeys[] = {{kK0}, {kK1}, {kK2}, {kK3}};

inline constexpr const char* kFiles[] = {"guvauf", "bilaktau", "bilpasau"};
inline constexpr Layout kLayout{"guvauf/bilaktau/bilpasau", kFiles, 64, kFields, kKeys, {}};

}  // namespace talvera::layouts::structure
