#include "posting/posting_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstring>

#include "core/amount.h"
#include "core/layouts/bat.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/balances_dialog.h"
#include "posting/booking_list_dialog_view.h"
#include "posting/document_number.h"
#include "posting/payment_followups.h"
#include "posting/split_dialog.h"
#include "posting/tax_proposal.h"
#include "widgets/copy_target.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;
using namespace buclau;

constexpr int kMessageListBroken = 20;
constexpr int kMessageNothingToShow = 18;
constexpr int kMessageChooseBooking = 90;
constexpr int kMessageNotPosted = 62;
constexpr int kMessageOutsideYears = 84;
constexpr int kMessageClosingDate = 112;
constexpr int kMessageBadRate = 15;
constexpr int kSign = 30227;  // the KG layout's sign field

PostingDialog* g_open = nullptr;

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string Shown(const char* amount) {
  AmountDisplayText shown;
  CopyLimited(shown, amount, sizeof shown);
  AmountFormatQuiet(shown);
  return shown;
}

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

QString ResourceOf(const PostingDialogOptions& o) {
  if (!o.resource.empty()) return Q(o.resource);
  if (o.mode == PostingMode::kReclassification) return "UMBUCHUNG";
  return CurrentSettings().kg ? "BUCLAUKG" : "BUCLAU";
}

QString TitleOf(const PostingDialogOptions& o) {
  if (!o.title.empty()) return Q(o.title);
  if (o.mode == PostingMode::kReclassification) return "Umbuchungen";
  if (o.mode == PostingMode::kClosing) return QString::fromUtf8("Abschlußbuchungen");
  QString title = QString::fromUtf8("Laufende Geschäftsvorfälle");
  if (o.month.chosen())
    title += " - " + Q(PeriodName(1u << (o.month.period - 1), o.month.yearIndex));
  return title;
}

int CurrentYearIndex() {
  const char* year = CurrentMandant().currentYear;
  return year[0] ? std::atoi(year) - 1980 : DayToday().y - 1980;
}

// The date the field shows when the dialog opens.
std::string OpeningDate(PostingMode mode, const PostingMonth& month) {
  char date[7], shown[11];
  if (mode == PostingMode::kClosing) {
    int y = CurrentYearIndex();
    MakePeriodDate(date, DaysInPeriod(12, y), 12, y);
  } else {
    std::strcpy(date, "");
    char today[16];
    CopyLimited(today, DayToday().text, sizeof today);
    if (ParseDate(today) != kDateOk) return DayToday().text;
    std::strcpy(date, today);
    if (month.chosen() && !month.Holds(date)) {
      int day = std::min(DayToday().d, DaysInPeriod(month.period, month.yearIndex));
      MakePeriodDate(date, day, month.period, month.yearIndex);
    }
  }
  FormatDate(date, shown, false);
  return shown;
}

}  // namespace

PostingDialog* OpenPostingDialog() { return g_open; }

PostingDialog::PostingDialog(QWidget* parent, PostingDialogOptions options)
    : TalviDialog(parent, ResourceOf(options), TitleOf(options)),
      month_(options.mode == PostingMode::kOrdinary ? options.month : PostingMonth{}),
      target_(std::move(options.target)),
      sample_(options.sample),
      mode_(options.mode),
      geometry_(options.geometry) {
  setWindowTitle(TitleOf(options));
  if (!target_) target_ = std::make_unique<JournalTarget>(options.user);
  SetPostingMode(mode_);
  if (mode_ == PostingMode::kOrdinary && !sample_) g_open = this;
  BuildControls();
  kg_ = CurrentSettings().kg && mode_ == PostingMode::kOrdinary;
  if (kg_) ArrangeInOneRow();
  FillCombos();
  SetFieldText(kDate, OpeningDate(mode_, month_));
  SetFieldText(kDocumentNumber, sample_ ? std::string("RE0100") : LastDocumentNumber());
  ResetForNext(true);
  ShowTotal();
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  InstallKeypadPlus(this, CurrentSettings().toggle);
  if (mode_ == PostingMode::kOrdinary) RestoreDialogGeometry(this, geometry_, list_);
  Focus(kg_ ? kGross : kDate);
  RegisterCopyTarget(Edit(kDebit));
}

// The KG layout: amount, counter account, number, date and account in one
// row, typed in that order, then the sign: "+" debits the counter account
// ("G-Kto", the debit field) and credits "Konto", "-" the other way round.
void PostingDialog::ArrangeInOneRow() {
  auto* grid = static_cast<QGridLayout*>(outer_->itemAt(0)->layout());
  auto* row = new QHBoxLayout;
  auto* sign = Register(kSign, new QLineEdit("+", this));
  sign->setMaxLength(1);
  sign->setMaximumWidth(fontMetrics().averageCharWidth() * 3 + 16);
  const std::pair<int, const char*> fields[] = {
      {kGross, "&Umsatz"}, {kDebit, "&G-Kto"}, {kDocumentNumber, "&Beleg"}, {kDate, "&Datum"}, {kCredit, "&Konto"}};
  QWidget* previous = nullptr;
  for (const auto& [id, text] : fields) {
    QWidget* w = Control(id);
    for (QLabel* l : findChildren<QLabel*>())
      if (l->buddy() == w) l->hide();
    grid->removeWidget(w);
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setBuddy(w);
    row->addWidget(label);
    row->addWidget(w);
    if (previous) setTabOrder(previous, w);
    previous = w;
  }
  row->addWidget(sign);
  row->addStretch();
  setTabOrder(previous, sign);
  setTabOrder(sign, Control(kRate));
  outer_->insertLayout(0, row);
  connect(sign, &QLineEdit::textEdited, this, [this, sign](const QString& typed) {
    char wanted = typed == "-" ? '-' : '+';
    sign->setText(QString(QChar(wanted)));
    if (wanted != sign_) SwapAccounts();
  });
}

