// "talvi-cli pruefen": the consistency checks of a Mandant's books, each
// finding one German line.
//  - in every open year the stored totals of every account against the
//    journal (and, in the current year, the previous-year figures against
//    the previous year);
//  - every record file of each open year: its stored keys and indexes;
//  - every open item of a Debitor or Kreditor: its account exists, its
//    outstanding amount does not exceed the invoice amount.
#pragma once

#include <string>
#include <vector>

namespace talvera::cli {

// False when a check could not run (the store failed); findings go to
// `findings` either way.
bool CheckBooks(std::vector<std::string>& findings);

}  // namespace talvera::cli
