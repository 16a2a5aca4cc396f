// Golden reports: a report buffer rendered to fixed-column text and compared
// with a file under tests/<folder>/golden. Each line shows its attributes
// in a three-character margin (B bold, U underlined, L large) and then the
// line as the renderer places it, one character a column: centred text in
// the report width, tabbed segments starting at or ending at their tabs,
// "=" rows for code 4, "-" for a single rule, "≡" for a double rule, and
// "~~~ Seitenwechsel ~~~" for a page break.
//
// After a deliberate change, run the test with TALVERA_UPDATE_GOLDEN=1 to
// write the files anew, and review their diff in the commit.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "reports/report_buffer.h"

namespace talvera::testing {

inline void PlaceText(std::string& row, int at, std::string_view text) {
  if (at < 0) {
    text.remove_prefix(std::min<std::size_t>(text.size(), static_cast<std::size_t>(-at)));
    at = 0;
  }
  if (row.size() < at + text.size()) row.resize(at + text.size(), ' ');
  row.replace(static_cast<std::size_t>(at), text.size(), text);
}

// One buffer line as fixed-column text (Windows-1252).
inline std::string RenderLineText(std::string_view line, int width, const std::vector<int>& tabs) {
  LineHead head = ReadLineHead(line);
  std::string row;
  switch (head.code) {
    case kLineCentred: {
      std::string_view text = line.substr(1);
      for (std::size_t i = 0; i < text.size(); ++i)
        if (static_cast<unsigned char>(text[i]) < 32) text = text.substr(0, i);
      PlaceText(row, (width - static_cast<int>(text.size())) / 2, text);
      break;
    }
    case kLineTabLeft:
    case kLineTabRight: {
      unsigned char marker = head.code;
      std::size_t start = 1;
      int k = 0;
      for (std::size_t i = 1; i <= line.size(); ++i) {
        if (i < line.size() && static_cast<unsigned char>(line[i]) >= 32) continue;
        std::string_view text = line.substr(start, i - start);
        int tab = k < static_cast<int>(tabs.size()) ? tabs[k] : 0;
        if (marker == kLineTabRight) {
          while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
          PlaceText(row, tab - static_cast<int>(text.size()), text);
        } else {
          PlaceText(row, tab, text);
        }
        if (i < line.size()) marker = static_cast<unsigned char>(line[i]);
        start = i + 1;
        ++k;
      }
      break;
    }
    case kLineEquals: row.assign(width, '='); break;
    case kLineRule: row.assign(width, '-'); break;
    case kLineDoubleRule: row = "\x01"; break;  // drawn as ≡ below
    case kLinePageBreak: row = "\x02"; break;
    default: break;
  }
  while (!row.empty() && row.back() == ' ') row.pop_back();
  return row;
}

// The whole buffer as golden text (UTF-8).
inline std::string GoldenText(const ReportBuffer& buffer, int width) {
  std::string out;
  for (int i = 0; i < buffer.LineCount(); ++i) {
    std::string_view line = buffer.Line(i);
    LineHead head = ReadLineHead(line);
    std::string margin = "   ";
    if (head.attributes & kLineBold) margin[0] = 'B';
    if (head.attributes & kLineUnderlined) margin[1] = 'U';
    if (head.attributes & kLineLarge) margin[2] = 'L';
    std::string row = RenderLineText(line, width, buffer.TemplateTabs());
    std::string text;
    if (row == "\x01") {
      for (int c = 0; c < width; ++c) text += "≡";
    } else if (row == "\x02") {
      text = "~~~ Seitenwechsel ~~~";
    } else {
      text = Cp1252ToUtf8(row);
    }
    std::string full = margin + "|" + text;
    while (!full.empty() && full.back() == ' ') full.pop_back();
    out += full + "\n";
  }
  return out;
}

// Compares `text` with golden file `name` in `directory`; rewrites the file
// instead when TALVERA_UPDATE_GOLDEN is set.
inline void ExpectGolden(const std::string& directory, const std::string& name, const std::string& text) {
  std::string path = directory + "/" + name + ".txt";
  const char* update = std::getenv("TALVERA_UPDATE_GOLDEN");
  if (update && *update) {
    std::ofstream(path, std::ios::binary) << text;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path << " is missing; run with TALVERA_UPDATE_GOLDEN=1 to write it";
  std::stringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(text, golden.str()) << "differs from " << path;
}

}  // namespace talvera::testing