// The sign changed: the two accounts change places with their keep boxes,
// names and balances.
void PostingDialog::SwapAccounts() {
  sign_ = sign_ == '+' ? '-' : '+';
  std::string debit = FieldText(kDebit);
  SetFieldText(kDebit, FieldText(kCredit));
  SetFieldText(kCredit, debit);
  bool keep = Checked(kKeepDebit);
  SetChecked(kKeepDebit, Checked(kKeepCredit));
  SetChecked(kKeepCredit, keep);
  for (auto [a, b] : {std::pair{kDebitName, kCreditName}, std::pair{kDebitBalance, kCreditBalance}}) {
    std::string t = FieldText(a);
    SetFieldText(a, FieldText(b));
    SetFieldText(b, t);
  }
  EvaluateAccounts();
}

PostingDialog::~PostingDialog() {
  if (g_open == this) g_open = nullptr;
  // Hiding moves the focus out of a field; its handlers must not run now.
  for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
  for (QWidget* child : findChildren<QWidget*>()) child->removeEventFilter(this);
  for (int id : {kDebit, kCredit}) UnregisterCopyTarget(Edit(id));
}

// ---- Controls ---------------------------------------------------------------

void PostingDialog::BuildControls() {
  bool reclass = mode_ == PostingMode::kReclassification;
  auto* grid = new QGridLayout;
  int row = 0;
  auto label = [this](const char* text, QWidget* buddy) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setBuddy(buddy);
    return l;
  };
  auto edit = [this](int id, int length) {
    auto* e = Register(id, new QLineEdit(this));
    e->setMaxLength(length);
    QFontMetrics m(e->font());
    e->setMinimumWidth(m.averageCharWidth() * std::max(length, 6) + 16);
    return e;
  };
  auto check = [this](int id, const char* text) {
    auto* c = Register(id, new QCheckBox(QString::fromUtf8(text), this));
    c->setFocusPolicy(Qt::ClickFocus);  // reached by its mnemonic and the numeric pad, not by Tab
    return c;
  };
  auto display = [this](int id) { return Register(id, new QLabel(this)); };

  // Template and control total.
  auto* templ = Register(kTemplate, new QComboBox(this));
  templ->setFocusPolicy(Qt::ClickFocus);
  auto* total = display(kControlTotal);
  total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  total->setFrameShape(QFrame::StyledPanel);
  auto* newTotal = Register(kNewTotal, new QPushButton("&Neu", this));
  newTotal->setAutoDefault(false);
  newTotal->setFocusPolicy(Qt::ClickFocus);
  if (!reclass) {
    grid->addWidget(label("S&chablone:", templ), row, 0);
    grid->addWidget(templ, row, 1, 1, 3);
  } else {
    templ->hide();
  }
  auto* totalLabel = new QLabel("Abstimms&umme", this);
  totalLabel->setBuddy(newTotal);
  grid->addWidget(totalLabel, row, 4);
  grid->addWidget(total, row, 5);
  grid->addWidget(newTotal, row, 6);
  ++row;

  // Date, number, splits.
  QLineEdit* date = edit(kDate, 10);
  QLineEdit* number = edit(kDocumentNumber, kDocumentNumberWidth);
  grid->addWidget(label(reclass ? "B&eldat" : "Belegda&tum:", date), row, 0);
  grid->addWidget(date, row, 1);
  grid->addWidget(label(reclass ? "Bele&gnr" : "Bele&gnr.:", number), row, 2);
  grid->addWidget(number, row, 3);
  grid->addWidget(check(kKeepDocumentNumber, "fest"), row, 4);
  auto* splits = new QHBoxLayout;
  splits->addWidget(check(kDebitSplit, "Sollspl&it"));
  splits->addWidget(check(kCreditSplit, "Habens&plit"));
  if (!reclass) grid->addLayout(splits, row, 5, 1, 2);
  else for (int id : {kDebitSplit, kCreditSplit}) Control(id)->hide();
  ++row;

  // The accounts with their names and balances.
  const int accounts[2][5] = {{kDebit, kKeepDebit, kDebitName, kDebitBalance, 0},
                              {kCredit, kKeepCredit, kCreditName, kCreditBalance, 1}};
  for (const auto& a : accounts) {
    QLineEdit* e = edit(a[0], 8);
    const char* text = a[4] == 0 ? (reclass ? "So&ll" : "&Sollkonto:") : (reclass ? "&Haben" : "&Habenkonto:");
    grid->addWidget(label(text, e), row, 0);
    grid->addWidget(e, row, 1);
    grid->addWidget(check(a[1], "fest"), row, 2);
    QLabel* name = display(a[2]);
    name->setMinimumWidth(fontMetrics().averageCharWidth() * 30);
    grid->addWidget(name, row, 3, 1, 3);
    QLabel* balance = display(a[3]);
    balance->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    balance->setMinimumWidth(fontMetrics().averageCharWidth() * 16);
    grid->addWidget(balance, row, 6);
    connect(e, &QLineEdit::editingFinished, this, [this, e] {
      if (e->isModified()) EvaluateAccounts();
      e->setModified(false);
    });
    ++row;
  }

  // Amounts and tax.
  QLineEdit* gross = edit(kGross, 15);
  grid->addWidget(label(reclass ? "&Betrag" : "&Bruttobetrag:", gross), row, 0);
  grid->addWidget(gross, row, 1);
  auto* currency = Register(kCurrency, new QComboBox(this));
  QLineEdit* foreign = edit(kForeignAmount, 15);
  if (!reclass) {
    grid->addWidget(label("&Währung:", currency), row, 2);
    grid->addWidget(currency, row, 3);
    grid->addWidget(foreign, row, 4, 1, 2);
  } else {
    currency->hide();
    foreign->hide();
  }
  ++row;
  QLineEdit* rate = edit(kRate, 5);
  QLineEdit* tax = edit(kTax, 15);
  QLabel* net = display(kNet);
  net->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (!reclass) {
    grid->addWidget(label("&MwSt-Satz:", rate), row, 0);
    grid->addWidget(rate, row, 1);
    grid->addWidget(new QLabel("MwSt-Betrag:", this), row, 2);
    grid->addWidget(tax, row, 3);
    grid->addWidget(new QLabel("Netto:", this), row, 4);
    grid->addWidget(net, row, 5);
    ++row;
  } else {
    rate->hide();
    tax->hide();
    net->hide();
  }
  connect(gross, &QLineEdit::textEdited, this, [this] {
    taxTyped_ = false;
    RecomputeTax();
  });
  connect(gross, &QLineEdit::editingFinished, this, [this] { RecomputeTax(); });
  connect(rate, &QLineEdit::editingFinished, this, [this] {
    taxTyped_ = false;
    RecomputeTax();
  });
  connect(tax, &QLineEdit::textEdited, this, [this] { taxTyped_ = true; });
  connect(tax, &QLineEdit::editingFinished, this, [this] { RecomputeNet(); });

  // Text and cost centres.
  auto* text = Register(kText, new QComboBox(this));
  text->setEditable(true);
  text->setInsertPolicy(QComboBox::NoInsert);
  text->lineEdit()->setMaxLength(35);
  text->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
  grid->addWidget(label(reclass ? "Buchungste&xt" : "Buchungste&xt:", text), row, 0);
  grid->addWidget(text, row, 1, 1, 5);
  ++row;
  bool costs = CurrentSettings().kr && !reclass;
  QLineEdit* cc1 = edit(kCostCentre1, 7);
  QLineEdit* cc2 = edit(kCostCentre2, 7);
  auto* fix = Register(kFixed, new QRadioButton("fix", this));
  auto* variable = Register(kVariable, new QRadioButton("variabel", this));
  fix->setChecked(true);
  if (costs) {
    grid->addWidget(label("Kostenstelle &1:", cc1), row, 0);
    grid->addWidget(cc1, row, 1);
    grid->addWidget(label("Kostenstelle &2:", cc2), row, 2);
    grid->addWidget(cc2, row, 3);
    grid->addWidget(fix, row, 4);
    grid->addWidget(variable, row, 5);
    ++row;
  } else {
    for (QWidget* w : std::initializer_list<QWidget*>{cc1, cc2, fix, variable}) w->hide();
  }
  outer_->insertLayout(0, grid);

  list_ = Register(kList, new BookingListView(this));
  list_->setMinimumHeight(fontMetrics().height() * 12);
  list_->setFocusPolicy(Qt::ClickFocus);
  outer_->addWidget(list_, 1);

  auto* box = new QDialogButtonBox(this);
  auto* ok = Register(kOk, box->addButton("&Ok", QDialogButtonBox::ActionRole));
  auto* back = Register(kTakeBack, box->addButton("&Rückgängig", QDialogButtonBox::ActionRole));
  auto* balances = Register(kBalances, box->addButton("Kontens&alden...", QDialogButtonBox::ActionRole));
  auto* end = Register(buclau::kEnd, box->addButton(reclass ? "Bu&chen-Ende" : "Buchen-&Ende", QDialogButtonBox::ActionRole));
  ok->setDefault(true);
  for (QPushButton* b : {back, balances, end}) b->setAutoDefault(false);
  outer_->addWidget(box);
  connect(ok, &QPushButton::clicked, this, [this] { ConfirmBooking(); });
  connect(back, &QPushButton::clicked, this, [this] { TakeBack(); });
  connect(balances, &QPushButton::clicked, this, [this] { ShowBalances(); });
  connect(end, &QPushButton::clicked, this, [this] { End(); });
  connect(newTotal, &QPushButton::clicked, this, [this] { NewControlTotal(); });
  connect(templ, qOverload<int>(&QComboBox::activated), this, [this](int i) { TemplateChosen(i); });
  connect(Check(kDebitSplit), &QCheckBox::toggled, this,
          [this](bool on) { SplitToggled(SplitKind::kManyDebitsOneCredit, on); });
  connect(Check(kCreditSplit), &QCheckBox::toggled, this,
          [this](bool on) { SplitToggled(SplitKind::kOneDebitManyCredit, on); });
  connect(date, &QLineEdit::editingFinished, this, [this, date] {
    if (!date->isModified()) return;
    date->setModified(false);
    char d[16];
    CopyLimited(d, FieldText(kDate).c_str(), sizeof d);
    if (ParseDate(d) != kDateOk) return;  // the confirmation names the fault
    if (YearOfDate(d) == 0) {
      ShowMessage(kMessageOutsideYears, kDate);
      return;
    }
    if (mode_ == PostingMode::kClosing) {
      std::string last = OpeningDate(mode_, month_);
      char shown[11];
      FormatDate(d, shown, false);
      if (last != shown) {
        ShowMessage(kMessageClosingDate, kDate);
        SetFieldText(kDate, last);
      }
    }
  });
  // Tab order: the fields a booking needs, in the order they are typed.
  std::vector<QWidget*> order = {date, number, Control(kDebit), Control(kCredit), gross};
  if (!reclass) order.insert(order.end(), {currency, foreign, rate, tax});
  order.push_back(text);
  if (costs) order.insert(order.end(), {cc1, cc2, fix, variable});
  order.insert(order.end(), {ok, back, balances, end});
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void PostingDialog::FillCombos() {
  QComboBox* templ = Combo(kTemplate);
  templ->addItem(QString());
  std::vector<std::string> texts;
  if (!sample_) {
    ListTemplates(templates_);
    ListBookingTexts(texts);
  } else {
    texts = {"Barverkauf", "Miete", "Wareneingang"};
  }
  for (const BookingTemplate& t : templates_) templ->addItem(Q(t.name));
  QComboBox* text = Combo(kText);
  for (const std::string& t : texts) text->addItem(Q(t));
  text->setCurrentIndex(-1);
  QComboBox* currency = Combo(kCurrency);
  currency->addItem(QString());
  for (const char* code : {"USD", "CHF", "GBP", "JPY", "DKK", "SEK", "NOK"}) currency->addItem(code);
}

