#include "reports/clipboard_text.h"

#include <new>

#include "core/cp1252.h"
#include "core/message.h"
#include "core/period_date.h"
#include "reports/report_kinds.h"

namespace talvera {
namespace {

constexpr int kTextJournalTitle = 1407;
constexpr int kTextJournalColumns = 1402;
constexpr int kTextJournalUnderline = 1403;
constexpr char kLineEnd[] = "\r\n";

// The text of a line after its first byte, up to the next control byte.
std::string_view TextAfterCode(std::string_view line) {
  std::string_view rest = line.substr(line.empty() ? 0 : 1);
  for (std::size_t i = 0; i < rest.size(); ++i)
    if (static_cast<unsigned char>(rest[i]) < 32) return rest.substr(0, i);
  return rest;
}

std::string TabbedText(std::string_view line) {
  std::string out;
  for (std::size_t i = 1; i < line.size(); ++i)
    out.push_back(static_cast<unsigned char>(line[i]) < 32 ? '\t' : line[i]);
  return out;
}

void AppendLine(std::string& out, std::string_view line, int width, bool asCentred) {
  LineHead head = ReadLineHead(line);
  if (asCentred && !line.empty()) head.code = kLineCentred;
  switch (head.code) {
    case kLineCentred:
      out += "\t\t\t" + Cp1252ToUtf8(TextAfterCode(line));
      break;
    case kLineTabLeft:
    case kLineTabRight:
      out += Cp1252ToUtf8(TabbedText(line));
      break;
    case kLineEquals:
    case kLineDoubleRule:
      out.append(static_cast<std::size_t>(width), '=');
      break;
    case kLineRule:
      out.append(static_cast<std::size_t>(width), '-');
      break;
    case kLinePageBreak:
      return;  // pages mean nothing on the clipboard
    default:
      break;
  }
  out += kLineEnd;
}

bool AppendJournalHeading(std::string& out, std::string_view period) {
  std::optional<std::string> title = JournalTitleText(period);
  std::optional<std::string> columns = MessageText(kTextJournalColumns);
  std::optional<std::string> underline = MessageText(kTextJournalUnderline);
  if (!title || !columns || !underline) return false;
  out += *title + kLineEnd + *columns + kLineEnd + *underline + kLineEnd;
  return true;
}

}  // namespace

std::string JournalPeriodText(std::string_view first, std::string_view last) {
  char from[11] = "", to[11] = "";
  FormatDate(std::string(first).c_str(), from, true);
  FormatDate(std::string(last).c_str(), to, true);
  return std::string(from) + " bis " + to;
}

std::optional<std::string> JournalTitleText(std::string_view period) {
  std::optional<std::string> text = MessageText(kTextJournalTitle);
  if (!text) return std::nullopt;
  std::size_t at = text->find("%s");
  if (at != std::string::npos) text->replace(at, 2, period);
  return text;
}

std::optional<std::string> ReportPlainText(const ReportBuffer& buffer, int kind,
                                           std::string_view journalPeriod) {
  try {
    std::string out;
    out.reserve(static_cast<std::size_t>(buffer.LineCount()) * 40);
    // A missing heading text still leaves the report itself worth copying.
    if (kind == kReportJournal) AppendJournalHeading(out, journalPeriod);
    int width = ReportWidth(kind, buffer.Width());
    for (int i = 0; i < buffer.LineCount(); ++i)
      AppendLine(out, buffer.Line(i), width, kind == kReportKontenblatt && i < 2);
    return out;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace talvera
