#include "posting/posting_month_dialog.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/message.h"
#include "core/today.h"

namespace talvera {

PostingMonthDialog::PostingMonthDialog(QWidget* parent)
    : TalviDialog(parent, "BUCPERIODE", "Buchungsmonat") {
  using namespace bucperiode;
  setProperty("helpContext", 3053);
  static const char* const kMonths[] = {"&Januar", "&Februar", "&März",     "&April",   "Ma&i",      "J&uni",
                                        "Ju&li",   "Au&gust",  "&September", "&Oktober", "&November", "&Dezember"};
  auto* grid = new QGridLayout;
  for (int m = 0; m < 12; ++m)
    grid->addWidget(Register(kFirstMonth + m, new QRadioButton(QString::fromUtf8(kMonths[m]), this)), m % 6, m / 6);
  outer_->insertLayout(0, grid);
  const Today& today = DayToday();
  SetChecked(kFirstMonth + today.m - 1, true);
  AddEdit(kYear, "&Jahr:", 4)->setText(QString::number(today.y));
  AddButtons();
}

bool PostingMonthDialog::Confirm() {
  using namespace bucperiode;
  int month = 0;
  for (int m = 0; m < 12; ++m)
    if (Checked(kFirstMonth + m)) month = m + 1;
  bool ok = false;
  int year = QString::fromStdString(FieldText(kYear)).trimmed().toInt(&ok);
  if (!ok || year < 1980 || year > 2079) {
    ShowMessage(8, kYear);
    return false;
  }
  CheckResult r = ChoosePostingMonth(month, year, month_);
  if (!r) {
    ShowRefusal(r);
    return false;
  }
  return true;
}

}  // namespace talvera
