// The records of a structure tree file (guvauf, bilaktau, bilpasau) and
// reading and writing a whole tree through the record store.
//
// Writing replaces every record of the file: the header becomes node 1,
// the entries follow in print order with ids 2, 3, ..., and the loose
// leaves come last without links. Within a group the children form a
// chain: `next` names the following child (0 after the last); `above`
// names the group for the first child and the previous child otherwise.
// Reading follows the same links from node 1, so what was written reads
// back as the same tree.
#pragma once

#include <string>
#include <vector>

#include "core/structure_tree.h"

namespace talvera {

struct StructureRecord {
  int id = 0;
  int kind = 0;       // layouts::structure::NodeKind
  int next = 0;
  int above = 0;
  int levelWord = 0;
  std::string label;      // group name (UTF-8) or account number
  std::string shortCode;  // leaf
  bool operator==(const StructureRecord&) const = default;
};

// The records of a tree, in id order.
std::vector<StructureRecord> StructureRecords(const StructureTree& tree);
// The tree the records describe. Records that no link reaches are dropped,
// except normal leaves, which stay as loose leaves. An empty file gives an
// empty tree; records without a header give false.
bool TreeFromRecords(const std::vector<StructureRecord>& records, StructureTree& out);

// <directory>/<file>.btr
std::string StructurePath(const std::string& directory, StructureKind kind);

// Every record of the file, in id order; false when it cannot be read (the
// record store has reported why).
bool ReadStructureRecords(const std::string& path, std::vector<StructureRecord>& out);
bool LoadStructure(const std::string& path, StructureTree& out);

// Inserts the tree's records into the empty file open in `slot`, without
// a transaction of its own.
bool InsertStructureRecords(const StructureTree& tree, int slot);
// Replaces the records of the file with the tree's, in one transaction.
bool SaveStructure(const std::string& path, const StructureTree& tree);
// The same inside the caller's transaction; the file's directory must be
// in use (recman::UseDirectory) before that transaction began.
bool ReplaceStructureRecords(const std::string& path, const StructureTree& tree);

// A Sachkonto as the trees see it.
struct ClassAccount {
  std::string number;     // "   1200"
  std::string shortCode;  // UTF-8
  std::string name;       // UTF-8
  int accountClass = 0;
};
// The Sachkonten of a year directory in number order; with a class only
// those of that class.
bool ReadClassAccounts(const std::string& directory, int accountClass,
                       std::vector<ClassAccount>& out);

}  // namespace talvera