void PostingDialog::Focus(int id) {
  if (QWidget* w = Control(id)) {
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
  }
}

// ---- Reading and showing the input ------------------------------------------

BookingDraft PostingDialog::ReadDraft() const {
  BookingDraft d;
  d.documentDate = FieldText(kDate);
  d.documentNumber = FieldText(kDocumentNumber);
  d.debit = FieldText(kDebit);
  d.credit = FieldText(kCredit);
  d.gross = FieldText(kGross);
  d.rate = Edit(kRate)->isEnabled() ? FieldText(kRate) : std::string(proposal_.rate);
  d.tax = taxTyped_ ? FieldText(kTax) : std::string();
  d.text = FieldText(kText);
  d.costCentre1 = FieldText(kCostCentre1);
  d.costCentre2 = FieldText(kCostCentre2);
  d.costCentreKind = Checked(kVariable) ? 2 : 1;
  d.keepDocumentNumber = Checked(kKeepDocumentNumber);
  d.currencyEnabled = currencyEnabled_;
  d.currency = FieldText(kCurrency);
  d.foreignAmount = FieldText(kForeignAmount);
  d.proposal = proposal_;
  if (kg_) d.journalByte = sign_;
  d.split = split_;
  d.splitChecked = !split_.empty() && (Checked(kDebitSplit) || Checked(kCreditSplit));
  return d;
}

