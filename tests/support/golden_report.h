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
#include "reports/report_text.h"

namespace talvera::testing {

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
    std::string row;
    std::string text;
    switch (LayOutFixedLine(line, width, buffer.TemplateTabs(), row)) {
      case FixedLineKind::kDoubleRule:
        for (int c = 0; c < width; ++c) text += "≡";
        break;
      case FixedLineKind::kPageBreak: text = "~~~ Seitenwechsel ~~~"; break;
      case FixedLineKind::kText: text = Cp1252ToUtf8(row); break;
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
