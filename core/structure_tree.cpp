#include "core/structure_tree.h"

#include <algorithm>

#include "core/record_store.h"

namespace talvera {

const char* StructureFileName(StructureKind kind) {
  static const char* const names[] = {"guvauf", "bilaktau", "bilpasau"};
  return names[static_cast<int>(kind)];
}

int StructureSlot(StructureKind kind) {
  static const int slots[] = {kSlotGuvauf, kSlotBilaktau, kSlotBilpasau};
  return slots[static_cast<int>(kind)];
}

int LeafClass(StructureKind kind) {
  static const int classes[] = {8, 2, 4};
  return classes[static_cast<int>(kind)];
}

int AlternativeLeafClass(StructureKind kind) {
  static const int classes[] = {0, 4, 2};
  return classes[static_cast<int>(kind)];
}

bool StructureOfClass(int accountClass, StructureKind& kind) {
  for (StructureKind k : kAllStructures) {
    if (LeafClass(k) == accountClass) {
      kind = k;
      return true;
    }
  }
  return false;
}

StructureTree::StructureTree() { entries_.emplace_back(); }

// An entry is in the tree when its parents lead up to the header; the
// subtree of a deleted group still hangs on that group, but not on the header.
bool StructureTree::Contains(int handle) const {
  if (handle < 0 || handle >= static_cast<int>(entries_.size())) return false;
  for (std::size_t steps = 0; steps <= entries_.size(); ++steps) {
    if (handle == kHeader) return true;
    handle = entries_[handle].parent;
    if (handle < 0) return false;
  }
  return false;
}

std::vector<int> StructureTree::DepthFirst() const {
  std::vector<int> out;
  for (int child : entries_[kHeader].children) Walk(child, out);
  return out;
}

void StructureTree::Walk(int handle, std::vector<int>& out) const {
  out.push_back(handle);
  for (int child : entries_[handle].children) Walk(child, out);
}

void StructureTree::CollectLeaves(int handle, std::vector<int>& out) const {
  for (int child : entries_[handle].children) {
    if (entries_[child].IsLeaf())
      out.push_back(child);
    else
      CollectLeaves(child, out);
  }
}

int StructureTree::DepthOf(int handle) const {
  if (!Contains(handle) || handle == kHeader) return 0;
  const StructureEntry& e = entries_[handle];
  return e.IsGroup() ? e.level : DepthOf(e.parent) + 1;
}

int StructureTree::FindLeaf(const std::string& account, bool alternative) const {
  auto wanted = alternative ? StructureEntry::kAlternativeLeaf : StructureEntry::kLeaf;
  for (int h = 1; h < static_cast<int>(entries_.size()); ++h)
    if (entries_[h].kind == wanted && entries_[h].text == account && Contains(h)) return h;
  return -1;
}

int StructureTree::GroupOf(const std::string& account, bool alternative) const {
  int leaf = FindLeaf(account, alternative);
  return leaf < 0 ? -1 : entries_[leaf].parent;
}

bool StructureTree::HasLeaf(const std::string& account) const {
  if (FindLeaf(account, false) >= 0) return true;
  return std::any_of(loose.begin(), loose.end(),
                     [&](const LooseLeaf& l) { return l.account == account; });
}

int StructureTree::NewEntry(StructureEntry entry) {
  entry.parent = -1;
  entry.children.clear();
  entries_.push_back(std::move(entry));
  return static_cast<int>(entries_.size()) - 1;
}

void StructureTree::Attach(int handle, int parent, int position) {
  auto& siblings = entries_[parent].children;
  position = std::clamp(position, 0, static_cast<int>(siblings.size()));
  siblings.insert(siblings.begin() + position, handle);
  entries_[handle].parent = parent;
}

// Takes an entry out of its parent's children; its own subtree stays
// attached to it (and so out of the tree).
void StructureTree::Detach(int handle) {
  StructureEntry& e = entries_[handle];
  if (e.parent < 0) return;
  auto& siblings = entries_[e.parent].children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), handle));
  e.parent = -1;
}