void PostingDialog::ShowDraft(const BookingDraft& d) {
  SetFieldText(kDate, d.documentDate);
  SetFieldText(kDocumentNumber, d.documentNumber);
  SetFieldText(kDebit, d.debit);
  SetFieldText(kCredit, d.credit);
  SetFieldText(kGross, d.currencyEnabled ? d.gross : d.gross);
  SetFieldText(kText, d.text);
  Combo(kText)->setEditText(Q(d.text));
  SetFieldText(kCostCentre1, d.costCentre1);
  SetFieldText(kCostCentre2, d.costCentre2);
  SetChecked(d.costCentreKind == 2 ? kVariable : kFixed, true);
  currencyEnabled_ = d.currencyEnabled;
  EnableField(kCurrency, currencyEnabled_);
  EnableField(kForeignAmount, currencyEnabled_);
  Combo(kCurrency)->setCurrentText(Q(d.currency));
  SetFieldText(kForeignAmount, d.foreignAmount);
  proposal_ = d.proposal;
  SetFieldText(kRate, d.rate.empty() ? RateForDisplay(proposal_.rate) : d.rate);
  EnableField(kRate, proposal_.rateEnabled);
  taxTyped_ = !d.tax.empty();
  if (taxTyped_) SetFieldText(kTax, d.tax);
  {
    QSignalBlocker a(Check(kDebitSplit)), b(Check(kCreditSplit));
    split_ = d.splitChecked ? d.split : std::vector<char>();
    int kind = split_.empty() ? 0 : static_cast<int>(layouts::GetNumber(split_.data(), bat::kSplitKind));
    SetChecked(kDebitSplit, kind == static_cast<int>(SplitKind::kManyDebitsOneCredit));
    SetChecked(kCreditSplit, kind == static_cast<int>(SplitKind::kOneDebitManyCredit));
  }
  EnableEntryFields(split_.empty());
  EvaluateAccounts();
  // The evaluation proposes afresh; the booking's own rate and tax stand.
  proposal_ = d.proposal;
  SetFieldText(kRate, d.rate.empty() ? RateForDisplay(proposal_.rate) : d.rate);
  EnableField(kRate, proposal_.rateEnabled && split_.empty());
  if (taxTyped_) SetFieldText(kTax, d.tax);
  else RecomputeTax();
}

