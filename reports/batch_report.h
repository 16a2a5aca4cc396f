// The batch list ("&Drucken" of the batch dialog): the bookings of a batch
// in entry order, one template line per booking line, with the batch's
// control total and the number of bookings.
#pragma once

#include <string>
#include <vector>

#include "posting/batch_bookings.h"

namespace talvera {

struct BatchReportOptions {
  std::string batchName;  // UTF-8
  std::string date;       // of the heading, "10.12.2026"
  int linesPerPage = 0;   // 0: the screen
};

// Returns the number of lines; 0 for a batch without bookings (the caller
// shows message 720), -1 when the buffer failed.
int BuildBatchReport(const BatchReportOptions& options, const std::vector<BatchRecord>& bookings);

}  // namespace talvera