int StructureTree::AppendGroup(int parent, const std::string& name, int level, int attributes) {
  if (!Contains(parent) || !entries_[parent].IsGroup()) return -1;
  StructureEntry e;
  e.kind = StructureEntry::kGroup;
  e.text = name;
  e.level = level;
  e.attributes = attributes;
  int h = NewEntry(std::move(e));
  Attach(h, parent, static_cast<int>(entries_[parent].children.size()));
  return h;
}

int StructureTree::AppendLeaf(int group, const std::string& account, const std::string& shortCode,
                              bool alternative) {
  if (!Contains(group) || !entries_[group].IsGroup()) return -1;
  StructureEntry e;
  e.kind = alternative ? StructureEntry::kAlternativeLeaf : StructureEntry::kLeaf;
  e.text = account;
  e.shortCode = shortCode;
  int h = NewEntry(std::move(e));
  Attach(h, group, static_cast<int>(entries_[group].children.size()));
  return h;
}

// Before the first subgroup, and before the first leaf of a higher number.
int StructureTree::LeafPosition(int group, const std::string& account) const {
  const auto& children = entries_[group].children;
  int i = 0;
  for (; i < static_cast<int>(children.size()); ++i) {
    const StructureEntry& c = entries_[children[i]];
    if (c.IsGroup() || c.text > account) break;
  }
  return i;
}

int StructureTree::AddLeaf(int group, const std::string& account, const std::string& shortCode,
                           bool alternative) {
  if (group == kHeader || !IsGroup(group) || account.empty()) return -1;
  if (FindLeaf(account, alternative) >= 0) return -1;
  StructureEntry e;
  e.kind = alternative ? StructureEntry::kAlternativeLeaf : StructureEntry::kLeaf;
  e.text = account;
  e.shortCode = shortCode;
  if (!alternative) {
    auto it = std::find_if(loose.begin(), loose.end(),
                           [&](const LooseLeaf& l) { return l.account == account; });
    if (it != loose.end()) {
      if (e.shortCode.empty()) e.shortCode = it->shortCode;
      loose.erase(it);
    }
  }
  int h = NewEntry(std::move(e));
  Attach(h, group, LeafPosition(group, account));
  return h;
}

bool StructureTree::MoveLeaf(int leaf, int group) {
  if (!IsLeaf(leaf) || group == kHeader || !IsGroup(group)) return false;
  if (entries_[leaf].parent == group) return true;
  Detach(leaf);
  Attach(leaf, group, LeafPosition(group, entries_[leaf].text));
  return true;
}

bool StructureTree::RemoveLeaf(int leaf) {
  if (leaf == kHeader || !IsLeaf(leaf)) return false;
  const StructureEntry& e = entries_[leaf];
  if (e.kind == StructureEntry::kLeaf) loose.push_back({e.text, e.shortCode});
  Detach(leaf);
  return true;
}

std::vector<int> StructureTree::OfferedLevels(int selection) const {
  int base = 0;
  if (selection > 0 && Contains(selection)) {
    const StructureEntry& e = entries_[selection];
    base = e.IsGroup() ? e.level : DepthOf(e.parent);
    if (IsComputed(selection)) --base;  // a computed line takes no subgroups
  }
  std::vector<int> levels;
  for (int level = 1; level <= std::min(kMaxGroupLevel, base + 1); ++level) levels.push_back(level);
  return levels;
}

