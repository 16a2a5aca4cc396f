#include "reports/report_text.h"

#include <algorithm>
#include <optional>

#include "core/cp1252.h"
#include "core/message.h"
#include "reports/clipboard_text.h"
#include "reports/report_kinds.h"

namespace talvera {
namespace {

constexpr int kTextJournalColumnLine = 1409;

void PlaceText(std::string& row, int at, std::string_view text) {
  if (at < 0) {
    text.remove_prefix(std::min<std::size_t>(text.size(), static_cast<std::size_t>(-at)));
    at = 0;
  }
  if (row.size() < at + text.size()) row.resize(at + text.size(), ' ');
  row.replace(static_cast<std::size_t>(at), text.size(), text);
}

}  // namespace

FixedLineKind LayOutFixedLine(std::string_view line, int width, const std::vector<int>& tabs,
                              std::string& row) {
  LineHead head = ReadLineHead(line);
  row.clear();
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
    case kLineEquals: row.assign(static_cast<std::size_t>(width), '='); break;
    case kLineRule: row.assign(static_cast<std::size_t>(width), '-'); break;
    case kLineDoubleRule: return FixedLineKind::kDoubleRule;
    case kLinePageBreak: return FixedLineKind::kPageBreak;
    default: break;
  }
  while (!row.empty() && row.back() == ' ') row.pop_back();
  return FixedLineKind::kText;
}

bool WriteReportFixedText(const ReportBuffer& buffer, int kind, std::string_view journalPeriod,
                          const std::function<bool(std::string_view)>& write) {
  if (kind == kReportJournal) {
    std::optional<std::string> title = JournalTitleText(journalPeriod);
    std::optional<std::string> columns = MessageText(kTextJournalColumnLine);
    if (title && columns && !write(*title + "\n\n" + *columns + "\n")) return false;
  }
  int width = ReportWidth(kind, buffer.Width());
  std::string row;
  std::string out;
  for (int i = 0; i < buffer.LineCount(); ++i) {
    out.clear();
    switch (LayOutFixedLine(buffer.Line(i), width, buffer.TemplateTabs(), row)) {
      case FixedLineKind::kText: out += Cp1252ToUtf8(row); break;
      case FixedLineKind::kDoubleRule: out.append(static_cast<std::size_t>(width), '='); break;
      case FixedLineKind::kPageBreak: out += '\f'; break;
    }
    out += '\n';
    if (!write(out)) return false;
  }
  return true;
}

std::string ReportFixedText(const ReportBuffer& buffer, int kind, std::string_view journalPeriod) {
  std::string out;
  WriteReportFixedText(buffer, kind, journalPeriod, [&](std::string_view text) {
    out += text;
    return true;
  });
  return out;
}

}  // namespace talvera
