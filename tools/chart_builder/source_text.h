// Line-level helpers shared by the table parsers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvera::charts {

// One line of a source file that is neither empty nor a comment.
struct SourceLine {
  int number;              // 1-based line number
  std::string_view text;   // without the line end
};
std::vector<SourceLine> ContentLines(std::string_view text);

std::string_view Trim(std::string_view text);
// Splits at '|' and trims every cell.
std::vector<std::string_view> SplitCells(std::string_view line);
// Splits at blanks and commas.
std::vector<std::string_view> SplitWords(std::string_view text);

// Width of a UTF-8 text in the record code page; -1 when a character has
// no Windows-1252 form.
int RecordWidth(std::string_view utf8);

// "19,00": two digits, comma, two digits.
bool IsRateText(std::string_view text);

}  // namespace talvera::charts
