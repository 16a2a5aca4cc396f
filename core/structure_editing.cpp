#include "core/structure_editing.h"

#include <algorithm>

namespace talvera {

namespace {

constexpr int kMessageSelect = 1;
constexpr int kMessageNotAssigned = 121;
constexpr int kMessageNotTakenOut = 123;
constexpr int kMessageAccountNotMoved = 124;
constexpr int kMessageGroupNotMoved = 126;
constexpr int kMessageGroupNotCreated = 116;
constexpr int kMessageGroupNotChanged = 117;
constexpr int kMessageAttributesNotChanged = 118;
constexpr int kMessageNotDeleted = 104;

struct EditorInfo {
  int command;
  StructureKind kind;
  bool alternative;
  const char* caption;
};

const EditorInfo kEditors[] = {
    {3059, StructureKind::kProfitAndLoss, false, "GUV-AUFBAU"},
    {3060, StructureKind::kAssets, false, "BILANZ-AKTIVA-AUFBAU"},
    {3061, StructureKind::kLiabilities, false, "BILANZ-PASSIVA-AUFBAU"},
    {3064, StructureKind::kAssets, true, "AUSWEICHAUFBAU FÜR PASSIVA-KONTEN"},
    {3065, StructureKind::kLiabilities, true, "AUSWEICHAUFBAU FÜR AKTIVA-KONTEN"},
};

const EditorInfo& InfoOf(StructureEditor editor) { return kEditors[static_cast<int>(editor)]; }

const char* DefaultTitle(StructureKind kind) {
  static const char* const titles[] = {"GuV", "Aktiva", "Passiva"};
  return titles[static_cast<int>(kind)];
}

std::string Trimmed(const std::string& number) {
  std::size_t first = number.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : number.substr(first);
}

}  // namespace

bool StructureEditorOfCommand(int command, StructureEditor& editor) {
  for (int i = 0; i < 5; ++i) {
    if (kEditors[i].command == command) {
      editor = static_cast<StructureEditor>(i);
      return true;
    }
  }
  return false;
}

StructureEditing::StructureEditing(StructureEditor editor, std::string directory)
    : editor_(editor),
      kind_(InfoOf(editor).kind),
      alternative_(InfoOf(editor).alternative),
      directory_(std::move(directory)) {}

StructureEditing::StructureEditing(StructureEditor editor, StructureTree tree,
                                   std::vector<ClassAccount> accounts)
    : StructureEditing(editor, std::string()) {
  tree_ = std::move(tree);
  accounts_ = std::move(accounts);
}

bool StructureEditing::Load() {
  if (directory_.empty()) return true;
  int accountClass = alternative_ ? AlternativeLeafClass(kind_) : LeafClass(kind_);
  if (!LoadStructure(StructurePath(directory_, kind_), tree_) ||
      !ReadClassAccounts(directory_, accountClass, accounts_))
    return false;
  if (tree_.title.empty()) tree_.title = DefaultTitle(kind_);
  // The alternative places belong to the other side's accounts: its tree
  // must be readable too.
  StructureTree other;
  StructureKind otherKind =
      kind_ == StructureKind::kAssets ? StructureKind::kLiabilities : StructureKind::kAssets;
  return !alternative_ || LoadStructure(StructurePath(directory_, otherKind), other);
}

const char* StructureEditing::Caption() const { return InfoOf(editor_).caption; }

std::vector<int> StructureEditing::Shown(int depth, bool withAccounts) const {
  auto wanted = alternative_ ? StructureEntry::kAlternativeLeaf : StructureEntry::kLeaf;
  std::vector<int> shown;
  for (int h : tree_.DepthFirst()) {
    const StructureEntry& e = tree_.at(h);
    if (e.IsGroup() ? e.level <= depth
                    : withAccounts && e.kind == wanted && tree_.DepthOf(e.parent) <= depth)
      shown.push_back(h);
  }
  return shown;
}

std::vector<const ClassAccount*> StructureEditing::Unassigned() const {
  std::vector<const ClassAccount*> out;
  for (const ClassAccount& a : accounts_)
    if (tree_.FindLeaf(a.number, alternative_) < 0) out.push_back(&a);
  return out;
}

const ClassAccount* StructureEditing::Account(const std::string& number) const {
  auto it = std::find_if(accounts_.begin(), accounts_.end(),
                         [&](const ClassAccount& a) { return a.number == number; });
  return it == accounts_.end() ? nullptr : &*it;
}

std::string StructureEditing::EntryText(int handle) const {
  const StructureEntry& e = tree_.at(handle);
  if (e.IsGroup()) return e.text;
  const ClassAccount* a = Account(e.text);
  return Trimmed(e.text) + " " + (a ? a->name : e.shortCode);
}

int StructureEditing::Commit(StructureTree changed, int failure) {
  if (directory_.empty() || SaveStructure(StructurePath(directory_, kind_), changed)) {
    tree_ = std::move(changed);
    return 0;
  }
  LoadStructure(StructurePath(directory_, kind_), tree_);
  return failure;
}

int StructureEditing::DropAccount(const std::string& account, int target) {
  if (int refused = tree_.RefusedAccountDrop(target)) return refused;
  const ClassAccount* a = Account(account);
  StructureTree changed = tree_;
  if (!a || changed.AddLeaf(target, a->number, a->shortCode, alternative_) < 0)
    return kMessageNotAssigned;
  return Commit(std::move(changed), kMessageNotAssigned);
}

int StructureEditing::TakeOut(int entry) {
  if (int refused = tree_.RefusedTakeOut(entry)) return refused;
  StructureTree changed = tree_;
  if (!changed.RemoveLeaf(entry)) return kMessageNotTakenOut;
  return Commit(std::move(changed), kMessageNotTakenOut);
}

int StructureEditing::MoveEntry(int entry, int target) {
  StructureTree changed = tree_;
  if (tree_.IsLeaf(entry) && entry != StructureTree::kHeader) {
    if (int refused = tree_.RefusedAccountDrop(target)) return refused;
    if (!changed.MoveLeaf(entry, target)) return kMessageAccountNotMoved;
    return Commit(std::move(changed), kMessageAccountNotMoved);
  }
  if (int refused = tree_.RefusedGroupMove(entry, target)) return refused;
  if (entry == target) return 0;
  if (!changed.MoveGroup(entry, target)) return kMessageGroupNotMoved;
  return Commit(std::move(changed), kMessageGroupNotMoved);
}

int StructureEditing::NewGroup(int selection, const std::string& name, int level, int attributes,
                               int* created) {
  StructureTree changed = tree_;
  int group = changed.InsertGroup(selection, name, level, attributes);
  if (group < 0) return kMessageGroupNotCreated;
  int result = Commit(std::move(changed), kMessageGroupNotCreated);
  if (created) *created = result == 0 ? group : -1;
  return result;
}

int StructureEditing::ChangeGroup(int group, const std::string& name, int attributes) {
  if (group == StructureTree::kHeader || !tree_.IsGroup(group)) return kMessageSelect;
  StructureTree changed = tree_;
  changed.ChangeGroup(group, name, attributes);
  return Commit(std::move(changed), kMessageGroupNotChanged);
}

int StructureEditing::ChangeAttributes(int group, int attributes) {
  if (group == StructureTree::kHeader || !tree_.IsGroup(group)) return kMessageSelect;
  StructureTree changed = tree_;
  changed.ChangeGroup(group, tree_.at(group).text, attributes);
  return Commit(std::move(changed), kMessageAttributesNotChanged);
}

int StructureEditing::DeleteGroup(int group) {
  if (group == StructureTree::kHeader || !tree_.IsGroup(group)) return kMessageSelect;
  StructureTree changed = tree_;
  changed.DeleteGroup(group);
  return Commit(std::move(changed), kMessageNotDeleted);
}

}  // namespace talvera
