#include "posting/opening_posting_dialog.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstring>
#include <vector>

#include "core/amount.h"
#include "core/field_readers.h"
#include "core/layouts/bat.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/today.h"
#include "posting/booking_list.h"
#include "widgets/copy_target.h"

namespace talvera {
namespace {

using namespace bucero;

enum Message : int {
  kAccountsEqual = 30,
  kAccountMissing = 36,
  kNotPosted = 62,
  kOutsideYears = 83,
  kAmountZero = 518,
  kCollectiveDirect = 770,
};

constexpr int kTextWidth = 32;  // the record's text is "EB " and this

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string TrimLeft(const std::string& s) {
  std::size_t p = s.find_first_not_of(' ');
  return p == std::string::npos ? std::string() : s.substr(p);
}

std::string Shown(const std::string& amount) {
  AmountDisplayText shown;
  CopyLimited(shown, amount.c_str(), sizeof shown);
  AmountFormatQuiet(shown);
  return shown;
}

std::string ShownDate(const std::string& date) {
  char shown[11] = "";
  if (!date.empty()) FormatDate(date.c_str(), shown, false);
  return shown;
}

// One line of the list: date, account, the amount under its side, text.
QString ListLine(const OpeningEntry& e) {
  std::string amount = Shown(e.amount);
  return Q(ShownDate(e.date) + "\t" + TrimLeft(e.account) + "\t" + (e.side == 0 ? amount : "") + "\t" +
           (e.side == 1 ? amount : "") + "\t" + e.text);
}

}  // namespace

// ---- BUCEROMSG ----------------------------------------------------------------

OpeningNoticeDialog::OpeningNoticeDialog(QWidget* parent)
    : TalviDialog(parent, "BUCEROMSG", QString::fromUtf8("Eröffnungsbuchungen")) {
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon::fromTheme("dialog-information").pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);
  row->addWidget(icon);
  auto* text = new QLabel(QString::fromUtf8("Sie wissen, daß Eröffnungsbuchungen neutral behandelt werden, also "
                                            "keinen Einfluß auf die GuV haben."),
                          this);
  text->setWordWrap(true);
  text->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
  row->addWidget(text, 1);
  form_->addRow(row);
  auto* box = new QDialogButtonBox(this);
  auto* next = Register(buceromsg::kContinue, box->addButton("&Weiter...", QDialogButtonBox::AcceptRole));
  auto* cancel = Register(buceromsg::kCancel, box->addButton("&Abbrechen", QDialogButtonBox::RejectRole));
  next->setDefault(true);
  connect(next, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  outer_->addWidget(box);
}

// ---- BUCERO -------------------------------------------------------------------

OpeningPostingDialog::OpeningPostingDialog(QWidget* parent, std::string user)
    : TalviDialog(parent, "BUCERO", QString::fromUtf8("Eröffnungsbuchungen")),
      pending_(std::move(user), PostOpeningBooking, kOpeningRecoveryBatch) {
  setProperty("helpContext", 3014);
  AddEdit(kDate, "B&eldat :", 10)->setText(Q(DayToday().text));
  auto* accountRow = new QHBoxLayout;
  auto* account = Register(kAccount, new QLineEdit(this));
  account->setMaxLength(7);
  account->setMaximumWidth(fontMetrics().averageCharWidth() * 9 + 16);
  auto* name = Register(kAccountName, new QLabel(this));
  name->setMinimumWidth(fontMetrics().averageCharWidth() * 30);
  accountRow->addWidget(account);
  accountRow->addWidget(name, 1);
  AddRow("K&nr.:", accountRow);
  auto* amountRow = new QHBoxLayout;
  auto* debit = Register(kDebit, new QRadioButton("Soll", this));
  auto* credit = Register(kCredit, new QRadioButton("Haben", this));
  auto* amount = Register(kAmount, new QLineEdit(this));
  amount->setMaxLength(15);
  amount->setMaximumWidth(fontMetrics().averageCharWidth() * 16 + 16);
  debit->setChecked(true);
  amountRow->addWidget(amount);
  amountRow->addWidget(debit);
  amountRow->addWidget(credit);
  amountRow->addStretch();
  AddRow("Ne&ttobetrag", amountRow);
  AddEdit(kText, "Buchungste&xt", kTextWidth);
  AddList(kList, "", {{"Datum", 8}, {"Konto", 7, true}, {"Soll", 13, true}, {"Haben", 13, true}, {"Text", 32}})
      ->setFocusPolicy(Qt::ClickFocus);

  auto* box = new QDialogButtonBox(this);
  auto* ok = Register(kOk, box->addButton("&Ok", QDialogButtonBox::ActionRole));
  auto* back = Register(kTakeBack, box->addButton("&Rückgängig", QDialogButtonBox::ActionRole));
  auto* end = Register(kEnd, box->addButton("&Beenden", QDialogButtonBox::ActionRole));
  ok->setDefault(true);
  back->setAutoDefault(false);
  end->setAutoDefault(false);
  outer_->addWidget(box);
  connect(ok, &QPushButton::clicked, this, [this] { ConfirmEntry(); });
  connect(back, &QPushButton::clicked, this, [this] { TakeBack(); });
  connect(end, &QPushButton::clicked, this, [this] { End(); });
  connect(account, &QLineEdit::editingFinished, this, [this] { ShowAccountName(); });
  account->installEventFilter(this);
  setTabOrder(Control(kDate), account);
  setTabOrder(account, amount);
  setTabOrder(amount, debit);
  setTabOrder(debit, Control(kText));
  setTabOrder(Control(kText), ok);
}

OpeningPostingDialog::~OpeningPostingDialog() {
  Edit(kAccount)->removeEventFilter(this);
  disconnect(Edit(kAccount), nullptr, this, nullptr);
  UnregisterCopyTarget(Edit(kAccount));
}

void OpeningPostingDialog::Start() {
  if (OfferRecoveredBooking(pending_) == RecoveredBooking::kPending) AddPendingLine();
}

// "&Kopieren" of an account window writes into the account field.
bool OpeningPostingDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched == Edit(kAccount)) RegisterCopyTarget(Edit(kAccount));
  return TalviDialog::eventFilter(watched, event);
}