void PostingDialog::ShowAccount(int nameId, int balanceId, const AccountDisplay& a) {
  SetFieldText(nameId, a.account.found() ? a.account.name : std::string());
  SetFieldText(balanceId, a.balance);
}

void PostingDialog::EvaluateAccounts() {
  if (sample_) return;
  BookingDraft d = ReadDraft();
  EvaluationOptions options;
  options.textFromName = CurrentSettings().ntb;
  options.costAccounting = CurrentSettings().kr && mode_ != PostingMode::kReclassification;
  AccountDisplay debit, credit;
  if (!EvaluateDraftAccounts(d, options, debit, credit)) return;
  ShowAccount(kDebitName, kDebitBalance, debit);
  ShowAccount(kCreditName, kCreditBalance, credit);
  if (!split_.empty()) return;  // a split keeps its accounts and tax
  SetFieldText(kDebit, d.debit);
  SetFieldText(kCredit, d.credit);
  if (options.textFromName) Combo(kText)->setEditText(Q(d.text));
  SetFieldText(kCostCentre1, d.costCentre1);
  SetFieldText(kCostCentre2, d.costCentre2);
  SetChecked(d.costCentreKind == 2 ? kVariable : kFixed, true);
  currencyEnabled_ = d.currencyEnabled && mode_ != PostingMode::kReclassification;
  EnableField(kCurrency, currencyEnabled_);
  EnableField(kForeignAmount, currencyEnabled_);
  if (currencyEnabled_) Combo(kCurrency)->setCurrentText(Q(d.currency));
  proposal_ = d.proposal;
  ShowProposal();
}

void PostingDialog::ShowProposal() {
  SetFieldText(kRate, RateForDisplay(proposal_.rate));
  EnableField(kRate, proposal_.rateEnabled);
  taxTyped_ = false;
  RecomputeTax();
}

void PostingDialog::RecomputeTax() {
  if (mode_ == PostingMode::kReclassification) return;
  AmountText gross, net, tax;
  RateText rate;
  std::string typedRate = Edit(kRate)->isEnabled() ? FieldText(kRate) : std::string(proposal_.rate);
  if (!typedRate.empty() && !ParseAmountText(typedRate, kRateWidth, false, rate)) {
    ShowMessage(kMessageBadRate, kRate);
    return;
  }
  if (typedRate.empty() || !RateSplitsGross(proposal_.taxClass)) std::strcpy(rate, kZeroRate);
  bool zero = AmountIsZero(rate);
  EnableField(kTax, !zero && split_.empty());
  if (!ParseAmountText(FieldText(kGross), kAmountWidth, true, gross)) {
    SetFieldText(kTax, "0,00");
    SetFieldText(kNet, "");
    return;
  }
  if (taxTyped_ && !zero) {
    RecomputeNet();
    return;
  }
  if (!SplitGross(gross, rate, net, tax)) return;
  SetFieldText(kTax, zero ? std::string("0,00") : Shown(tax));
  SetFieldText(kNet, Shown(net));
}

void PostingDialog::RecomputeNet() {
  AmountText gross, tax, net;
  if (!ParseAmountText(FieldText(kGross), kAmountWidth, true, gross) ||
      !ParseAmountText(FieldText(kTax), kAmountWidth, true, tax))
    return;
  AmountSubtract(net, gross, tax);
  SetFieldText(kNet, Shown(net));
}

void PostingDialog::EnableEntryFields(bool enable) {
  for (int id : {kDebit, kCredit, kGross, kTax, kCurrency, kForeignAmount}) EnableField(id, enable);
  if (enable) {
    EnableField(kRate, proposal_.rateEnabled);
    EnableField(kTax, proposal_.rateEnabled && !AmountIsZero(proposal_.rate) && RateSplitsGross(proposal_.taxClass));
    EnableField(kCurrency, currencyEnabled_);
    EnableField(kForeignAmount, currencyEnabled_);
  } else {
    EnableField(kRate, false);
  }
  EnableField(kDebitSplit, enable || Checked(kDebitSplit));
  EnableField(kCreditSplit, enable || Checked(kCreditSplit));
}

