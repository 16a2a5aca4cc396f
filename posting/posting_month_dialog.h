// "BUCPERIODE": the month the user books in, chosen before the
// current-postings dialog opens.
#pragma once

#include "posting/posting_lock.h"
#include "widgets/dialog_kit.h"

namespace talvera {

namespace bucperiode {
// Months 1..12 are the buttons kFirstMonth .. kFirstMonth + 11.
enum : int { kFirstMonth = 101, kYear = 113 };
}

class PostingMonthDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit PostingMonthDialog(QWidget* parent);
  const PostingMonth& month() const { return month_; }

 protected:
  bool Confirm() override;  // 780 refuses a locked month; 544 warns of an earlier one

 private:
  PostingMonth month_;
};

}  // namespace talvera
