// A report as fixed-column text, one character a column: what a terminal,
// a text file or a golden test shows of the report buffer. Centred lines
// stand centred in the report width, tabbed segments start or end at their
// tabs, rules become rows of "-" or "=".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_buffer.h"

namespace talvera {

// What a line turned out to be.
enum class FixedLineKind { kText, kDoubleRule, kPageBreak };

// Lays one buffer line out (Windows-1252, trailing blanks cut) into `row`;
// a double rule and a page break leave `row` empty and are told by the kind.
FixedLineKind LayOutFixedLine(std::string_view line, int width, const std::vector<int>& tabs,
                              std::string& row);

// The whole report as UTF-8 text, one line per buffer line and "\n" after
// each: a double rule as a row of "=", a page break as a form feed. The
// journal gets its heading lines first, which on the screen stand above it.
std::string ReportFixedText(const ReportBuffer& buffer, int kind, std::string_view journalPeriod);
// The same text handed to `write` a line at a time (with its "\n"), so a
// big report can go to a file without being held twice; false as soon as
// `write` fails.
bool WriteReportFixedText(const ReportBuffer& buffer, int kind, std::string_view journalPeriod,
                          const std::function<bool(std::string_view)>& write);

}  // namespace talvera