void PostingDialog::ShowTotal() { SetFieldText(kControlTotal, Shown(total_)); }

// ---- Splits and templates ---------------------------------------------------

void PostingDialog::ClearSplit() {
  split_.clear();
  QSignalBlocker a(Check(kDebitSplit)), b(Check(kCreditSplit));
  SetChecked(kDebitSplit, false);
  SetChecked(kCreditSplit, false);
  EnableEntryFields(true);
}

void PostingDialog::SplitToggled(SplitKind kind, bool on) {
  if (!on) {
    ClearSplit();
    return;
  }
  auto uncheck = [this, kind] {
    QSignalBlocker a(Check(kDebitSplit)), b(Check(kCreditSplit));
    SetChecked(kind == SplitKind::kManyDebitsOneCredit ? kDebitSplit : kCreditSplit, false);
  };
  char date[16];
  CopyLimited(date, FieldText(kDate).c_str(), sizeof date);
  int parsed = ParseDate(date);
  if (parsed != kDateOk || YearOfDate(date) == 0) {
    uncheck();
    ShowMessage(parsed == kDateOk ? kMessageOutsideYears : 6 + parsed - kBadDay, kDate);
    Focus(kDate);
    return;
  }
  bool oneDebit = kind == SplitKind::kOneDebitManyCredit;
  EntryContext context;
  context.mode = mode_;
  context.costAccounting = CurrentSettings().kr;
  context.costCentreRequired = CurrentSettings().kostPflicht;
  auto* dialog = new SplitDialog(this, kind, FieldText(oneDebit ? kDebit : kCredit), FieldText(kGross), date, context);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::finished, this, [this, dialog, uncheck](int result) {
    if (result != QDialog::Accepted) {
      uncheck();
      EnableEntryFields(true);
      return;
    }
    split_ = dialog->lines();
    const void* b = split_.data();
    auto F = [](const layouts::Field& f) { return bat::kLine.In(0, f); };
    // The entry shows line 0's accounts, the whole gross amount, no rate.
    long long sum = 0;
    for (int i = 0; i < bat::kLineCount; ++i) {
      const char* gross = layouts::FieldBytes(b, bat::kLine.In(i, line_::kGross));
      if (layouts::FieldBytes(b, bat::kLine.In(i, line_::kDebitAccount))[0] == '\0') break;
      long long c = 0;
      AmountToCents(gross, &c);
      sum += c;
    }
    AmountText total;
    AmountFromCents(total, sum);
    auto trimmed = [](const char* s) {
      std::string t(s);
      std::size_t p = t.find_first_not_of(' ');
      return p == std::string::npos ? std::string() : t.substr(p);
    };
    SetFieldText(kDebit, trimmed(layouts::FieldBytes(b, F(line_::kDebitAccount))));
    SetFieldText(kCredit, trimmed(layouts::FieldBytes(b, F(line_::kCreditAccount))));
    SetFieldText(kGross, Shown(total));
    SetFieldText(kRate, "0,00");
    SetFieldText(kTax, "0,00");
    SetFieldText(kNet, "");
    SetFieldText(kCostCentre1, trimmed(layouts::FieldBytes(b, F(line_::kCostCentre1))));
    SetFieldText(kCostCentre2, trimmed(layouts::FieldBytes(b, F(line_::kCostCentre2))));
    EvaluateAccounts();
    EnableEntryFields(false);
    Focus(kText);
  });
  EnableEntryFields(false);
  EnableField(oneDebit ? kDebitSplit : kCreditSplit, false);
  dialog->open();
}

void PostingDialog::TemplateChosen(int index) {
  if (index <= 0 || index > static_cast<int>(templates_.size())) return;
  BookingDraft d = ReadDraft();
  AccountRef debit, credit;
  // A placeholder leaves its field empty: the user names the account there.
  auto choose = [](AccountKind, std::string&) { return false; };
  if (!ApplyTemplate(templates_[static_cast<std::size_t>(index - 1)], d, choose, debit, credit)) return;
  SetFieldText(kDocumentNumber, d.documentNumber);
  SetChecked(kKeepDocumentNumber, d.keepDocumentNumber);
  SetFieldText(kDebit, d.debit);
  SetFieldText(kCredit, d.credit);
  Combo(kText)->setEditText(Q(d.text));
  SetFieldText(kCostCentre1, d.costCentre1);
  SetFieldText(kCostCentre2, d.costCentre2);
  EvaluateAccounts();
  Focus(d.debit.empty() ? kDebit : d.credit.empty() ? kCredit : kGross);
}

// ---- Confirm, take back, end ------------------------------------------------

bool PostingDialog::StartsBooking(const char* date) const {
  const auto& entries = list_->model()->entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (it->fromThisDialog && !it->pending && it->voucherDate == date) return false;
  return true;
}

