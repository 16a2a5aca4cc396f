// Page keeping for report builders that print: the lines used on the page,
// the page number, and the texts every printed heading shares.
#pragma once

#include <string>

namespace talvera {

class ReportPage {
 public:
  // 0 lines per page: the report goes to the screen and has no pages.
  explicit ReportPage(int linesPerPage) : linesPerPage_(linesPerPage) {}
  bool Printing() const { return linesPerPage_ > 0; }
  int LinesPerPage() const { return linesPerPage_; }
  // A new page begins: its number grows, no line is used yet.
  void StartPage() {
    ++page_;
    used_ = 0;
  }
  void Count(int lines) { used_ += lines; }
  int Used() const { return used_; }
  int Page() const { return page_; }

 private:
  int linesPerPage_;
  int page_ = 0;
  int used_ = 0;
};

// The page number right-aligned in four characters: "   7".
std::string PageNumberText(int page);
// The name of fiscal month 1..12 of the open Mandant ("März").
std::string FiscalMonthName(int month);

}  // namespace talvera