int StructureTree::InsertGroup(int selection, const std::string& name, int level, int attributes) {
  std::vector<int> offered = OfferedLevels(selection);
  if (std::find(offered.begin(), offered.end(), level) == offered.end()) return -1;
  int anchor = -1;  // the group of the selection
  if (selection > 0 && Contains(selection))
    anchor = entries_[selection].IsGroup() ? selection : entries_[selection].parent;

  StructureEntry e;
  e.kind = StructureEntry::kGroup;
  e.text = name;
  e.level = level;
  e.attributes = attributes;
  int h = NewEntry(std::move(e));
  if (anchor <= 0) {
    Attach(h, kHeader, static_cast<int>(entries_[kHeader].children.size()));
  } else if (level == entries_[anchor].level + 1) {
    Attach(h, anchor, 0);
  } else {
    while (entries_[anchor].level > level) anchor = entries_[anchor].parent;
    const auto& siblings = entries_[entries_[anchor].parent].children;
    int position = static_cast<int>(std::find(siblings.begin(), siblings.end(), anchor) - siblings.begin());
    Attach(h, entries_[anchor].parent, position + 1);
  }
  return h;
}

bool StructureTree::ChangeGroup(int group, const std::string& name, int attributes) {
  if (group == kHeader || !IsGroup(group)) return false;
  entries_[group].text = name;
  entries_[group].attributes = attributes;
  return true;
}

void StructureTree::ShiftLevels(int handle, int delta) {
  StructureEntry& e = entries_[handle];
  if (!e.IsGroup()) return;
  e.level += delta;
  for (int child : e.children) ShiftLevels(child, delta);
}

bool StructureTree::IsComputed(int handle) const {
  return IsGroup(handle) && handle != kHeader && (entries_[handle].attributes & (kGroupSumAbove | kGroupYearResult));
}

// A computed line shows a figure of its own: whatever hung below it would
// drop out of the statements.
int StructureTree::RefusedAccountDrop(int target) const {
  return target != kHeader && IsGroup(target) && !IsComputed(target) ? 0 : kMessageDropOnGroup;
}

int StructureTree::RefusedTakeOut(int entry) const {
  return entry != kHeader && IsLeaf(entry) ? 0 : kMessageOnlyAccountsOut;
}

int StructureTree::RefusedGroupMove(int group, int target) const {
  if (group == kHeader || !IsGroup(group) || target == kHeader || !IsGroup(target))
    return kMessageGroupOntoGroup;
  if (group == target) return 0;
  // A group below the moved one is always deeper, so a group never lands
  // in its own subtree.
  if (entries_[target].level > entries_[group].level) return kMessageGroupNotDeeper;
  if (entries_[target].level < entries_[group].level && IsComputed(target)) return kMessageGroupOntoGroup;
  return 0;
}

bool StructureTree::MoveGroup(int group, int target) {
  if (RefusedGroupMove(group, target) != 0) return false;
  if (group == target) return true;
  const StructureEntry& t = entries_[target];
  Detach(group);
  if (t.level == entries_[group].level) {
    const auto& siblings = entries_[t.parent].children;
    int position = static_cast<int>(std::find(siblings.begin(), siblings.end(), target) - siblings.begin());
    Attach(group, t.parent, position + 1);
  } else {
    ShiftLevels(group, t.level + 1 - entries_[group].level);
    Attach(group, target, static_cast<int>(t.children.size()));
  }
  return true;
}

bool StructureTree::DeleteGroup(int group, std::vector<std::string>* released) {
  if (group == kHeader || !IsGroup(group)) return false;
  std::vector<int> leaves;
  CollectLeaves(group, leaves);
  for (int leaf : leaves) {
    const StructureEntry& e = entries_[leaf];
    if (e.kind != StructureEntry::kLeaf) continue;
    loose.push_back({e.text, e.shortCode});
    if (released) released->push_back(e.text);
  }
  Detach(group);
  return true;
}

int StructureTree::SetShortCode(const std::string& account, const std::string& shortCode) {
  int changed = 0;
  for (int h = 1; h < static_cast<int>(entries_.size()); ++h) {
    StructureEntry& e = entries_[h];
    if (e.IsLeaf() && e.text == account && Contains(h) && e.shortCode != shortCode) {
      e.shortCode = shortCode;
      ++changed;
    }
  }
  for (LooseLeaf& l : loose) {
    if (l.account == account && l.shortCode != shortCode) {
      l.shortCode = shortCode;
      ++changed;
    }
  }
  return changed;
}

}  // namespace talvera