bool PostingDialog::PostPending() {
  if (!target_->HasPending()) return true;
  std::string date = layouts::FieldBytes(target_->PendingRecord(), bat::kVoucherDate);
  long number = 0;
  if (!target_->Commit(StartsBooking(date.c_str()), number)) {
    ShowMessage(kMessageNotPosted);
    return false;
  }
  list_->model()->MarkPosted(number);
  return true;
}

void PostingDialog::AddPendingEntry() {
  list_->model()->Append(target_->KeptEntry());
  list_->SelectEntry(static_cast<int>(list_->model()->entries().size()) - 1);
}

bool PostingDialog::ConfirmBooking() {
  if (listBroken_) {
    ShowMessage(kMessageListBroken);
    return false;
  }
  BookingDraft d = ReadDraft();
  bool splitUsed = d.splitChecked;
  EntryContext context;
  context.mode = mode_;
  context.month = month_;
  context.checkLock = CurrentSettings().keinePeri;
  context.costAccounting = CurrentSettings().kr;
  context.costCentreRequired = CurrentSettings().kostPflicht;
  context.listEntries = list_->model()->DialogEntries();
  context.listFullMessage = ListFullMessage();
  std::vector<char> record(bat::kLayout.recordLength);
  CheckResult r = CheckBooking(d, context, record.data());
  // The user is to see a marked text (158) and a corrected closing date (112).
  SetFieldText(kDate, d.documentDate);
  Combo(kText)->setEditText(Q(d.text));
  if (!r) {
    ShowRefusal(r);
    if (r.control) Focus(r.control);
    return false;
  }
  if (!PostPending()) return false;
  if (!OfferPaymentFollowUps(record.data(), mode_)) return false;
  if (!target_->Keep(record.data())) return false;
  canRestore_ = false;
  AddPendingEntry();
  AddToControlTotal(total_, record.data());
  ShowTotal();
  ResetForNext(splitUsed);
  if (CurrentSettings().incBelnr && !Checked(kKeepDocumentNumber))
    SetFieldText(kDocumentNumber, IncrementDocumentNumber(FieldText(kDocumentNumber)));
  if (kg_) {
    sign_ = '+';
    SetFieldText(kSign, "+");
  }
  Focus(kg_ ? kGross : kDate);
  return true;
}

void PostingDialog::ResetForNext(bool splitUsed) {
  if (CurrentSettings().lassen && !splitUsed) {
    EvaluateAccounts();  // the kept accounts' balances
    return;
  }
  for (int id : {kGross, kForeignAmount, kCostCentre1, kCostCentre2}) SetFieldText(id, "");
  if (!Checked(kKeepDebit)) SetFieldText(kDebit, "");
  if (!Checked(kKeepCredit)) SetFieldText(kCredit, "");
  Combo(kText)->setCurrentIndex(-1);
  Combo(kText)->setEditText("");
  Combo(kCurrency)->setCurrentIndex(0);
  for (int id : {kDebitName, kDebitBalance, kCreditName, kCreditBalance, kNet}) SetFieldText(id, "");
  SetFieldText(kRate, "0,00");
  SetFieldText(kTax, "0,00");
  proposal_ = TaxProposal{};
  currencyEnabled_ = false;
  taxTyped_ = false;
  ClearSplit();
  EnableField(kRate, false);
  EnableField(kTax, false);
  if (Checked(kKeepDebit) || Checked(kKeepCredit)) EvaluateAccounts();
}

bool PostingDialog::TakeBack() {
  if (listBroken_) {
    ShowMessage(kMessageListBroken);
    return false;
  }
  if (target_->HasPending()) {
    BookingDraft input = ReadDraft();
    std::vector<char> back;
    if (!target_->TakeBack(back)) return false;
    list_->model()->RemoveLast();
    // The control total counts the bookings that are in the list.
    AmountText without;
    std::strcpy(without, kZeroAmount);
    AddToControlTotal(without, back.data());
    AmountText total;
    AmountSubtract(total, total_, without);
    std::strcpy(total_, total);
    ShowTotal();
    undoInput_ = input;
    undoRecord_ = back;
    canRestore_ = true;
    ShowDraft(DraftFromBooking(back.data()));
    Focus(kDate);
    return true;
  }
  if (canRestore_) {
    // Again before confirming: the saved input returns, the booking waits again.
    if (!target_->Keep(undoRecord_.data())) return false;
    canRestore_ = false;
    AddPendingEntry();
    AddToControlTotal(total_, undoRecord_.data());
    ShowTotal();
    ShowDraft(undoInput_);
    Focus(kDate);
    return true;
  }
  return false;
}

bool PostingDialog::End() {
  if (ending_) return true;
  if (!PostPending()) return false;
  ending_ = true;
  if (!sample_) {
    if (mode_ == PostingMode::kOrdinary) SaveDialogGeometry(this, geometry_);
    StoreOnEnd();
    const char* current = CurrentMandant().currentYear;
    if (current[0] && WorkingYear() != current) SwitchWorkingYear(current);
  }
  SetPostingMode(PostingMode::kOrdinary);
  if (g_open == this) g_open = nullptr;
  emit ended();
  QDialog::done(QDialog::Accepted);
  return true;
}

