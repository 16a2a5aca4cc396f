#include "tools/chart_builder/hgb_positions.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "tools/chart_builder/source_text.h"

namespace talvera::charts {

namespace {

bool IsRoman(std::string_view s) {
  return !s.empty() && s.find_first_not_of("IVX") == std::string_view::npos;
}
bool IsDigits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string Plain(const std::string& number) {
  size_t first = number.find_first_not_of(' ');
  return first == std::string::npos ? number : number.substr(first);
}

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

bool ValidPosition(std::string_view p) {
  if (p.empty()) return false;
  for (char c : p)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') return false;
  return p.front() != '.' && p.back() != '.' && p.find("..") == std::string_view::npos;
}

}  // namespace

std::string GroupPosition(TreeId tree, const std::string& parent, int level,
                          const std::string& label) {
  std::vector<std::string_view> words = SplitWords(label);
  std::string_view first = words.empty() ? std::string_view() : words.front();
  std::string_view mark = first.empty() ? first : first.substr(0, first.size() - 1);
  char end = first.empty() ? 0 : first.back();
  if (tree == kProfitAndLossTree) {
    if (level == 1) return end == '.' && IsDigits(mark) ? "GuV." + std::string(mark) : "GuV.EV";
    if (end == ')' && mark.size() == 1 && std::islower(static_cast<unsigned char>(mark[0])))
      return parent + std::string(mark);
    return parent;
  }
  bool numbered = end == '.' && (IsRoman(mark) || IsDigits(mark) ||
                                 (level == 1 && mark.size() == 1 && std::isupper(static_cast<unsigned char>(mark[0]))));
  if (!numbered) return parent;
  if (level == 1) return (tree == kLiabilitiesTree ? "P." : "") + std::string(mark);
  return parent.empty() ? std::string() : parent + "." + std::string(mark);
}

std::map<int, std::string> GroupPositions(TreeId tree, const std::vector<StructureNode>& nodes) {
  std::map<int, const StructureNode*> byId;
  for (const StructureNode& n : nodes) byId[n.id] = &n;
  std::map<int, int> parent;  // node id -> id of the group it hangs in
  std::map<int, std::string> positions{{1, ""}};
  for (const StructureNode& n : nodes) {
    if (n.id == 1) continue;
    auto above = byId.find(n.above);
    if (above == byId.end()) continue;
    parent[n.id] = above->second->next == n.id ? parent[n.above] : n.above;
    if (n.kind == kGroupNode)
      positions[n.id] = GroupPosition(tree, positions[parent[n.id]], LevelOf(n.levelWord), n.label);
  }
  // Leaves: the position of their group, under the leaf's id.
  for (const StructureNode& n : nodes)
    if (n.kind != kGroupNode && parent.count(n.id)) positions[n.id] = positions[parent[n.id]];
  return positions;
}

bool PositionFits(const std::string& group, const std::string& account) {
  if (group.empty() || account.empty()) return false;
  return account == group || account.rfind(group + ".", 0) == 0;
}

TreeId TreeOfPosition(const std::string& position) {
  if (position.rfind("GuV.", 0) == 0) return kProfitAndLossTree;
  if (position.rfind("P.", 0) == 0) return kLiabilitiesTree;
  return kAssetsTree;
}

void ReadPositions(const std::string& sourceRoot, const std::string& folder,
                   std::map<std::string, std::string>& out, bool& present,
                   Diagnostics& diagnostics) {
  const std::string file = folder + "/lage.txt";
  std::string text;
  present = ReadText(sourceRoot + "/" + file, text);
  if (!present) return;
  std::vector<SourceLine> lines = ContentLines(text);
  if (lines.empty() || SplitCells(lines.front().text).size() != 2 ||
      SplitCells(lines.front().text)[0] != "konto") {
    diagnostics.Add(file, lines.empty() ? 0 : lines.front().number,
                    "Kopfzeile \"konto | lage\" erwartet");
    return;
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string_view> cells = SplitCells(lines[i].text);
    std::string number = cells.size() == 2 ? AccountNumber(cells[0]) : std::string();
    if (number.empty() || !ValidPosition(cells[1])) {
      diagnostics.Add(file, lines[i].number, "Kontonummer und Posten wie \"0010 | A.I.2\" erwartet");
      continue;
    }
    if (!out.emplace(number, std::string(cells[1])).second)
      diagnostics.Add(file, lines[i].number, "Konto " + Plain(number) + " doppelt");
  }
}

void CheckPositions(const std::string& sourceRoot, const std::string& folder,
                    const ChartTemplate& chart, Diagnostics& diagnostics) {
  std::map<std::string, std::string> positions;
  bool present = false;
  ReadPositions(sourceRoot, folder, positions, present, diagnostics);
  if (!present) return;
  const std::string file = folder + "/lage.txt";

  std::map<std::string, const AccountRow*> accounts;
  for (const AccountRow& a : chart.source.accounts) accounts[a.number] = &a;
  for (const auto& [number, position] : positions)
    if (!accounts.count(number))
      diagnostics.Add(file, 0, "Konto " + Plain(number) + " steht nicht in sako.txt");

  for (int t = 0; t < kTreeCount; ++t) {
    auto tree = static_cast<TreeId>(t);
    const std::vector<StructureNode> nodes = StructureRecords(chart.trees[t]);
    std::map<int, std::string> groupOf = GroupPositions(tree, nodes);
    std::vector<std::string> groupPositions;
    std::map<std::string, const StructureNode*> leaf;  // account -> its leaf
    for (const StructureNode& n : nodes) {
      if (n.kind == kGroupNode && n.id != 1) groupPositions.push_back(groupOf[n.id]);
      if (n.kind == kLeafNode) leaf[n.label] = &n;
    }
    const std::string& treeFile = chart.source.treeFiles[t];
    for (const auto& [number, account] : accounts) {
      if (account->accountClass != TreeClass(tree)) continue;
      auto found = positions.find(number);
      if (found == positions.end()) {
        diagnostics.Add(file, account->line, "Konto " + Plain(number) + " hat keinen Posten");
        continue;
      }
      const std::string& position = found->second;
      if (TreeOfPosition(position) != tree) {
        diagnostics.Add(file, 0, "Konto " + Plain(number) + ": Posten " + position +
                                     " liegt nicht in " + TreeTitle(tree));
        continue;
      }
      // The most precise group that takes the position is where it belongs.
      std::string best;
      for (const std::string& g : groupPositions)
        if (PositionFits(g, position) && g.size() > best.size()) best = g;
      if (best.empty()) {
        diagnostics.Add(treeFile, 0, "Konto " + Plain(number) + ": zu Posten " + position +
                                         " gibt es keine Gruppe");
        continue;
      }
      auto where = leaf.find(number);
      if (where == leaf.end()) continue;  // reported by the tree itself
      const std::string& group = groupOf[where->second->id];
      if (group != best)
        diagnostics.Add(treeFile, 0, "Konto " + Plain(number) + " (Posten " + position +
                                         ") hängt in einer Gruppe des Postens " +
                                         (group.empty() ? std::string("ohne Nummer") : group));
    }
  }
}

}  // namespace talvera::charts
