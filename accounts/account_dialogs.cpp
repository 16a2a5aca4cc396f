#include "accounts/account_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <cstring>
#include <set>

#include "accounts/bank_dialog.h"
#include "core/amount.h"
#include "core/field_readers.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "reports/structure_dialogs.h"

namespace talvera {

namespace {

namespace S = layouts::sako;
namespace P = layouts::personal;
namespace K = layouts::kore;
using namespace kontoneu;
using namespace kontowahl;

constexpr int kMessageInUse = 719;
constexpr int kMessageSelect = 1;
constexpr int kMessageNoneDeletable = 29;
constexpr int kMessageAllWarning = 14;
constexpr int kMessageReallyAll = 16;
constexpr int kMessageNoLongerThere = 36;

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string Trimmed(const std::string& s) {
  std::size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

std::set<std::string>& InUse() {
  static std::set<std::string> names;
  return names;
}

// An amount text of a record as the user types it ("1.234,50", "-12,30").
QString AmountShown(const void* record, const layouts::Field& field) {
  AmountDisplayText shown = {};
  std::string raw = layouts::GetText(record, field);
  if (raw.empty()) return {};
  CopyLimited(shown, raw.c_str(), sizeof shown);
  AmountFormatQuiet(shown);
  return QString::fromLatin1(shown);
}

QString DateShown(const void* record, const layouts::Field& field) {
  std::string raw = layouts::GetText(record, field);
  if (raw.empty()) return {};
  char out[11];
  FormatDate(raw.c_str(), out, true);
  return QString::fromLatin1(out);
}

// The rate list of a Sachkonto: one line per tax-key class, in the order of
// kRateLineClasses.
constexpr const char* kRateLines[] = {"Regelsteuersatz", "ermäßigter Steuersatz", "sonstiger Steuersatz",
                                      "EG-Steuersatz", "Nullsteuersatz", "§ 13b-Steuersatz"};
static_assert(std::size(kRateLines) == std::size(kRateLineClasses));

const layouts::Field& BudgetField(AccountFile file) {
  switch (file) {
    case AccountFile::kSako: return S::kBudget;
    case AccountFile::kDebi:
    case AccountFile::kKred: return P::kBudget;
    case AccountFile::kKore: break;
  }
  return K::kBudget;
}

std::string NumberOf(AccountFile file, const void* record) {
  return layouts::GetText(record, file == AccountFile::kKore   ? K::kNumber
                                  : file == AccountFile::kSako ? S::kAccountNo
                                                               : P::kAccountNo);
}

int SlotOfFile(AccountFile file) {
  static const int kSlots[] = {kSlotSako, kSlotDebi, kSlotKred, kSlotKore};
  return kSlots[static_cast<int>(file)];
}

int LengthOfFile(AccountFile file) {
  return file == AccountFile::kSako   ? S::kLayout.recordLength
         : file == AccountFile::kKore ? K::kLayout.recordLength
                                      : P::kLayout.recordLength;
}

}  // namespace

// ---- Single use ---------------------------------------------------------------

SingleUse::SingleUse(const char* name) : name_(name), ok_(!InUse().count(name)) {
  if (ok_)
    InUse().insert(name_);
  else
    ShowMessage(kMessageInUse, 0, name_);
}

SingleUse::~SingleUse() {
  if (ok_) InUse().erase(name_);
}

bool ReadAccountRecord(WindowKind kind, const std::string& number, std::vector<char>& record, bool& found) {
  AccountFile file = KindOf(kind).file;
  record.assign(static_cast<std::size_t>(LengthOfFile(file)), 0);
  char key[16];
  std::snprintf(key, sizeof key, "%7s", Trimmed(number).c_str());
  return GetEqual(record.data(), KeyValue(key, 8), found, MakeFileId(SlotOfFile(file), 0));
}

// ---- New and change dialogs ------------------------------------------------------

AccountDialog::AccountDialog(QWidget* parent, WindowKind kind, const std::vector<char>& record,
                             AccountOrder order, const std::string& preset)
    : TalviDialog(parent, record.empty() ? KindOf(kind).newDialog : KindOf(kind).changeDialog, ""),
      kind_(KindOf(kind)),
      record_(record) {
  switch (kind_.file) {
    case AccountFile::kSako: BuildSachkonto(); break;
    case AccountFile::kDebi:
    case AccountFile::kKred: BuildPerson(); break;
    case AccountFile::kKore: BuildCostCentre(); break;
  }
  BuildButtons();
  if (isNew()) {
    if (kind_.file != AccountFile::kKore) Edit(kOpeningDate)->setText(QString::fromLatin1(DayToday().text));
    Preset(order, preset);
  } else {
    ShowRecord();
    Edit(kNumber)->setReadOnly(true);
    Edit(kNumber)->setFocusPolicy(Qt::NoFocus);
  }
  UpdateEnabling();
}

QButtonGroup* AccountDialog::Group(std::initializer_list<int> ids) {
  auto* group = new QButtonGroup(this);
  for (int id : ids) group->addButton(Radio(id), id);
  return group;
}

void AccountDialog::BuildSachkonto() {
  BeginColumns(2);
  BeginGroup("");
  AddEdit(kNumber, "Konto-&Nr. :", 7);
  AddEdit(kShortCode, "Konto-&Kürzel :", kLongestShortCode);
  AddEdit(kName, "Konto-&Bezeichnung :", 25);
  AddEdit(kOpeningDate, "Erö&ffnungsdatum :", 10);
  AddEdit(kUstvaKey, "&UstVa-Kennziffer :", 3);
  EndGroup();
  BeginGroup("&Kontoart");
  AddRadio(kClassAsset, "Bilanz - Aktivposten");
  AddRadio(kClassLiability, "Bilanz - Passivposten");
  AddRadio(kClassProfitLoss, "GuV - Posten");
  AddRadio(kClassNone, "ohne Zuordnung")->setChecked(true);
  Group({kClassAsset, kClassLiability, kClassProfitLoss, kClassNone});
  AddCheck(kFixedAsset, "Datev-AM/AV");
  AddCheck(kRevenue, "Umsatzerlöse");
  EndGroup();
  BeginGroup("&Steuersatz");
  AddRadio(kInputTax, "Vorsteuer");
  AddRadio(kOutputTax, "Umsatzsteuer");
  AddRadio(kTaxFree, "nicht steuerpflichtig")->setChecked(true);
  Group({kInputTax, kOutputTax, kTaxFree});
  QListWidget* rates = AddList(kRateList, "");
  for (const char* line : kRateLines) rates->addItem(QString::fromUtf8(line));
  int row = std::max(rates->fontMetrics().lineSpacing() + 2, 18);
  rates->setMinimumHeight(row * 5 + 2 * rates->frameWidth());
  rates->setMaximumHeight(row * 5 + 2 * rates->frameWidth() + 4);
  AddEdit(kRatePercent, "% :", 5);
  EndGroup();
  BeginGroup("Kostenrechnung");
  AddCheck(kCostType, "Kostenart");
  AddRadio(kCostFixed, "fix")->setChecked(true);
  AddRadio(kCostVariable, "variabel");
  Group({kCostFixed, kCostVariable});
  AddEdit(kCostCentre1, "KoSt.&1:", 7);
  AddEdit(kCostCentre2, "KoSt.&2:", 7);
  EndGroup();
  EndColumns();
  BuildPreviousYear();
  for (int id : std::initializer_list<int>{kClassAsset, kClassLiability, kClassProfitLoss, kClassNone, kCostType,
                                         kTaxFree, kInputTax, kOutputTax})
    connect(qobject_cast<QAbstractButton*>(Control(id)), &QAbstractButton::toggled, this,
            [this] { UpdateEnabling(); });
  connect(rates, &QListWidget::currentRowChanged, this, [this] { UpdateEnabling(); });
}

void AccountDialog::BuildPerson() {
  bool debitor = kind_.file == AccountFile::kDebi;
  BeginColumns(2);
  BeginGroup("");
  AddEdit(kNumber, "Konto-&Nr. :", 7);
  AddEdit(kShortCode, "Konto-&Kürzel :", kLongestShortCode);
  AddEdit(kOpeningDate, "Erö&ffnungsdat. :", 10);
  AddEdit(kCounterAccount, "&Gegenkonto :", 7);
  AddEdit(kName, "Konto-&Name :", 25);
  AddEdit(kSupplement, "&Zusatz :", 25);
  AddEdit(kStreet, "&Straße :", 30);
  AddEdit(kPostalCode, "&PLZ :", 6);
  AddEdit(kTown, "Or&t :", 30);
  AddEdit(kCountry, "&Land :", 3);
  AddEdit(kCurrency, "&Währung :", 4);
  AddEdit(kVatId, "&ID-Nr. :", 15);
  AddCheck(kContractProcessing, "Lohnver&edelung");
  EndGroup();
  BeginGroup("Bank und Zahlung");
  AddEdit(kBankCode, "&BLZ :", 8);
  AddEdit(kBankAccount, "KtoN&r.:", 10);
  AddEdit(kBankName, "Ban&k :", 27);
  AddEdit(kPaymentReference, "&Verwendungszweck:", 27);
  AddEdit(kDiscountDays, "Skontotage :", 3);
  AddEdit(kDiscountPercent, "Skonto :", 5);
  AddEdit(kPaymentDays, "Zahlungsziel :", 3);
  if (debitor) {
    AddHeading("&Mahnbarkeit");
    AddRadio(kDunning, "mahnen")->setChecked(true);
    AddRadio(kNoDunning, "nicht mahnen");
    Group({kDunning, kNoDunning});
  }
  EndGroup();
  EndColumns();
  BuildPreviousYear();
}

void AccountDialog::BuildCostCentre() {
  AddEdit(kNumber, "KoSt.-&Nummer :", 7);
  AddEdit(kShortCode, "Kür&zel :", kLongestShortCode);
  AddEdit(kName, "&Bezeichnung :", 30);
}

void AccountDialog::BuildPreviousYear() {
  BeginColumns(1);
  BeginGroup("&Vorjahr");
  auto* line = new QHBoxLayout;
  auto add = [&](int id, const char* label) {
    auto* caption = new QLabel(QString::fromUtf8(label), this);
    auto* edit = Register(id, new QLineEdit(this));
    edit->setMaxLength(15);
    edit->setMinimumWidth(fontMetrics().averageCharWidth() * 14);
    edit->setAlignment(Qt::AlignRight);
    caption->setBuddy(edit);
    line->addWidget(caption);
    line->addWidget(edit);
  };
  add(kPrevDebit, "Umsatz Soll");
  add(kPrevCredit, "Umsatz Haben");
  add(kPrevBalance, "Endbestand");
  auto* debit = Register(kPrevDebitSide, new QRadioButton("Soll", this));
  auto* credit = Register(kPrevCreditSide, new QRadioButton("Haben", this));
  debit->setChecked(true);
  line->addWidget(debit);
  line->addWidget(credit);
  form_->addRow(line);
  Group({kPrevDebitSide, kPrevCreditSide});
  EndGroup();
  EndColumns();
}

void AccountDialog::BuildButtons() {
  auto* box = new QDialogButtonBox(this);
  auto* ok = Register(kIdOkButton, box->addButton("&Ok", QDialogButtonBox::AcceptRole));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TalviDialog::accept);
  if (kind_.file == AccountFile::kSako && isNew()) {
    auto* bank = Register(kOkBank, box->addButton("Ok -> Ba&nk", QDialogButtonBox::ActionRole));
    connect(bank, &QPushButton::clicked, this, [this] { OkToBank(); });
  }
  if (!isNew() && kind_.file != AccountFile::kKore) {
    auto* budget = Register(kBudgetButton, box->addButton("&Sollwerte...", QDialogButtonBox::ActionRole));
    connect(budget, &QPushButton::clicked, this, [this] {
      // The budget dialog stores the figures itself; this dialog's record
      // takes them over, so that its own OK does not write the old ones back.
      WindowKind kind = WindowKindOf(kind_.file);
      std::string number = NumberOf(kind_.file, record_.data());
      std::vector<char> fresh;
      bool found = false;
      if (!RunBudget(this, kind, number) || !ReadAccountRecord(kind, number, fresh, found) || !found) return;
      const layouts::Field& f = BudgetField(kind_.file);
      std::memcpy(layouts::FieldBytes(record_.data(), f), layouts::FieldBytes(fresh.data(), f), f.Span());
    });
  }
  auto* cancel = Register(kIdCancelButton, box->addButton("&Abbrechen", QDialogButtonBox::RejectRole));
  connect(cancel, &QPushButton::clicked, this, &TalviDialog::reject);
  if (kind_.file == AccountFile::kSako && isNew()) {
    auto* row = new QHBoxLayout;
    auto* place = Register(kPlaceInStructure, new QCheckBox("Aufbau festlegen", this));
    place->setChecked(CurrentSettings().aufbau);
    row->addWidget(place);
    row->addStretch();
    row->addWidget(box);
    outer_->addLayout(row);
  } else {
    outer_->addWidget(box);
  }
}

void AccountDialog::Preset(AccountOrder order, const std::string& text) {
  std::string value = Trimmed(text);
  if (value.empty()) return;
  switch (order) {
    case AccountOrder::kNumber: Edit(kNumber)->setText(Q(value)); break;
    case AccountOrder::kShortCode: Edit(kShortCode)->setText(Q(value)); break;
    case AccountOrder::kName: Edit(kName)->setText(Q(value)); break;
    case AccountOrder::kPostalCode:
      if (QLineEdit* postal = Edit(kPostalCode)) postal->setText(Q(value));
      break;
  }
}

void AccountDialog::ShowRecord() {
  const char* r = record_.data();
  auto set = [this](int id, const QString& text) {
    if (QLineEdit* e = Edit(id)) e->setText(text);
  };
  if (kind_.file == AccountFile::kKore) {
    set(kNumber, Q(Trimmed(layouts::GetText(r, K::kNumber))));
    set(kShortCode, Q(layouts::GetText(r, K::kShortCode)));
    set(kName, Q(layouts::GetText(r, K::kName)));
    return;
  }
  bool sako = kind_.file == AccountFile::kSako;
  const auto& number = sako ? S::kAccountNo : P::kAccountNo;
  set(kNumber, Q(Trimmed(layouts::GetText(r, number))));
  set(kShortCode, Q(layouts::GetText(r, sako ? S::kShortCode : P::kShortCode)));
  set(kName, Q(layouts::GetText(r, sako ? S::kName : P::kName)));
  set(kOpeningDate, DateShown(r, sako ? S::kOpeningDate : P::kOpeningDate));
  set(kPrevDebit, AmountShown(r, sako ? S::kPrevDebitTurnover : P::kPrevDebitTurnover));
  set(kPrevCredit, AmountShown(r, sako ? S::kPrevCreditTurnover : P::kPrevCreditTurnover));
  set(kPrevBalance, AmountShown(r, sako ? S::kPrevClosingBalance : P::kPrevClosingBalance));
  SetChecked(layouts::GetNumber(r, sako ? S::kPrevClosingSide : P::kPrevClosingSide) == 1 ? kPrevCreditSide
                                                                                          : kPrevDebitSide,
             true);
  // Once posted, the previous year belongs to the carry-forwards.
  bool posted = layouts::GetNumber(r, sako ? S::kUnposted : P::kUnposted) == 0;
  for (int id : std::initializer_list<int>{kPrevDebit, kPrevCredit, kPrevBalance, kPrevDebitSide, kPrevCreditSide})
    Control(id)->setEnabled(!posted);
  if (sako) {
    int cls = static_cast<int>(layouts::GetNumber(r, S::kAccountClass));
    SetChecked(cls == 2 ? kClassAsset : cls == 4 ? kClassLiability : cls == 8 ? kClassProfitLoss : kClassNone, true);
    SetChecked(kFixedAsset, layouts::GetNumber(r, S::kDatevFixedAsset) != 0);
    SetChecked(kRevenue, layouts::GetNumber(r, S::kRevenueAccount) != 0);
    int taxKey = static_cast<int>(layouts::GetNumber(r, S::kTaxKey));
    if (taxKey == 0) {
      SetChecked(kTaxFree, true);
    } else {
      SetChecked((taxKey & 32) ? kInputTax : kOutputTax, true);
      for (int line = 0; line < kRateLineCount; ++line)
        if ((taxKey & ~32) == kRateLineClasses[line]) List(kRateList)->setCurrentRow(line);
    }
    set(kRatePercent, Q(layouts::GetText(r, S::kRate)));
    int ustva = static_cast<int>(layouts::GetNumber(r, S::kUstvaKey));
    set(kUstvaKey, ustva ? QString::number(ustva) : QString());
    SetChecked(kCostType, layouts::GetNumber(r, S::kCostType) != 0);
    SetChecked(layouts::GetNumber(r, S::kCostBehaviour) == 2 ? kCostVariable : kCostFixed, true);
    set(kCostCentre1, Q(Trimmed(layouts::GetText(r, S::kCostCentre1))));
    set(kCostCentre2, Q(Trimmed(layouts::GetText(r, S::kCostCentre2))));
    return;
  }
  set(kSupplement, Q(layouts::GetText(r, P::kNameExtra)));
  set(kStreet, Q(layouts::GetText(r, P::kStreet)));
  set(kPostalCode, Q(layouts::GetText(r, P::kPostalCode)));
  set(kTown, Q(layouts::GetText(r, P::kTown)));
  set(kCountry, Q(layouts::GetText(r, P::kCountry)));
  set(kCurrency, Q(layouts::GetText(r, P::kCurrency)));
  set(kVatId, Q(layouts::GetText(r, P::kVatId)));
  SetChecked(kContractProcessing, layouts::GetNumber(r, P::kContractProcessing) != 0);
  set(kBankCode, Q(layouts::GetText(r, P::kBankCode)));
  set(kBankAccount, Q(layouts::GetText(r, P::kBankAccount)));
  set(kBankName, Q(layouts::GetText(r, P::kBankName)));
  set(kPaymentReference, Q(layouts::GetText(r, P::kPaymentReference)));
  set(kCounterAccount, Q(Trimmed(layouts::GetText(r, P::kCounterAccount))));
  auto days = [&](const layouts::Field& f) {
    long n = layouts::GetNumber(r, f);
    return n ? QString::number(n) : QString();
  };
  set(kDiscountDays, days(P::kDiscountDays));
  set(kPaymentDays, days(P::kPaymentDays));
  set(kDiscountPercent, Q(layouts::GetText(r, P::kDiscountPercent)));
  if (kind_.file == AccountFile::kDebi)
    SetChecked(layouts::GetNumber(r, P::kDunningKey) == -1 ? kNoDunning : kDunning, true);
}

AccountChoices AccountDialog::Choices() const {
  AccountChoices c;
  if (kind_.file == AccountFile::kSako) {
    c.accountClass = Checked(kClassAsset) ? 2 : Checked(kClassLiability) ? 4 : Checked(kClassProfitLoss) ? 8 : 0;
    c.taxFree = Checked(kTaxFree);
    c.inputTax = Checked(kInputTax);
    QListWidget* rates = List(kRateList);
    c.rateLine = rates->currentItem() && rates->currentItem()->isSelected() ? rates->currentRow() : -1;
    c.fixedAsset = Checked(kFixedAsset);
    c.revenue = Checked(kRevenue);
    c.costType = Checked(kCostType);
    c.costBehaviour = Checked(kCostVariable) ? 2 : 1;
  }
  if (kind_.file != AccountFile::kKore) c.prevSide = Checked(kPrevCreditSide) ? 1 : 0;
  if (kind_.file == AccountFile::kDebi || kind_.file == AccountFile::kKred) {
    c.contractProcessing = Checked(kContractProcessing);
    c.dunning = kind_.file != AccountFile::kDebi || !Checked(kNoDunning);
  }
  return c;
}

void AccountDialog::UpdateEnabling() {
  if (kind_.file != AccountFile::kSako) return;
  bool taxed = !Checked(kTaxFree);
  Control(kRateList)->setEnabled(taxed);
  int line = List(kRateList)->currentRow();
  Control(kRatePercent)->setEnabled(taxed && RateLineHasOwnRate(line));
  Control(kRevenue)->setEnabled(Checked(kClassProfitLoss));
  bool costs = Checked(kCostType) || (Checked(kClassProfitLoss) && Checked(kRevenue));
  for (int id : std::initializer_list<int>{kCostFixed, kCostVariable, kCostCentre1, kCostCentre2}) Control(id)->setEnabled(costs);
}

bool AccountDialog::Confirm() {
  std::vector<char> record(static_cast<std::size_t>(LengthOfFile(kind_.file)), 0);
  AccountBase base{record_.empty() ? nullptr : record_.data()};
  AccountChoices choices = Choices();
  bool previousYear = false;
  bool checked = false;
  switch (kind_.file) {
    case AccountFile::kSako: checked = CheckSachkonto(*this, choices, base, record.data(), previousYear); break;
    case AccountFile::kDebi:
    case AccountFile::kKred:
      checked = CheckPersonalAccount(*this, choices, kind_.file == AccountFile::kDebi, base, record.data(),
                                     previousYear);
      break;
    case AccountFile::kKore: checked = CheckCostCentre(*this, base, record.data()); break;
  }
  if (!checked) return false;
  bool stored = isNew() ? SaveNewAccount(kind_.file, record.data(), previousYear)
                        : SaveChangedAccount(kind_.file, record.data());
  if (!stored) return false;
  number_ = NumberOf(kind_.file, record.data());
  accountClass_ = choices.accountClass;
  if (QCheckBox* place = Check(kPlaceInStructure)) {
    if (place->isChecked() != CurrentSettings().aufbau) {
      CurrentSettings().aufbau = place->isChecked();
      WriteFlagSetting("Aufbau", place->isChecked());
    }
  }
  return true;
}

bool AccountDialog::OkToBank() {
  toBank_ = true;
  if (Confirm()) {
    QDialog::accept();
    return true;
  }
  toBank_ = false;
  return false;
}

bool RunNewAccount(QWidget* parent, WindowKind kind, AccountOrder order, const std::string& preset,
                   std::string& number) {
  SingleUse use("Konto-Neu");
  if (!use.ok()) return false;
  AccountDialog dialog(parent, kind, {}, order, preset);
  if (dialog.exec() != QDialog::Accepted) return false;
  number = dialog.number();
  if (dialog.toBank()) RunBankAdministration(parent, number);
  if (kind == WindowKind::kSachkonten && CurrentSettings().aufbau && dialog.accountClass() != 0)
    PlaceNewAccount(parent, dialog.accountClass(), number);
  return true;
}

namespace {

// Opens `Dialog` on the stored account, once at a time under `useName`; an
// account deleted meanwhile is reported instead.
template <class Dialog>
bool RunOnStoredAccount(QWidget* parent, WindowKind kind, const std::string& number, const char* useName) {
  SingleUse use(useName);
  if (!use.ok()) return false;
  std::vector<char> record;
  bool found = false;
  if (!ReadAccountRecord(kind, number, record, found)) return false;
  if (!found) {
    ShowMessage(kMessageNoLongerThere);
    return false;
  }
  Dialog dialog(parent, kind, record);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

bool RunChangeAccount(QWidget* parent, WindowKind kind, const std::string& number) {
  return RunOnStoredAccount<AccountDialog>(parent, kind, number, "Konto-Ändern");
}

// ---- Quick new account -----------------------------------------------------------

QuickAccountDialog::QuickAccountDialog(QWidget* parent) : TalviDialog(parent, "KTONEU", "Neues Konto") {
  BeginGroup("Kontoart");
  AddRadio(ktoneu::kSachkonto, "&Sachkonto")->setChecked(true);
  AddRadio(ktoneu::kDebitor, "&Debitor");
  AddRadio(ktoneu::kKreditor, "K&reditor");
  AddRadio(ktoneu::kCostCentre, "K&ostenstelle");
  EndGroup();
  AddEdit(kNumber, "Konto-&Nr. :", 7);
  AddEdit(kShortCode, "Konto-&Kürzel :", 9);
  AddButtons();
}

int QuickAccountDialog::file() const {
  return Checked(ktoneu::kDebitor) ? 1 : Checked(ktoneu::kKreditor) ? 2 : Checked(ktoneu::kCostCentre) ? 3 : 0;
}

bool QuickAccountDialog::Confirm() { return CheckQuickAccount(*this, file()); }

bool RunQuickNewAccount(QWidget* parent, std::string& number) {
  QuickAccountDialog quick(parent);
  if (quick.exec() != QDialog::Accepted) return false;
  static const WindowKind kinds[] = {WindowKind::kSachkonten, WindowKind::kDebitoren, WindowKind::kKreditoren,
                                     WindowKind::kKostenstellen};
  SingleUse use("Konto-Neu");
  if (!use.ok()) return false;
  AccountDialog dialog(parent, kinds[quick.file()], {}, AccountOrder::kNumber, quick.FieldText(kNumber));
  dialog.SetFieldText(kShortCode, quick.FieldText(kShortCode));
  if (dialog.exec() != QDialog::Accepted) return false;
  number = dialog.number();
  return true;
}

// ---- Budget figures --------------------------------------------------------------

namespace {
constexpr const char* kMonthNames[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                       "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

QString CentsShown(long long cents) {
  AmountText text;
  AmountFromCents(text, cents);
  AmountDisplayText shown;
  CopyLimited(shown, text, sizeof shown);
  AmountFormat(shown);
  return QString::fromLatin1(shown);
}
}  // namespace

BudgetDialog::BudgetDialog(QWidget* parent, WindowKind kind, const std::vector<char>& record)
    : TalviDialog(parent, "SOLLWERTE", "Sollwerte"), kind_(KindOf(kind)), record_(record) {
  // The periods are fiscal months: name them by the calendar month they are.
  int start = CurrentMandant().fiscalStartMonth;
  if (start < 1 || start > 12) start = 1;
  BeginColumns(2);
  for (int half = 0; half < 2; ++half) {
    BeginGroup("");
    for (int k = half * 6; k < half * 6 + 6; ++k) {
      QLineEdit* e = AddEdit(sollwerte::kPeriod1 + k, QString::fromUtf8(kMonthNames[(start - 1 + k) % 12]) + " :", 15);
      e->setAlignment(Qt::AlignRight);
      connect(e, &QLineEdit::editingFinished, this, [this] { Recompute(); });
    }
    EndGroup();
  }
  EndColumns();
  QLineEdit* total = AddEdit(sollwerte::kTotal, "&Summe :", 15);
  total->setReadOnly(true);
  total->setAlignment(Qt::AlignRight);
  auto* develop = AddButton(sollwerte::kDevelop, "&Entwicklung...");
  connect(develop, &QPushButton::clicked, this, [this] { Develop(); });
  AddButtons();
  BudgetValues values{};
  if (!record_.empty()) ReadBudget(record_.data(), BudgetField(kind_.file), values);
  Show(values);
}

void BudgetDialog::Show(const BudgetValues& values) {
  for (int k = 0; k < 12; ++k) Edit(sollwerte::kPeriod1 + k)->setText(CentsShown(values[static_cast<std::size_t>(k)]));
  long long total = 0;
  if (BudgetTotal(values, total) == 0) Edit(sollwerte::kTotal)->setText(CentsShown(total));
}

bool BudgetDialog::ReadValues(BudgetValues& values) {
  for (int k = 0; k < 12; ++k) {
    int id = sollwerte::kPeriod1 + k;
    if (Edit(id)->text().trimmed().isEmpty()) {
      values[static_cast<std::size_t>(k)] = 0;
      continue;
    }
    AmountText text;
    if (!ReadSignedAmountField(*this, id, text, kAmountWidth)) return false;
    AmountToCents(text, &values[static_cast<std::size_t>(k)]);
  }
  return true;
}

bool BudgetDialog::Recompute() {
  BudgetValues values{};
  if (!ReadValues(values)) return false;
  long long total = 0;
  if (int message = BudgetTotal(values, total)) {
    ShowMessage(message, sollwerte::kPeriod1);
    return false;
  }
  Edit(sollwerte::kTotal)->setText(CentsShown(total));
  return true;
}

bool BudgetDialog::Develop() {
  BudgetDevelopmentDialog develop(this);
  if (develop.exec() != QDialog::Accepted) return false;
  Show(develop.values());
  return true;
}

bool BudgetDialog::Confirm() {
  BudgetValues values{};
  if (!ReadValues(values)) return false;
  if (int message = WriteBudget(record_.data(), BudgetField(kind_.file), values)) {
    ShowMessage(message, sollwerte::kPeriod1);
    return false;
  }
  return SaveChangedAccount(kind_.file, record_.data());
}

BudgetDevelopmentDialog::BudgetDevelopmentDialog(QWidget* parent)
    : TalviDialog(parent, "SW_ENTWICKLUNG", "Sollwertentwicklung") {
  using namespace swentwicklung;
  AddRadio(kStartToEnd, "vom &Start- zum Endwert")->setChecked(true);
  AddRadio(kLinear, "Startwert und Prozentsatz, &linear");
  AddRadio(kCompound, "Startwert und Prozentsatz, &progressiv");
  auto* group = new QButtonGroup(this);
  for (int id : {kStartToEnd, kLinear, kCompound}) {
    group->addButton(Radio(id), id);
    connect(Radio(id), &QRadioButton::toggled, this, [this] { UpdateEnabling(); });
  }
  AddEdit(kStart, "Start&wert :", 15)->setAlignment(Qt::AlignRight);
  AddEdit(swentwicklung::kEnd, "&Endwert :", 15)->setAlignment(Qt::AlignRight);
  AddEdit(kPercent, "Pro&zent :", 6)->setAlignment(Qt::AlignRight);
  AddButtons();
  UpdateEnabling();
}

void BudgetDevelopmentDialog::UpdateEnabling() {
  using namespace swentwicklung;
  bool toEnd = Checked(kStartToEnd);
  Control(swentwicklung::kEnd)->setEnabled(toEnd);
  Control(kPercent)->setEnabled(!toEnd);
}

bool BudgetDevelopmentDialog::Confirm() {
  using namespace swentwicklung;
  AmountText start = "", end = "";
  long long s = 0, e = 0, p = 0;
  if (!ReadSignedAmountField(*this, kStart, start, kAmountWidth)) return false;
  AmountToCents(start, &s);
  BudgetRule rule = Checked(kStartToEnd) ? BudgetRule::kStartToEnd
                    : Checked(kLinear)   ? BudgetRule::kPercentLinear
                                         : BudgetRule::kPercentCompound;
  if (rule == BudgetRule::kStartToEnd) {
    if (!ReadSignedAmountField(*this, swentwicklung::kEnd, end, kAmountWidth)) return false;
    AmountToCents(end, &e);
  } else {
    // Up to 999,99 % with a sign: the amount reader of width 12 gives cents,
    // which are hundredths of a per cent here.
    AmountText percent;
    if (!ReadSignedAmountField(*this, kPercent, percent, kAmountWidth)) return false;
    AmountToCents(percent, &p);
  }
  if (int message = DevelopBudget(rule, s, e, p, values_)) {
    ShowMessage(message, kStart);
    return false;
  }
  return true;
}

bool RunBudget(QWidget* parent, WindowKind kind, const std::string& number) {
  return RunOnStoredAccount<BudgetDialog>(parent, kind, number, "Sollwerte");
}

// ---- Deleting accounts -----------------------------------------------------------

DeleteAccountsDialog::DeleteAccountsDialog(QWidget* parent, bool readStore)
    : TalviDialog(parent, "KTOLOE", "KONTEN LÖSCHEN") {
  using namespace ktoloe;
  BeginColumns(3);
  BeginGroup("Kontoarten");
  AddCheck(kSachkonten, "&Sachkonten")->setChecked(true);
  AddCheck(kKreditoren, "&Kreditoren");
  AddCheck(kDebitoren, "&Debitoren");
  AddCheck(kKostenstellen, "K&ostenstellen");
  EndGroup();
  BeginGroup("Sortierung");
  AddRadio(kByNumber, "Konto-&Nr.")->setChecked(true);
  AddRadio(kByCode, "K&ürzel");
  EndGroup();
  BeginGroup("Löschart");
  AddRadio(kSingle, "&Einzeln Löschen")->setChecked(true);
  AddRadio(kAll, "&Alle Löschen");
  EndGroup();
  EndColumns();
  auto* sorting = new QButtonGroup(this);
  sorting->addButton(Radio(kByNumber));
  sorting->addButton(Radio(kByCode));
  auto* mode = new QButtonGroup(this);
  mode->addButton(Radio(kSingle));
  mode->addButton(Radio(kAll));
  QListWidget* list = AddList(kList, "Löschbare &Konten :", {{"Konto-Nr.", 9, true}, {"Kürzel", 10}, {"Bezeichnung", 28}});
  QLineEdit* chosen = AddEdit(kChosen, "Zu löschendes Konto :", 50);
  chosen->setReadOnly(true);
  QLineEdit* deletable = AddEdit(kDeletableCount, "Löschbare Konten :", 6);
  deletable->setReadOnly(true);
  QLineEdit* deleted = AddEdit(kDeletedCount, "Gelöschte Konten :", 6);
  deleted->setReadOnly(true);
  auto* box = new QDialogButtonBox(this);
  auto* erase = Register(kDelete, box->addButton("&Löschen", QDialogButtonBox::ActionRole));
  auto* undo = Register(kUndo, box->addButton("&Rückgängig", QDialogButtonBox::ActionRole));
  auto* finish = Register(kIdOkButton, box->addButton("&Beenden", QDialogButtonBox::AcceptRole));
  finish->setDefault(true);
  outer_->addWidget(box);
  connect(erase, &QPushButton::clicked, this, [this] { Delete(); });
  connect(undo, &QPushButton::clicked, this, [this] { Undo(); });
  connect(finish, &QPushButton::clicked, this, &TalviDialog::accept);
  for (int id : {kSachkonten, kKreditoren, kDebitoren, kKostenstellen})
    connect(Check(id), &QCheckBox::toggled, this, [this] { Refill(); });
  connect(Radio(kByCode), &QRadioButton::toggled, this, [this] { Refill(); });
  connect(Radio(kAll), &QRadioButton::clicked, this, [this] { ChooseAll(true); });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] { Delete(); });
  if (readStore) Refill();
  ShowCounts();
}

DeleteAccountsDialog::~DeleteAccountsDialog() = default;

void DeleteAccountsDialog::Refill() {
  using namespace ktoloe;
  struct Kind {
    int check;
    AccountFile file;
  };
  entries_.clear();
  bool byCode = Checked(kByCode);
  for (Kind k : {Kind{kSachkonten, AccountFile::kSako}, Kind{kKreditoren, AccountFile::kKred},
                 Kind{kDebitoren, AccountFile::kDebi}, Kind{kKostenstellen, AccountFile::kKore}}) {
    if (!Checked(k.check)) continue;
    std::vector<std::string> numbers;
    if (!ListDeletable(k.file, numbers)) continue;
    std::vector<Entry> kind;
    for (const std::string& number : numbers) {
      bool chosen = false;
      for (const Entry& c : chosen_) chosen = chosen || (c.file == k.file && c.number == number);
      if (chosen) continue;
      AccountListEntry e;
      bool found = false;
      if (!ReadAccountEntry(k.file, number, e, found) || !found) continue;
      kind.push_back({k.file, e.number, e.shortCode, e.name});
    }
    if (byCode)
      std::stable_sort(kind.begin(), kind.end(),
                       [](const Entry& a, const Entry& b) { return a.shortCode < b.shortCode; });
    entries_.insert(entries_.end(), kind.begin(), kind.end());
  }
  std::vector<std::string> lines;
  for (const Entry& e : entries_) lines.push_back(Trimmed(e.number) + "\t" + e.shortCode + "\t" + e.name);
  ShowEntries(lines);
}

void DeleteAccountsDialog::ShowEntries(const std::vector<std::string>& lines) {
  QListWidget* list = List(ktoloe::kList);
  QSignalBlocker block(list);
  FillList(list, lines, true);
  ShowCounts();
}

void DeleteAccountsDialog::ShowCounts() {
  using namespace ktoloe;
  Edit(kDeletableCount)->setText(QString::number(List(kList)->count()));
  Edit(kDeletedCount)->setText(QString::number(deleted_ + static_cast<int>(chosen_.size())));
  Control(kUndo)->setEnabled(!chosen_.empty());
  Edit(kChosen)->setText(chosen_.empty() ? QString()
                                         : Q(Trimmed(chosen_.back().number) + "  " + chosen_.back().shortCode +
                                             "  " + chosen_.back().name));
}

bool DeleteAccountsDialog::ChooseAll(bool all) {
  using namespace ktoloe;
  SetChecked(all ? kAll : kSingle, true);
  if (all) ShowMessage(kMessageAllWarning);
  return true;
}

bool DeleteAccountsDialog::CarryOut() {
  if (chosen_.empty()) return true;
  Entry e = chosen_.back();
  chosen_.clear();
  bool ok = DeleteAccount(e.file, e.number);
  if (ok) ++deleted_;
  Refill();
  return ok;
}

bool DeleteAccountsDialog::Delete() {
  using namespace ktoloe;
  QListWidget* list = List(kList);
  if (Checked(kAll)) {
    if (entries_.empty()) {
      ShowMessage(kMessageNoneDeletable);
      return false;
    }
    if (!ShowMessage(kMessageReallyAll)) return false;
    if (!CarryOut()) return false;
    for (AccountFile file : {AccountFile::kSako, AccountFile::kKred, AccountFile::kDebi, AccountFile::kKore}) {
      std::vector<std::string> numbers;
      for (const Entry& e : entries_)
        if (e.file == file) numbers.push_back(e.number);
      if (numbers.empty()) continue;
      int deleted = 0;
      bool ok = DeleteAll(file, numbers, deleted);
      deleted_ += deleted;
      if (!ok) break;
    }
    Refill();
    return true;
  }
  int row = list->currentRow();
  if (row < 0 || row >= static_cast<int>(entries_.size()) || !list->item(row)->isSelected()) {
    ShowMessage(kMessageSelect, kList);
    return false;
  }
  // The previous choice is carried out now; this one waits for the next.
  Entry next = entries_[static_cast<std::size_t>(row)];
  if (!CheckDeletable(next.file, next.number) || !CarryOut()) return false;
  chosen_.push_back(next);
  Refill();
  return true;
}

bool DeleteAccountsDialog::Undo() {
  if (chosen_.empty()) return false;
  chosen_.clear();
  Refill();
  return true;
}

bool DeleteAccountsDialog::Confirm() { return CarryOut() || true; }

void DeleteAccountsDialog::reject() {
  CarryOut();
  TalviDialog::reject();
}

}  // namespace talvera
