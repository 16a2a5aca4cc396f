#include "shell/mandant_dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <vector>

#include "core/mandant/company_master.h"
#include "core/mandant/create_mandant.h"
#include "core/mandant/delete_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant/open_mandant.h"
#include "core/mandant/take_over.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "core/today.h"

namespace talvera {
namespace {

enum : int {
  kMessageChoose = 5,
  kMessageDiskAlmostFull = 74,
  kMessageNotInitialised = 80,
  kMessageChooseAndConfirm = 96,
  kMessageNoOtherMandant = 519,
};
constexpr long long kMinimumFreeKb = 1023;

const char* const kMonths[12] = {"Januar", "Februar", "März",      "April",
                                 "Mai",    "Juni",    "Juli",      "August",
                                 "September", "Oktober", "November", "Dezember"};
const char* const kFederalStates[] = {
    "Baden-Württemberg", "Bayern",  "Berlin",   "Brandenburg", "Bremen",
    "Hamburg",           "Hessen",  "Mecklenburg-Vorpommern", "Niedersachsen",
    "Nordrhein-Westfalen", "Rheinland-Pfalz", "Saarland", "Sachsen", "Sachsen-Anhalt",
    "Schleswig-Holstein", "Thüringen"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

void AddMandanten(QListWidget* list, const std::vector<MandantEntry>& all, int except) {
  for (const MandantEntry& e : all) {
    if (e.number == except) continue;
    auto* item = new QListWidgetItem(Q(e.name), list);
    item->setData(Qt::UserRole, e.number);
  }
}

int SelectedNumber(QListWidget* list) {
  QListWidgetItem* item = list->currentItem();
  return item && item->isSelected() ? item->data(Qt::UserRole).toInt() : 0;
}

}  // namespace

// ---- MANDANT ---------------------------------------------------------------

MandantDialog::MandantDialog(QWidget* parent)
    : TalviDialog(parent, "MANDANT", "MANDANTENVERWALTUNG") {
  using namespace mandant;
  QListWidget* list = AddList(kList, "");
  connect(AddButton(kCreate, "Anle&gen..."), &QPushButton::clicked, this,
          &MandantDialog::CreateMandant);
  connect(AddButton(kDelete, "&Löschen"), &QPushButton::clicked, this,
          &MandantDialog::DeleteMandant);
  AddButtons();
  connect(list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  std::vector<MandantEntry> all;
  if (!ListMandants(all)) {
    ShowMessage(kMessageNotInitialised);
    unusable_ = true;
    return;
  }
  AddMandanten(list, all, 0);
  int preselected = ReadNumberSetting(keys::kMandant, 1);
  for (int row = 0; row < list->count(); ++row)
    if (list->item(row)->data(Qt::UserRole).toInt() == preselected) list->setCurrentRow(row);
  EnableChoice();
}

void MandantDialog::EnableChoice() {
  bool any = List(mandant::kList)->count() > 0;
  EnableField(kIdOkButton, any);
  EnableField(mandant::kDelete, any);
}

bool MandantDialog::Confirm() {
  int number = SelectedNumber(List(mandant::kList));
  if (number == 0) {
    ShowMessage(kMessageChoose, mandant::kList);
    return false;
  }
  if (number == CurrentMandant().number && MainFilesOpen()) return true;
  triedToOpen_ = true;
  return OpenMandant(number);
}

void MandantDialog::reject() {
  if (!MainFilesOpen()) {
    if (triedToOpen_) {
      ShowMessage(kMessageChooseAndConfirm);
      return;
    }
    endProgram_ = true;
  }
  QDialog::reject();
}

void MandantDialog::CreateMandant() {
  if (FreeDiskKilobytes(DataRoot()) <= kMinimumFreeKb) {
    ShowMessage(kMessageDiskAlmostFull);
    return;
  }
  CreateMandantDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  std::vector<MandantEntry> all;
  if (!ListMandants(all)) return;
  QListWidget* list = List(mandant::kList);
  for (const MandantEntry& e : all) {
    if (e.number != dialog.number()) continue;
    AddMandanten(list, {e}, 0);
    list->setCurrentRow(list->count() - 1);  // OK opens the new Mandant
  }
  EnableChoice();
}

void MandantDialog::DeleteMandant() {
  QListWidget* list = List(mandant::kList);
  int number = SelectedNumber(list);
  if (number == 0) {
    ShowMessage(kMessageChoose, mandant::kList);
    return;
  }
  if (!talvera::DeleteMandant(number)) return;
  delete list->takeItem(list->currentRow());
  EnableChoice();
}

// ---- MANDANLEGEN -------------------------------------------------------------

CreateMandantDialog::CreateMandantDialog(QWidget* parent)
    : TalviDialog(parent, "MANDANLEGEN", "MANDANTENNEUANLAGE") {
  using namespace mandanlegen;
  BeginGroup("Geschäftsjahresbeginn");
  QComboBox* month = AddCombo(kMonth, "&Monat:", false);
  for (const char* name : kMonths) month->addItem(name);
  AddEdit(kYear, "&Jahr:", 4)->setText(QString::number(DayToday().y));
  EndGroup();
  AddEdit(kName, "&Name:", 40);
  AddEdit(kTaxOffice, "&Finanzamt:", 25);
  AddEdit(kTaxNumber, "&Steuernummer:", 15);
  AddEdit(kVatId, "&USt-ID-Nummer:", 15);
  BeginColumns();
  BeginGroup("&Versteuerungsart");
  AddRadio(kAccrual, "Sollverst.")->setChecked(true);
  AddRadio(kCash, "Istverst.");
  EndGroup();
  BeginGroup("&Kontenrahmen");
  // The two groups need their own exclusive sets.
  auto* taxation = new QButtonGroup(this);
  taxation->addButton(Radio(kAccrual));
  taxation->addButton(Radio(kCash));
  auto* charts = new QButtonGroup(this);
  for (auto [id, text] : {std::pair{kSkr03, "SKR-03"}, {kSkr04, "SKR-04"},
                          {kRlg, "RLG-Kontenrahmen"}, {kBasic, "Grundkontenrahmen"}})
    charts->addButton(AddRadio(id, text));
  Radio(kSkr03)->setChecked(true);
  QPushButton* change = AddButton(kChangeSpecial, "Än&dern...");
  EndGroup();
  EndColumns();
  change->setEnabled(false);
  connect(Radio(kBasic), &QRadioButton::toggled, change, &QPushButton::setEnabled);
  connect(change, &QPushButton::clicked, this, &CreateMandantDialog::ChangeSpecialAccounts);
  AddButtons();
}

char CreateMandantDialog::Chart() const {
  using namespace mandanlegen;
  if (Checked(kSkr04)) return '4';
  if (Checked(kRlg)) return 'A';
  if (Checked(kBasic)) return 'G';
  return '3';
}

void CreateMandantDialog::ChangeSpecialAccounts() {
  SpecialAccountsDialog dialog(this);
  dialog.exec();
}

bool CreateMandantDialog::Confirm() {
  using namespace mandanlegen;
  NewMandant in;
  in.year = FieldText(kYear);
  in.startMonth = Combo(kMonth)->currentIndex() + 1;
  in.name = FieldText(kName);
  in.taxOffice = FieldText(kTaxOffice);
  in.taxNumber = FieldText(kTaxNumber);
  in.vatId = FieldText(kVatId);
  in.cashBasis = Checked(kCash);
  in.chart = Chart();
  return talvera::CreateMandant(in, &number_);
}

// ---- TQKR ------------------------------------------------------------------------

SpecialAccountsDialog::SpecialAccountsDialog(QWidget* parent)
    : TalviDialog(parent, "TQKR", "KONTENRAHMEN ÄNDERN") {
  using namespace tqkr;
  static const char* const kLabels[12] = {
      "&Forderungen :", "Ver&bindlichkeiten :", "&Vorsteuer :",  "&EUSt :",
      "Ust. 1&5% :",    "Ust. 1&4% :",          "Ust. er&mäßigt :", "Ust. &Sonstige :",
      "Ust. nicht f&ällig :", "Vorste&uer EG :", "Us&t. EG :",   "&G/V-Vortrag :"};
  for (int row = 0; row < 12; ++row) {
    auto* number = Register(kFirstNumber + row, new QLineEdit(this));
    number->setMaxLength(kAccountNoWidth);
    auto* code = Register(kFirstShortCode + row, new QLineEdit(this));
    code->setMaxLength(8);
    auto* line = new QHBoxLayout;
    line->addWidget(number);
    line->addWidget(code);
    AddRow(kLabels[row], line);
  }
  connect(AddButton(kDefaults, "Standard&konten"), &QPushButton::clicked, this,
          &SpecialAccountsDialog::Defaults);
  AddButtons();
  Show(CurrentSpecialAccounts());
}

void SpecialAccountsDialog::Show(const SpecialAccountSet& set) {
  for (int row = 0; row < 12; ++row) {
    Edit(tqkr::kFirstNumber + row)->setText(QString::fromLatin1(set[row].number).trimmed());
    Edit(tqkr::kFirstShortCode + row)->setText(QString::fromLatin1(set[row].shortCode));
  }
}

bool SpecialAccountsDialog::Confirm() {
  SpecialAccountSet set;
  for (int row = 0; row < 12; ++row) {
    std::snprintf(set[row].number, sizeof set[row].number, "%s",
                  FieldText(tqkr::kFirstNumber + row).c_str());
    std::snprintf(set[row].shortCode, sizeof set[row].shortCode, "%s",
                  Edit(tqkr::kFirstShortCode + row)->text().toLatin1().constData());
  }
  int row = 0;
  bool numberField = true;
  if (int message = CheckSpecialAccounts(set, row, numberField)) {
    ShowMessage(message, (numberField ? tqkr::kFirstNumber : tqkr::kFirstShortCode) + row);
    return false;
  }
  CurrentSpecialAccounts() = set;
  return true;
}

// ---- STAMMDAT ----------------------------------------------------------------------

CompanyMasterDialog::CompanyMasterDialog(QWidget* parent)
    : TalviDialog(parent, "STAMMDAT", "FIRMENSTAMMDATEN ÄNDERN") {
  using namespace stammdat;
  CompanyMaster c = CurrentCompanyMaster();
  struct Row {
    int id;
    const char* label;
    int width;
    const std::string* value;
  };
  for (Row r : {Row{kName, "Firmen&name :", 40, &c.name},
                Row{kNameExtra, "&Zusatz :", 40, &c.nameExtra},
                Row{kStreet, "&Straße :", 30, &c.street}, Row{kTown, "&PLZ / Ort :", 30, &c.town},
                Row{kPhone, "&Telefon :", 20, &c.phone},
                Row{kVatId, "USt. &ID-Nummer :", 15, &c.vatId}})
    AddEdit(r.id, r.label, r.width)->setText(Q(*r.value));
  // The tax office has a street and a town of its own: they stand in its group.
  BeginGroup("Finanzamt");
  for (Row r : {Row{kTaxOffice, "&Finanzamt :", 25, &c.taxOffice},
                Row{kTaxOfficeStreet, "St&raße :", 30, &c.taxOfficeStreet},
                Row{kTaxOfficeTown, "P&LZ / Ort :", 30, &c.taxOfficeTown}})
    AddEdit(r.id, r.label, r.width)->setText(Q(*r.value));
  EndGroup();
  // The stored code is the index of this list: 0 none, 1..16 the Laender,
  // as the VAT form and the federal tax number read it.
  QComboBox* states = AddCombo(kFederalState, "&Bundesland :", false);
  states->addItem("(nicht angegeben)");
  for (const char* state : kFederalStates) states->addItem(state);
  states->setCurrentIndex(c.federalState);
  AddEdit(kTaxNumber, "Ste&uernummer :", 15)->setText(Q(c.taxNumber));
  const MandantValues& m = CurrentMandant();
  auto shown = [this](int id, const QString& label, const QString& text) {
    form_->addRow(label, Register(id, new QLabel(text, this)));
  };
  shown(kStartMonth, "Geschäftsjahr ab :", m.monthNames[0]);
  shown(kTaxation, "Versteuerung :", m.cashBasis ? "Ist" : "Soll");
  shown(kDirectory, "Datenverzeichnis :", Q(YearDirectory(m.currentYear)));
  AddButtons();
}

bool CompanyMasterDialog::Confirm() {
  using namespace stammdat;
  CompanyMaster c;
  c.name = FieldText(kName);
  c.nameExtra = FieldText(kNameExtra);
  c.street = FieldText(kStreet);
  c.town = FieldText(kTown);
  c.phone = FieldText(kPhone);
  c.vatId = FieldText(kVatId);
  c.taxOffice = FieldText(kTaxOffice);
  c.taxOfficeStreet = FieldText(kTaxOfficeStreet);
  c.taxOfficeTown = FieldText(kTaxOfficeTown);
  c.taxNumber = FieldText(kTaxNumber);
  c.federalState = Combo(kFederalState)->currentIndex();
  return SaveCompanyMaster(c);
}

// ---- DATENUEBERNAHME ------------------------------------------------------------------

TakeOverDialog::TakeOverDialog(QWidget* parent)
    : TalviDialog(parent, "DATENUEBERNAHME", "DATENÜBERNAHME") {
  using namespace datenuebernahme;
  QListWidget* list = AddList(kMandanten, "&Mandanten:");
  static const char* const kItems[12] = {
      "&Sachkonten",  "GuV-Aufbau",        "Aktiva-Aufbau", "Passiva-Aufbau",
      "&Kreditoren",  "&Debitoren",        "Kostenstellen", "&Buchungstexte",
      "Buchungsschablonen", "Wechselkurse", "Kreditoren-OPs", "Debitoren-OPs"};
  for (int i = 0; i < 12; ++i) AddCheck(kFirstItem + i, kItems[i]);
  AddButtons();
  std::vector<MandantEntry> all;
  if (ListMandants(all)) AddMandanten(list, all, CurrentMandant().number);
  if (list->count() == 0) {
    ShowMessage(kMessageNoOtherMandant);
    empty_ = true;
  }
}

bool TakeOverDialog::Confirm() {
  using namespace datenuebernahme;
  int source = SelectedNumber(List(kMandanten));
  if (source == 0) {
    ShowMessage(kMessageChoose, kMandanten);
    return false;
  }
  unsigned items = 0;
  for (int i = 0; i < 12; ++i)
    if (Checked(kFirstItem + i)) items |= 1u << i;
  return TakeOverData(source, items);
}

// ---- Notices ------------------------------------------------------------------------------

namespace {

QWidget* g_notice = nullptr;

void ShowNotice(const char* name, const std::string& text) {
  delete g_notice;
  QWidget* over = QApplication::activeWindow();
  auto* label = new QLabel(Q(text), over, Qt::Tool);
  label->setObjectName(name);
  label->setMargin(20);
  label->adjustSize();
  if (over) label->move(over->frameGeometry().center() - label->rect().center());
  label->show();
  QApplication::processEvents();
  g_notice = label;
}

void HideNotice() {
  delete g_notice;
  g_notice = nullptr;
}

}  // namespace

void InstallMandantNotices() {
  MandantSeams seams = CurrentMandantSeams();
  seams.showNotice = &ShowNotice;
  seams.hideNotice = &HideNotice;
  SetMandantSeams(seams);
}

}  // namespace talvera