void PostingDialog::StoreOnEnd() { StoreLastDocumentNumber(FieldText(kDocumentNumber)); }

bool PostingDialog::ShowBalances() {
  if (listBroken_) {
    ShowMessage(kMessageListBroken);
    return false;
  }
  const auto& entries = list_->model()->entries();
  if (entries.empty()) {
    ShowMessage(kMessageNothingToShow);
    return false;
  }
  int entry = list_->SelectedEntry();
  if (entry < 0) {
    ShowMessage(kMessageChooseBooking);
    return false;
  }
  std::vector<AccountBalanceLine> accounts;
  if (!ReadBookingBalances(entries[static_cast<std::size_t>(entry)], accounts)) return false;
  BalancesDialog dialog(this, accounts, DayToday().text);
  dialog.exec();
  return true;
}

void PostingDialog::NewControlTotal() {
  std::strcpy(total_, kZeroAmount);
  ShowTotal();
}

bool PostingDialog::Start() {
  ShowTotal();
  if (sample_) return true;
  RecoveredBooking recovered = target_->Recover();
  std::vector<BookingListEntry> month;
  bool ok = LoadMonthBookings(month_, month);
  list_->model()->SetEntries(std::move(month));
  if (recovered == RecoveredBooking::kPending) AddPendingEntry();
  if (!list_->model()->entries().empty())
    list_->scrollTo(list_->model()->index(list_->model()->rowCount() - 1, 0));
  return ok;
}

bool PostingDialog::Confirm() {
  ConfirmBooking();
  return false;
}

void PostingDialog::reject() { End(); }

void PostingDialog::closeEvent(QCloseEvent* event) {
  if (ending_ || End()) {
    event->accept();
    return;
  }
  event->ignore();
}

// Keys of the posting dialog: F11 and F12 switch the debit and the credit
// split on, numeric-pad "/" and "*" the keep boxes of the two accounts,
// numeric-pad "-" the keep box of the document number; Enter confirms.
bool PostingDialog::eventFilter(QObject* watched, QEvent* event) {
  // The account field last entered is where "&Kopieren" of an account window writes.
  if (event->type() == QEvent::FocusIn && (watched == Edit(kDebit) || watched == Edit(kCredit)))
    RegisterCopyTarget(static_cast<QLineEdit*>(watched));
  if (event->type() != QEvent::KeyPress) return TalviDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  bool keypad = key->modifiers() & Qt::KeypadModifier;
  auto toggle = [this](int id) {
    if (QWidget* w = Control(id); w && w->isEnabled() && w->isVisible()) SetChecked(id, !Checked(id));
    return true;
  };
  switch (key->key()) {
    case Qt::Key_F11: return toggle(kDebitSplit);
    case Qt::Key_F12: return toggle(kCreditSplit);
    case Qt::Key_Slash: if (keypad) return toggle(kKeepDebit); break;
    case Qt::Key_Asterisk: if (keypad) return toggle(kKeepCredit); break;
    case Qt::Key_Minus: if (keypad) return toggle(kKeepDocumentNumber); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!CurrentSettings().toggle && !qobject_cast<QPushButton*>(watched) && watched != list_) {
        // Leaving the field first, as a click on "&Ok" would.
        if (auto* e = qobject_cast<QLineEdit*>(watched)) emit e->editingFinished();
        ConfirmBooking();
        return true;
      }
      break;
    default: break;
  }
  return TalviDialog::eventFilter(watched, event);
}

// ---- Gallery ----------------------------------------------------------------

QDialog* PostingDialogSample(QWidget* parent, PostingMode mode) {
  PostingDialogOptions o;
  o.mode = mode;
  o.sample = true;
  o.month.period = DayToday().m;
  o.month.yearIndex = DayToday().y - 1980;
  auto* dialog = new PostingDialog(parent, std::move(o));
  std::vector<BookingListEntry> entries;
  auto add = [&entries](long number, bool pending, std::vector<BookingListRow> rows) {
    BookingListEntry e;
    e.postingNumber = number;
    e.pending = pending;
    e.fromThisDialog = number > 2 || pending;
    e.rows = std::move(rows);
    entries.push_back(std::move(e));
  };
  add(1, false, {{"02.12.26", "RE0097", "1200", "8400", "1576", "119,00", "19,00", "Barverkauf"}});
  add(2, false, {{"03.12.26", "RE0098", "4210", "70000", "1576", "1.190,00", "190,00", "Miete Dezember"}});
  add(3, false, {{"04.12.26", "RE0099", "10000", "8400", "1776", "357,00", "57,00", "Verkauf"},
                 {"", "", "10000", "8300", "1771", "107,00", "7,00", "Verkauf"}});
  add(0, true, {{"05.12.26", "RE0100", "1000", "1200", "", "500,00", "", "Bareinzahlung"}});
  dialog->list()->model()->SetEntries(std::move(entries));
  return dialog;
}

}  // namespace talvera