void OpeningPostingDialog::ShowAccountName() {
  AccountBalanceLine line;
  std::string typed = TrimLeft(FieldText(kAccount));
  bool known = !typed.empty() && ReadAccountBalance(typed, line) && line.found;
  SetFieldText(kAccountName, known ? line.name : std::string());
}

bool OpeningPostingDialog::ReadEntry(OpeningEntry& e) {
  char date[11];
  if (!ReadDateField(*this, kDate, date)) return false;
  if (YearOfDate(date) == 0) {
    ShowMessage(kOutsideYears, kDate);
    return false;
  }
  char account[16];
  AccountKind kind = kNoAccount;
  if (!ReadAccountField(*this, kAccount, account, kind, kAccountMissing, true)) return false;
  // The carry-forward account is the other side of every entry; the
  // collective accounts get their opening balances through the Debitoren
  // and Kreditoren, so that they keep agreeing with them.
  if (std::strcmp(account, kCarryForwardAccount) == 0) {
    ShowMessage(kAccountsEqual, kAccount);
    return false;
  }
  const MandantValues& m = CurrentMandant();
  if (std::strcmp(account, m.receivablesAccount) == 0 || std::strcmp(account, m.payablesAccount) == 0) {
    ShowMessage(kCollectiveDirect, kAccount);
    return false;
  }
  char amount[32];
  if (!ReadSignedAmountField(*this, kAmount, amount, kAmountWidth)) return false;
  if (AmountIsZero(amount)) {
    ShowMessage(kAmountZero, kAmount);
    return false;
  }
  e.date = date;
  e.account = account;
  e.kind = kind;
  e.side = Checked(kCredit) ? 1 : 0;
  e.amount = amount;
  e.text = FieldText(kText).substr(0, kTextWidth);
  return true;
}

