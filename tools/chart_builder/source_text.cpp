#include "tools/chart_builder/source_text.h"

#include <algorithm>

#include "core/cp1252.h"

namespace talvera::charts {

std::vector<SourceLine> ContentLines(std::string_view text) {
  std::vector<SourceLine> lines;
  int number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    lines.push_back({number, line});
  }
  return lines;
}

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitCells(std::string_view line) {
  std::vector<std::string_view> cells;
  for (;;) {
    size_t bar = line.find('|');
    cells.push_back(Trim(line.substr(0, bar)));
    if (bar == std::string_view::npos) return cells;
    line.remove_prefix(bar + 1);
  }
}

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    size_t start = text.find_first_not_of(" \t,", i);
    if (start == std::string_view::npos) break;
    size_t end = text.find_first_of(" \t,", start);
    if (end == std::string_view::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    i = end;
  }
  return words;
}

int RecordWidth(std::string_view utf8) {
  // The code page turns what it lacks into '?', so a '?' that was not in
  // the source means a character that cannot be stored.
  std::string bytes = Utf8ToCp1252(utf8);
  auto questionMarks = [](std::string_view s) { return std::count(s.begin(), s.end(), '?'); };
  if (questionMarks(bytes) != questionMarks(utf8)) return -1;
  return static_cast<int>(bytes.size());
}

bool IsRateText(std::string_view text) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return text.size() == 5 && digit(text[0]) && digit(text[1]) && text[2] == ',' &&
         digit(text[3]) && digit(text[4]);
}

}  // namespace talvera::charts
