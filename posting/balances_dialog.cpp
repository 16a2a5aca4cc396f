#include "posting/balances_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/message.h"

namespace talvera {

namespace {
constexpr int kMessageNoBalances = 93;
}

BalancesDialog::BalancesDialog(QWidget* parent, const std::vector<AccountBalanceLine>& accounts,
                               const std::string& date)
    : TalviDialog(parent, "BUCSAL", "Salden per") {
  setWindowTitle(QString::fromUtf8("Salden per ") + QString::fromStdString(date));
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Konto", this), 0, 0);
  grid->addWidget(new QLabel("Bezeichnung", this), 0, 1);
  grid->addWidget(new QLabel("Soll :", this), 0, 2, Qt::AlignRight);
  grid->addWidget(new QLabel("Haben :", this), 0, 3, Qt::AlignRight);
  int row = 1;
  for (const AccountBalanceLine& a : accounts) {
    grid->addWidget(new QLabel(QString::fromStdString(a.number), this), row, 0);
    grid->addWidget(new QLabel(QString::fromStdString(a.name), this), row, 1);
    std::string amount = a.balance.substr(0, a.balance.find(' '));
    int column = a.side == 'H' ? 3 : 2;
    grid->addWidget(new QLabel(QString::fromStdString(amount.empty() ? "0,00" : amount), this), row, column,
                    Qt::AlignRight);
    ++row;
  }
  grid->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 14);
  grid->setColumnMinimumWidth(3, fontMetrics().averageCharWidth() * 14);
  outer_->insertLayout(0, grid);
  auto* box = new QDialogButtonBox(this);
  auto* ok = Register(kIdOkButton, box->addButton("&Ok", QDialogButtonBox::AcceptRole));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  outer_->addWidget(box);
}

bool ReadBookingBalances(const BookingListEntry& entry, std::vector<AccountBalanceLine>& out) {
  out.clear();
  if (entry.rows.empty()) return false;
  const BookingListRow& first = entry.rows.front();
  for (const std::string* number : {&first.debit, &first.credit, &first.taxAccount}) {
    if (number->empty()) continue;
    AccountBalanceLine line;
    if (!ReadAccountBalance(*number, line)) {
      ShowMessage(kMessageNoBalances);
      return false;
    }
    if (line.found) out.push_back(line);
  }
  if (out.empty()) {
    ShowMessage(kMessageNoBalances);
    return false;
  }
  return true;
}

}  // namespace talvera
