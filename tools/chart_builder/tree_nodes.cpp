#include "tools/chart_builder/tree_nodes.h"

#include <map>

namespace talvera::charts {

namespace {

// Which account-list line each account of the tree was given to.
class Placement {
 public:
  Placement(TreeId tree, const std::vector<TreeLine>& lines,
            const std::vector<AccountRow>& accounts, const std::string& file,
            Diagnostics& diagnostics)
      : tree_(tree), lines_(lines), file_(file), diagnostics_(diagnostics) {
    for (const AccountRow& account : accounts) accounts_[account.number] = &account;
  }

  void Resolve() {
    for (size_t i = 0; i < lines_.size(); ++i) PlaceSingles(i);
    for (size_t i = 0; i < lines_.size(); ++i) PlaceRanges(i);
    ReportUnplaced();
  }

  // The accounts given to line i, in account order.
  std::vector<const AccountRow*> AccountsOf(size_t line) const {
    std::vector<const AccountRow*> result;
    for (const auto& [number, placed] : placed_)
      if (placed.line == line) result.push_back(accounts_.at(number));
    return result;
  }

 private:
  struct Placed {
    size_t line;
    bool single;
  };

  int WantedClass(const TreeLine& line) const {
    return line.kind == TreeLine::kAccounts ? TreeClass(tree_) : AlternativeClass(tree_);
  }

  void PlaceSingles(size_t i) {
    const TreeLine& line = lines_[i];
    if (line.kind == TreeLine::kGroup) return;
    if (WantedClass(line) == kNoClass) {
      diagnostics_.Add(file_, line.line, "Ausweichaufbau gibt es nur in der Bilanz");
      return;
    }
    for (const AccountRange& range : line.ranges) {
      if (!range.single()) continue;
      auto found = accounts_.find(range.from);
      if (found == accounts_.end())
        Report(line, range.from, "gibt es nicht");
      else if (found->second->accountClass != WantedClass(line))
        Report(line, range.from, "hat nicht die Klasse dieses Aufbaus");
      else if (!placed_.emplace(range.from, Placed{i, true}).second)
        Report(line, range.from, "ist mehrfach aufgeführt");
    }
  }

  void PlaceRanges(size_t i) {
    const TreeLine& line = lines_[i];
    if (line.kind == TreeLine::kGroup || WantedClass(line) == kNoClass) return;
    for (const AccountRange& range : line.ranges) {
      if (range.single()) continue;
      for (auto it = accounts_.lower_bound(range.from);
           it != accounts_.end() && it->first <= range.to; ++it) {
        if (it->second->accountClass != WantedClass(line)) continue;
        auto [where, added] = placed_.emplace(it->first, Placed{i, false});
        if (!added && !where->second.single && where->second.line != i)
          Report(line, it->first, "liegt in zwei Spannen");
      }
    }
  }

  void ReportUnplaced() {
    for (const auto& [number, account] : accounts_)
      if (account->accountClass == TreeClass(tree_) && !placed_.count(number))
        diagnostics_.Add(file_, 0, "Konto " + Trimmed(number) + " hängt in keiner Gruppe");
  }

  void Report(const TreeLine& line, const std::string& number, const char* what) {
    diagnostics_.Add(file_, line.line, "Konto " + Trimmed(number) + " " + what);
  }

  static std::string Trimmed(const std::string& number) {
    return number.substr(number.find_first_not_of(' '));
  }

  TreeId tree_;
  const std::vector<TreeLine>& lines_;
  const std::string& file_;
  Diagnostics& diagnostics_;
  std::map<std::string, const AccountRow*> accounts_;
  // Alternative leaves are of the other class, so one map holds both kinds.
  std::map<std::string, Placed> placed_;
};

}  // namespace

StructureTree BuildTreeNodes(TreeId tree, const std::vector<TreeLine>& lines,
                             const std::vector<AccountRow>& accounts, const std::string& file,
                             Diagnostics& diagnostics) {
  Placement placement(tree, lines, accounts, file, diagnostics);
  placement.Resolve();

  StructureTree result;
  result.title = TreeTitle(tree);
  int groupAtLevel[4] = {StructureTree::kHeader, -1, -1, -1};
  int current = StructureTree::kHeader;
  for (size_t i = 0; i < lines.size(); ++i) {
    const TreeLine& line = lines[i];
    if (line.kind == TreeLine::kGroup) {
      current = result.AppendGroup(groupAtLevel[line.level - 1], line.text, line.level,
                                   line.attributes);
      groupAtLevel[line.level] = current;
      continue;
    }
    bool alternative = line.kind == TreeLine::kAlternatives;
    for (const AccountRow* account : placement.AccountsOf(i))
      result.AppendLeaf(current, account->number, account->shortCode, alternative);
  }
  return result;
}

}  // namespace talvera::charts
