// What the structure editor does, without the screen: one tree of a year,
// the Sachkonten that may hang in it, and every edit the editor offers.
// Each edit is checked first, then tried on a copy of the tree and written
// in one transaction; only when the write succeeded does the copy become
// the tree. An edit returns 0 or the message to show (the refusal, or the
// failure after which the tree was read again).
#pragma once

#include <string>
#include <vector>

#include "core/structure_file.h"
#include "core/structure_tree.h"

namespace talvera {

// The five editors: the three trees, and the alternative assignment of
// liabilities accounts in the assets tree and of assets accounts in the
// liabilities tree.
enum class StructureEditor { kProfitAndLoss, kAssets, kLiabilities, kAssetsAlternative,
                             kLiabilitiesAlternative };
// The editor of a command (3059, 3060, 3061, 3064, 3065); false for others.
bool StructureEditorOfCommand(int command, StructureEditor& editor);

class StructureEditing {
 public:
  // Works on the files of a year directory; nothing is read yet.
  StructureEditing(StructureEditor editor, std::string directory);
  // Works on the given tree and accounts in memory only (the gallery).
  StructureEditing(StructureEditor editor, StructureTree tree, std::vector<ClassAccount> accounts);

  // Reads the tree and the accounts; false means message 115.
  bool Load();
  StructureEditor editor() const { return editor_; }
  StructureKind kind() const { return kind_; }
  bool alternative() const { return alternative_; }
  const std::string& directory() const { return directory_; }
  const StructureTree& tree() const { return tree_; }
  // "GUV-AUFBAU", "AUSWEICHAUFBAU FÜR PASSIVA-KONTEN", ...
  const char* Caption() const;

  // The entries of the left list: groups down to `depth`, and with
  // `withAccounts` the leaves of this editor's kind in the groups shown.
  std::vector<int> Shown(int depth, bool withAccounts) const;
  // The accounts of this editor's class that hang nowhere in the tree.
  std::vector<const ClassAccount*> Unassigned() const;
  const ClassAccount* Account(const std::string& number) const;
  // "1200 Bank" for a leaf, the name for a group.
  std::string EntryText(int handle) const;

  int DropAccount(const std::string& account, int target);  // 120, 121
  int TakeOut(int entry);                                    // 122, 123
  // A tree entry dropped onto another: a leaf onto a group (120, 124), a
  // group onto a group (139, 125, 126).
  int MoveEntry(int entry, int target);
  // The new group's handle in `created`.
  int NewGroup(int selection, const std::string& name, int level, int attributes,
               int* created = nullptr);                                           // 116
  int ChangeGroup(int group, const std::string& name, int attributes);            // 1, 117
  int ChangeAttributes(int group, int attributes);                                // 1, 118
  int DeleteGroup(int group);                                                     // 1, 104

 private:
  // Writes `changed`; on success it becomes the tree, else the tree is read
  // again and `failure` is returned.
  int Commit(StructureTree changed, int failure);

  StructureEditor editor_;
  StructureKind kind_;
  bool alternative_;
  std::string directory_;  // empty: in memory only
  StructureTree tree_;
  std::vector<ClassAccount> accounts_;  // of the editor's class, in number order
};

}  // namespace talvera
