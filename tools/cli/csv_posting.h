// Posting a booking file: every booking goes through the checks of the
// entry dialog first; only a file without a refusal is posted, all of it
// in one record-store transaction, so that the books take the whole file
// or nothing of it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/cli/booking_csv.h"
#include "tools/cli/cli_session.h"

namespace talvera::cli {

// Why a line was not taken: line number, column and message (German).
struct Refusal {
  int lineNumber = 0;
  std::string field;
  std::string text;
};
// "Zeile 7, Feld Soll: Das angegebene Sollkonto existiert nicht."
std::string RefusalText(const Refusal& refusal);

// Turns one booking of the file into a booking record (layout of bat)
// through the entry checks. False with the refusal.
bool CheckCsvBooking(const CsvBooking& booking, CliPresenter& presenter, std::vector<char>& record,
                     Refusal& refusal);

struct PostingRun {
  long bookings = 0;
  long lines = 0;
  std::vector<Refusal> refusals;  // with a file error as its last entry
  bool posted = false;
};

// Reads the file and checks every booking, and that the open items it
// makes have their deduction accounts; without a refusal and unless
// `dryRun`, reads it again and posts it whole. The bookings are not kept
// between the passes, so a file of any length needs little memory.
// `progress` hears (bookings done, pass: 1 checking, 2 posting).
PostingRun PostBookingFile(const std::string& path, bool dryRun, CliPresenter& presenter,
                           const std::function<void(long, int)>& progress);

}  // namespace talvera::cli