bool OpeningPostingDialog::PostPending() {
  if (!pending_.has()) return true;
  if (!pending_.Post(true)) {
    ShowMessage(kNotPosted);
    return false;
  }
  // The entry is in the books now: its line loses the pending look.
  QListWidget* list = List(kList);
  if (list->count() > 0) {
    QFont font = list->item(list->count() - 1)->font();
    font.setItalic(false);
    list->item(list->count() - 1)->setFont(font);
  }
  return true;
}

// The pending entry is the last line, in italics until it is posted.
void OpeningPostingDialog::AddPendingLine() {
  QListWidget* list = List(kList);
  list->addItem(ListLine(OpeningEntryOfBooking(pending_.record())));
  QListWidgetItem* item = list->item(list->count() - 1);
  QFont font = item->font();
  font.setItalic(true);
  item->setFont(font);
  list->setCurrentItem(item);
}

bool OpeningPostingDialog::ConfirmEntry() {
  OpeningEntry e;
  if (!ReadEntry(e)) return false;
  if (!PostPending()) return false;
  std::vector<char> booking(layouts::bat::kLayout.recordLength);
  OpeningEntryToBooking(e, booking.data());
  if (!pending_.Keep(booking.data())) return false;
  AddPendingLine();
  // The date stays for the next entry.
  for (int id : {kAccount, kAmount, kText, kAccountName}) SetFieldText(id, "");
  Edit(kAccount)->setFocus();
  return true;
}

void OpeningPostingDialog::ShowEntry(const OpeningEntry& e) {
  SetFieldText(kDate, ShownDate(e.date));
  SetFieldText(kAccount, TrimLeft(e.account));
  SetChecked(e.side == 1 ? kCredit : kDebit, true);
  SetFieldText(kAmount, Shown(e.amount));
  SetFieldText(kText, e.text);
  ShowAccountName();
}

bool OpeningPostingDialog::TakeBack() {
  if (!pending_.has()) return false;
  std::vector<char> back;
  if (!pending_.TakeBack(back)) return false;
  QListWidget* list = List(kList);
  delete list->takeItem(list->count() - 1);
  ShowEntry(OpeningEntryOfBooking(back.data()));
  Edit(kAccount)->setFocus();
  return true;
}

bool OpeningPostingDialog::End() {
  if (ending_) return true;
  if (!PostPending()) return false;
  ending_ = true;
  QDialog::done(QDialog::Accepted);
  return true;
}

bool OpeningPostingDialog::Confirm() {
  ConfirmEntry();
  return false;
}

void OpeningPostingDialog::reject() { End(); }

void OpeningPostingDialog::closeEvent(QCloseEvent* event) {
  if (ending_ || End()) {
    event->accept();
    return;
  }
  event->ignore();
}

QDialog* OpeningPostingDialogSample(QWidget* parent) {
  auto* d = new OpeningPostingDialog(parent, "");
  d->SetFieldText(kDate, "01.01.26");
  d->SetFieldText(kAccount, "1200");
  d->SetFieldText(kAccountName, "Bank");
  d->SetFieldText(kAmount, "12.500,00");
  d->SetFieldText(kText, "Bankguthaben");
  QListWidget* list = d->List(kList);
  list->addItem("01.01.26\t1000\t1.250,00\t\tKassenbestand");
  list->addItem("01.01.26\t10000\t4.760,00\t\tRechnung 97");
  list->addItem("01.01.26\t70000\t\t2.380,00\tRechnung L-12");
  QFont font = list->item(2)->font();
  font.setItalic(true);
  list->item(2)->setFont(font);
  return d;
}

}  // namespace talvera
