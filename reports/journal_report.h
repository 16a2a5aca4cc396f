// The posting journal (Buchungsjournal) and the printed posting list: one
// template line per journal record, the column totals, the tax totals and
// the number of postings.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/period_date.h"
#include "posting/journal_search.h"

namespace talvera {

struct JournalReportOptions {
  PeriodDate first = "", last = "";
  bool byDocumentDate = false;  // else by posting date ("&Buchungsdatum")
  int linesPerPage = 0;         // 0: the screen, whose heading the frame draws
  // Printed pages: the title line ("Buchungsjournal vom ..." when empty) and
  // centred lines below it (the filters of the posting list), Windows-1252.
  std::string title;
  std::vector<std::string> subtitles;
};

// The journal of a period. Returns the number of lines; 0 when the period
// holds no postings (message 27), -1 when the store failed (message 58).
int BuildJournalReport(const JournalReportOptions& options);

// The same layout over lines given by the caller (the bookings of the
// posting list): `feed` calls its argument for every line.
using JournalFeed = std::function<bool(const std::function<bool(const JournalLine&)>&)>;
int BuildJournalReportOf(const JournalReportOptions& options, const JournalFeed& feed);

}  // namespace talvera
