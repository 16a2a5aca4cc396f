// guvauf.txt, bilaktau.txt, bilpasau.txt: groups and the accounts in them.
#include "tools/chart_builder/chart_source.h"
#include "tools/chart_builder/source_text.h"

namespace talvera::charts {

namespace {

bool ParseAttribute(std::string_view word, int& bits) {
  if (word == "leer") bits |= kEmptyLineBefore;
  else if (word == "fett") bits |= kBold;
  else if (word == "unterstrichen") bits |= kUnderlined;
  else if (word == "groß") bits |= kLargerFont;
  else if (word == "summe") bits |= kSumAbove;
  else if (word == "ergebnis") bits |= kYearResult;
  else return false;
  return true;
}

// "<level> <text> [attributes]"
bool ParseGroup(std::string_view line, TreeLine& out, std::string& problem) {
  out.kind = TreeLine::kGroup;
  out.level = line[0] - '0';
  std::string_view rest = Trim(line.substr(1));
  if (!rest.empty() && rest.back() == ']') {
    size_t open = rest.rfind('[');
    if (open == std::string_view::npos) return problem = "']' ohne '['", false;
    for (std::string_view word : SplitWords(rest.substr(open + 1, rest.size() - open - 2)))
      if (!ParseAttribute(word, out.attributes))
        return problem = "unbekanntes Attribut \"" + std::string(word) + "\"", false;
    rest = Trim(rest.substr(0, open));
  }
  out.text = std::string(rest);
  int width = RecordWidth(rest);
  if (width < 1 || width > 25) return problem = "Gruppenbezeichnung muss 1 bis 25 Zeichen haben", false;
  return true;
}

// "konten 0050-0199 0210" or "ausweich ..."
bool ParseRanges(std::string_view list, TreeLine& out, std::string& problem) {
  for (std::string_view item : SplitWords(list)) {
    size_t dash = item.find('-');
    AccountRange range{AccountNumber(item.substr(0, dash)),
                       AccountNumber(dash == std::string_view::npos ? item : item.substr(dash + 1))};
    if (range.from.empty() || range.to.empty() || range.to < range.from)
      return problem = "ungültige Kontonummer oder Spanne \"" + std::string(item) + "\"", false;
    out.ranges.push_back(range);
  }
  if (out.ranges.empty()) return problem = "Kontenliste ist leer", false;
  return true;
}

bool ParseTreeLine(std::string_view line, TreeLine& out, std::string& problem) {
  std::string_view word = SplitWords(line).front();
  if (word.size() == 1 && word[0] >= '1' && word[0] <= '3') return ParseGroup(line, out, problem);
  if (word == "konten" || word == "ausweich") {
    out.kind = word == "konten" ? TreeLine::kAccounts : TreeLine::kAlternatives;
    return ParseRanges(line.substr(word.size()), out, problem);
  }
  problem = "Zeile beginnt nicht mit 1, 2, 3, \"konten\" oder \"ausweich\"";
  return false;
}

// A group sits one level below the group it hangs in; accounts need a group
// that is not a computed line.
bool FitsOutline(const TreeLine& line, int lastLevel, int lastAttributes, std::string& problem) {
  if (line.kind != TreeLine::kGroup && (lastAttributes & (kSumAbove | kYearResult)))
    return problem = "eine gerechnete Zeile (summe, ergebnis) nimmt keine Konten auf", false;
  if (line.kind == TreeLine::kGroup && line.level > lastLevel + 1)
    return problem = "Ebene " + std::to_string(line.level) + " folgt auf Ebene " +
                     std::to_string(lastLevel),
           false;
  if (line.kind != TreeLine::kGroup && lastLevel == 0)
    return problem = "Konten vor der ersten Gruppe", false;
  return true;
}

}  // namespace

void ParseTree(std::string_view text, const std::string& file, std::vector<TreeLine>& out,
               Diagnostics& diagnostics) {
  int lastLevel = 0, lastAttributes = 0;
  for (const SourceLine& source : ContentLines(text)) {
    TreeLine line;
    line.line = source.number;
    std::string problem;
    if (!ParseTreeLine(Trim(source.text), line, problem) ||
        !FitsOutline(line, lastLevel, lastAttributes, problem)) {
      diagnostics.Add(file, source.number, problem);
      continue;
    }
    if (line.kind == TreeLine::kGroup) {
      lastLevel = line.level;
      lastAttributes = line.attributes;
    }
    out.push_back(std::move(line));
  }
}

}  // namespace talvera::charts
