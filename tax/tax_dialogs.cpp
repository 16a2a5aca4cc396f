#include "tax/tax_dialogs.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <cstring>

#include "core/account_list.h"
#include "core/field_readers.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"

namespace talvera {
namespace {

constexpr int kMessageChoose = 5;
constexpr int kMessageNoAccount = 36;
constexpr int kMessageBatchesWaiting = 99;
// The "Gilt ab" fields of the groups share one date.
constexpr int kFromFields[] = {steanl::kStandardFrom, steanl::kReducedFrom, steanl::kOtherFrom, steanl::kEcFrom,
                               steanl::kReverseChargeFrom};

QString Shown(const char* date) {
  char out[11];
  FormatDate(date, out, true);
  return out;
}

QString Line(const RateRecord& r, bool withRate) {
  QString line = withRate ? QString("%1\t").arg(r.rate) : QString();
  return line + Shown(r.validFrom) + "\t" + r.outputTaxAccount + "\t" + r.inputTaxAccount;
}

RateRecord AsRecord(const PeriodDate from, const char* rate, const char* out, const char* in) {
  RateRecord r;
  std::strcpy(r.validFrom, from);
  std::strcpy(r.rate, rate);
  std::strcpy(r.outputTaxAccount, out);
  std::strcpy(r.inputTaxAccount, in);
  return r;
}

}  // namespace

// ---- STEANL --------------------------------------------------------------

RateMaintenanceDialog::RateMaintenanceDialog(QWidget* parent)
    : TalviDialog(parent, "STEANL", "STEUERSATZVERWALTUNG") {
  using namespace steanl;
  const std::vector<ListColumn> withRate = {
      {"% :", 6, true}, {"Gilt ab :", 10}, {"USt - Konto :", 9, true}, {"VSt - Konto :", 9, true}};
  const std::vector<ListColumn> withoutRate(withRate.begin() + 1, withRate.end());
  BeginColumns(3);
  for (auto [id, label] : {std::pair{kStandardList, "&Regelsatz :"}, {kReducedList, "Er&mäßigter Satz :"},
                           {kOtherList, "&Sonstige Steuersätze :"}, {kEcList, "&EG-Steuersätze :"},
                           {kReverseChargeList, "§ 13b-S&teuersätze :"}}) {
    BeginGroup("");
    AddList(id, label, id == kStandardList || id == kReducedList ? withRate : withoutRate);
    EndGroup();
  }
  EndColumns();
  BeginColumns();
  BeginGroup("Regelsatz");
  AddEdit(kStandardPercent, "% :", 5);
  AddEdit(kStandardFrom, "Gilt ab :", 10);
  AddEdit(kStandardOutput, "USt - Konto :", 7);
  AddEdit(kStandardInput, "VSt - Konto :", 7);
  EndGroup();
  BeginGroup("Ermäßigter Satz");
  AddEdit(kReducedPercent, "% :", 5);
  AddEdit(kReducedFrom, "Gilt ab :", 10);
  AddEdit(kReducedOutput, "USt - Konto :", 7);
  AddEdit(kReducedInput, "VSt - Konto :", 7);
  EndGroup();
  BeginGroup("Sonstige Steuersätze");
  AddEdit(kOtherFrom, "Gilt ab :", 10);
  AddEdit(kOtherOutput, "USt - Konto :", 7);
  AddEdit(kOtherInput, "VSt - Konto :", 7);
  EndGroup();
  BeginGroup("EG-Steuersätze");
  AddEdit(kEcFrom, "Gilt ab :", 10);
  AddEdit(kEcOutput, "USt - Konto :", 7);
  AddEdit(kEcInput, "VSt - Konto :", 7);
  EndGroup();
  BeginGroup("§ 13b-Steuersätze");
  AddEdit(kReverseChargeFrom, "Gilt ab :", 10);
  AddEdit(kReverseChargeOutput, "USt - Konto :", 7);
  AddEdit(kReverseChargeInput, "VSt - Konto :", 7);
  EndGroup();
  EndColumns();
  for (int id : kFromFields)
    connect(Edit(id), &QLineEdit::textEdited, this, &RateMaintenanceDialog::ShareValidFrom);

  struct Button {
    int id;
    const char* text;
  };
  for (Button b : {Button{kNew, "&Neu"}, Button{kCreate, "&Anlegen"}, Button{kUndo, "Rück&gängig"},
                   Button{kFinish, "&Beenden"}})
    AddButton(b.id, b.text);
  connect(qobject_cast<QPushButton*>(Control(kNew)), &QPushButton::clicked, this, [this] { New(); });
  connect(qobject_cast<QPushButton*>(Control(kCreate)), &QPushButton::clicked, this, [this] { Create(); });
  connect(qobject_cast<QPushButton*>(Control(kUndo)), &QPushButton::clicked, this, [this] { Undo(); });
  connect(qobject_cast<QPushButton*>(Control(kFinish)), &QPushButton::clicked, this, [this] { accept(); });
  EnableInput(false);
  FillLists();
}

void RateMaintenanceDialog::ShareValidFrom(const QString& text) {
  for (int id : kFromFields)
    if (Edit(id)->text() != text) Edit(id)->setText(text);
}

void RateMaintenanceDialog::EnableInput(bool on) {
  for (int id = steanl::kStandardPercent; id <= steanl::kReverseChargeInput; ++id) EnableField(id, on);
  EnableField(steanl::kCreate, on);
}

void RateMaintenanceDialog::ClearInput() {
  for (int id = steanl::kStandardPercent; id <= steanl::kReverseChargeInput; ++id)
    if (QLineEdit* e = Edit(id)) e->clear();
}

void RateMaintenanceDialog::FillLists() {
  using namespace steanl;
  struct Group {
    int list;
    int rateClass;
  };
  for (Group g : {Group{kStandardList, kStandardRate}, Group{kReducedList, kReducedRate},
                  Group{kOtherList, kOtherRate}, Group{kEcList, kEcRate},
                  Group{kReverseChargeList, kReverseChargeRate}}) {
    QListWidget* list = List(g.list);
    list->clear();
    bool withRate = g.rateClass == kStandardRate || g.rateClass == kReducedRate;
    // New sets not yet written stand on top, newest first.
    for (auto it = pending_.rbegin(); it != pending_.rend(); ++it) {
      const RateSet& s = *it;
      if (g.rateClass == kReverseChargeRate && !s.HasReverseCharge()) continue;
      RateRecord r = g.rateClass == kStandardRate ? AsRecord(s.validFrom, s.standardRate, s.standardOutput, s.standardInput)
                   : g.rateClass == kReducedRate  ? AsRecord(s.validFrom, s.reducedRate, s.reducedOutput, s.reducedInput)
                   : g.rateClass == kOtherRate    ? AsRecord(s.validFrom, "", s.otherOutput, s.otherInput)
                   : g.rateClass == kEcRate       ? AsRecord(s.validFrom, "", s.ecOutput, s.ecInput)
                                                  : AsRecord(s.validFrom, "", s.reverseChargeOutput, s.reverseChargeInput);
      list->addItem(Line(r, withRate));
    }
    std::vector<RateRecord> records;
    ListRateRecords(g.rateClass, records);
    for (const RateRecord& r : records) list->addItem(Line(r, withRate));
  }
}

void RateMaintenanceDialog::New() {
  bool waiting = false;
  if (BatchBookingsWaiting(waiting) && waiting) ShowMessage(kMessageBatchesWaiting);
  EnableInput(true);
  char today[11];
  std::snprintf(today, sizeof today, "%s", DayToday().text);
  ShareValidFrom(today);
  Edit(steanl::kStandardPercent)->setFocus();
}

bool RateMaintenanceDialog::ReadInput(RateSet& set, bool ecOnly) {
  using namespace steanl;
  if (!ecOnly && (!ReadAmountField(*this, kStandardPercent, set.standardRate, kRateWidth) ||
                  !ReadAmountField(*this, kReducedPercent, set.reducedRate, kRateWidth)))
    return false;
  if (!ReadDateField(*this, kStandardFrom, set.validFrom)) return false;
  struct Target {
    int id;
    char* out;
    bool ec;
  };
  for (Target t : {Target{kStandardOutput, set.standardOutput, false}, Target{kStandardInput, set.standardInput, false},
                   Target{kReducedOutput, set.reducedOutput, false}, Target{kReducedInput, set.reducedInput, false},
                   Target{kOtherOutput, set.otherOutput, false}, Target{kOtherInput, set.otherInput, false},
                   Target{kEcOutput, set.ecOutput, true}, Target{kEcInput, set.ecInput, true}}) {
    if (ecOnly && !t.ec) continue;
    AccountKind kind;
    if (!ReadAccountField(*this, t.id, t.out, kind, kMessageNoAccount, true)) return false;
  }
  // The § 13b group may stay empty (books without § 13b accounts); filled
  // in, it needs both accounts.
  if (Edit(kReverseChargeOutput)->text().trimmed().isEmpty() &&
      Edit(kReverseChargeInput)->text().trimmed().isEmpty())
    return true;
  AccountKind kind;
  return ReadAccountField(*this, kReverseChargeOutput, set.reverseChargeOutput, kind, kMessageNoAccount, true) &&
         ReadAccountField(*this, kReverseChargeInput, set.reverseChargeInput, kind, kMessageNoAccount, true);
}

void RateMaintenanceDialog::ShowInput(const RateSet& s) {
  using namespace steanl;
  auto set = [this](int id, const char* text) { Edit(id)->setText(QString::fromLatin1(text).trimmed()); };
  set(kStandardPercent, s.standardRate);
  set(kReducedPercent, s.reducedRate);
  ShareValidFrom(Shown(s.validFrom));
  set(kStandardOutput, s.standardOutput);
  set(kStandardInput, s.standardInput);
  set(kReducedOutput, s.reducedOutput);
  set(kReducedInput, s.reducedInput);
  set(kOtherOutput, s.otherOutput);
  set(kOtherInput, s.otherInput);
  set(kEcOutput, s.ecOutput);
  set(kEcInput, s.ecInput);
  set(kReverseChargeOutput, s.reverseChargeOutput);
  set(kReverseChargeInput, s.reverseChargeInput);
}

bool RateMaintenanceDialog::Create() {
  RateSet set;
  bool hasEc = true;
  if (!HasEcRecord(hasEc)) return false;
  // The year's first EG record takes the EG (and the § 13b) group only: the
  // other groups need not be filled in for it.
  if (!ReadInput(set, !hasEc)) return false;
  if (!hasEc) {
    // The year's first EG record is written at once; the other groups stay
    // in the fields for the next "&Anlegen".
    if (!InsertFirstEcRecord(set)) return false;
    FillLists();
    return true;
  }
  pending_.push_back(set);
  haveUndone_ = false;
  ClearInput();
  FillLists();
  return true;
}

void RateMaintenanceDialog::Undo() {
  if (haveUndone_) {
    pending_.push_back(undone_);
    haveUndone_ = false;
    ClearInput();
  } else if (!pending_.empty()) {
    undone_ = pending_.back();
    pending_.pop_back();
    haveUndone_ = true;
    EnableInput(true);
    ShowInput(undone_);
  }
  FillLists();
}

bool RateMaintenanceDialog::Confirm() {
  if (!finished_ && !pending_.empty()) WriteRateSets(pending_);
  finished_ = true;
  return true;
}

void RateMaintenanceDialog::reject() {
  Confirm();
  QDialog::reject();
}

// ---- EUST ----------------------------------------------------------------

ImportVatAccountDialog::ImportVatAccountDialog(QWidget* parent)
    : TalviDialog(parent, "EUST", "EUST-KONTO FESTLEGEN") {
  using namespace eust;
  AddList(kList, "Sachkonten :", {{"Konto-Nr.", 8, true}, {"Kürzel", 9}, {"Name", 30}});
  BeginGroup("");
  AddRadio(kByNumber, "Konto-Nr.")->setChecked(CurrentSettings().sortKnr);
  AddRadio(kByShortCode, "Kürzel")->setChecked(!CurrentSettings().sortKnr);
  EndGroup();
  QLineEdit* shown = AddEdit(kAccount, "EUSt-Konto :", 7);
  shown->setReadOnly(true);
  shown->setText(QString::fromStdString(CurrentMandantSettings().eust).trimmed());
  AddButtons();
  connect(Radio(kByNumber), &QRadioButton::toggled, this, [this] { Fill(); });
  // Only the user's choice shows in the field: the list moving its cursor
  // while it is filled or focused chooses nothing.
  connect(List(kList), &QListWidget::itemSelectionChanged, this, [this] {
    if (QListWidgetItem* item = Chosen())
      Edit(eust::kAccount)->setText(item->data(Qt::UserRole).toString().trimmed());
  });
  Fill();
}

QListWidgetItem* ImportVatAccountDialog::Chosen() const {
  QList<QListWidgetItem*> selected = List(eust::kList)->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void ImportVatAccountDialog::Fill() {
  QListWidget* list = List(eust::kList);
  QSignalBlocker quiet(list);
  list->clear();
  std::vector<AccountEntry> accounts;
  ListSachkonten(Checked(eust::kByNumber), accounts);
  // The configured account stands chosen, so that OK keeps it.
  QString configured = Edit(eust::kAccount)->text().trimmed();
  for (const AccountEntry& a : accounts) {
    auto* item = new QListWidgetItem(QString::fromStdString(a.number + "\t" + a.shortCode + "\t" + a.name), list);
    QString number = QString::fromStdString(a.number);
    item->setData(Qt::UserRole, number);
    if (!configured.isEmpty() && number.trimmed() == configured) {
      list->setCurrentItem(item);
      list->scrollToItem(item);
    }
  }
}

bool ImportVatAccountDialog::Confirm() {
  QListWidgetItem* item = Chosen();
  if (!item) {
    ShowMessage(kMessageChoose, eust::kList);
    return false;
  }
  std::string account = item->data(Qt::UserRole).toString().toStdString();
  WriteSetting(keys::kEust + MandantSuffix(), account);
  CurrentMandantSettings().eust = account;
  return true;
}

}  // namespace talvera
