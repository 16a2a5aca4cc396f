// A report as plain text for the clipboard: rules become rows of "-" or "=",
// centred lines start with three tabs, tabbed segments are separated by tabs,
// every line ends with CR LF. The journal gets its three heading lines first,
// since on the screen they stand above the report, not in it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "reports/report_buffer.h"

namespace talvera {

// "01.01.1996 bis 31.12.1996" from two period dates (DDPPYY).
std::string JournalPeriodText(std::string_view first, std::string_view last);
// Message text 1407 with the period filled in; nullopt when the text is missing.
std::optional<std::string> JournalTitleText(std::string_view period);

// The buffer's lines as UTF-8 text; nullopt when memory runs out.
std::optional<std::string> ReportPlainText(const ReportBuffer& buffer, int kind,
                                           std::string_view journalPeriod);

}  // namespace talvera
