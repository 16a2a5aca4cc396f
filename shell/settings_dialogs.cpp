#include "shell/settings_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QRadioButton>
#include <QLabel>
#include <QLineEdit>

#include <cstring>

#include "core/amount.h"
#include "core/field_readers.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "widgets/font_choice.h"

namespace talvera {
namespace {

constexpr int kMessageDigitsOnly = 3;
constexpr int kMessageNoImportVatAccount = 402;

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// ---- EINST ---------------------------------------------------------------

EinstDialog::EinstDialog(QWidget* parent, std::function<void(int)> runCommand)
    : TalviDialog(parent, "EINST", "Bedienung"), runCommand_(std::move(runCommand)) {
  using namespace einst;
  const Settings& s = CurrentSettings();
  AddEdit(kLand, "&Land  :", 3)->setText(Q(s.land));
  AddEdit(kWaehrung, "&Währung :", 3)->setText(Q(s.waehrung));
  AddCheck(kSicherungsabfrage, "Sicherungsab&frage")->setChecked(s.sFrage);
  AddCheck(kAustria, "&Österreichische Version")->setChecked(s.austria);
  AddCheck(kDatevObe, "&DATEV-Export mit OBE")->setChecked(s.datevObe);
  BeginGroup("&Standardsortierung");
  AddRadio(kSortKontoNr, "Konto-Nr.")->setChecked(s.sortKnr);
  AddRadio(kSortKuerzel, "Kürzel")->setChecked(!s.sortKnr);
  EndGroup();
  AddCheck(kOhneKomma, "Betragseingabe mit 2 fixen &Nachkommastellen ohne Komma")
      ->setChecked(s.ohneKomma);
  AddEdit(kTextverarbeitung, "&Textverarbeitung :", 63)->setText(Q(s.textverarbeitung));
  AddCheck(kSetzeJahr, "&Jahr an Zeitraum-Auswahl anpassen")->setChecked(s.setzeJahr);
  AddCheck(kToggle, "<+> und <ENTER> &vertauschen (+ wie OK, ENTER wie TAB)")
      ->setChecked(s.toggle);
  AddCheck(kLeerListe, "L&isten beim Aufruf nicht gleich füllen")->setChecked(s.leerListe);
  BeginGroup("&Reisekostensteuersätze");
  for (int i = 0; i < 4; ++i)
    AddEdit(kReise1 + i, QString("%1. Satz :").arg(i + 1), 5)->setText(Q(s.reise[i]));
  EndGroup();
  AddButtons();
}

bool EinstDialog::Confirm() {
  using namespace einst;
  // The travel rates first: the first bad one gets the message and the focus.
  std::string rates[4];
  for (int i = 0; i < 4; ++i) {
    if (FieldText(kReise1 + i).find_first_not_of(' ') == std::string::npos) {
      rates[i] = "0,00";
      continue;
    }
    RateText rate;
    if (!ReadAmountField(*this, kReise1 + i, rate, kRateWidth)) return false;
    rates[i] = rate;
  }
  Settings& s = CurrentSettings();
  s.land = FieldText(kLand);
  s.waehrung = FieldText(kWaehrung);
  s.sFrage = Checked(kSicherungsabfrage);
  s.austria = Checked(kAustria);
  s.datevObe = Checked(kDatevObe);
  s.sortKnr = Checked(kSortKontoNr);
  s.ohneKomma = Checked(kOhneKomma);
  s.textverarbeitung = FieldText(kTextverarbeitung);
  s.setzeJahr = Checked(kSetzeJahr);
  s.toggle = Checked(kToggle);
  s.leerListe = Checked(kLeerListe);
  for (int i = 0; i < 4; ++i) s.reise[i] = rates[i];

  WriteSetting("Land", s.land);
  WriteSetting("Waehrung", s.waehrung);
  WriteFlagSetting("SFrage", s.sFrage);
  WriteFlagSetting("Austria", s.austria);
  WriteFlagSetting("Datev-OBE", s.datevObe);
  WriteFlagSetting("SortKnr", s.sortKnr);
  WriteFlagSetting("OhneKomma", s.ohneKomma);
  WriteSetting("Textverarbeitung", s.textverarbeitung);
  WriteFlagSetting("SetzeJahr", s.setzeJahr);
  WriteFlagSetting("Toggle", s.toggle);
  WriteFlagSetting("LeerListe", s.leerListe);
  for (int i = 0; i < 4; ++i) WriteSetting("Reise" + std::to_string(i + 1), s.reise[i]);

  if (s.austria && CurrentMandantSettings().eust.empty() &&
      ShowMessage(kMessageNoImportVatAccount) && runCommand_)
    runCommand_(kCommandImportVatAccount);
  return true;
}

// ---- EINSTBUCH -----------------------------------------------------------

EinstBuchDialog::EinstBuchDialog(QWidget* parent)
    : TalviDialog(parent, "EINSTBUCH", "Buchen") {
  using namespace einstbuch;
  const Settings& s = CurrentSettings();
  AddCheck(kIncBelnr, "&Belegnummer erhöhen")->setChecked(s.incBelnr);
  AddCheck(kKg, "Buchungser&fassung mit Konto / Gegenkonto")->setChecked(s.kg);
  AddCheck(kLassen, "&letzte Buchung stehen lassen")->setChecked(s.lassen);
  AddCheck(kNtb, "&Personenkontenname als Buchungstext")->setChecked(s.ntb);
  AddCheck(kKeinePeri, "keine Pe&riodenauswahl")->setChecked(s.keinePeri);
  AddCheck(kKr, "&Kostenrechnung aktivieren")->setChecked(s.kr);
  AddCheck(kKostPflicht, "Kostenstellen&pflicht bei GuV-Buchungen")->setChecked(s.kostPflicht);
  BeginColumns();
  BeginGroup("&OP's erzeugen");
  AddCheck(kOpDebitoren, "Debitoren")->setChecked(s.opKartei & 8);
  AddCheck(kOpKreditoren, "Kreditoren")->setChecked(s.opKartei & 4);
  AddEdit(kMahn2, "&2. Mahnung nach", 2)->setText(QString::number(s.mahn2));
  AddEdit(kMahn3, "&3. Mahnung nach", 2)->setText(QString::number(s.mahn3));
  AddCheck(kOpAufloesen, "OP-Ausgleichsbuchungen auflösen")->setChecked(s.opAufloesen);
  EndGroup();
  BeginGroup("Über&weisungen");
  AddCheck(kGutschriften, "Gutschriften")->setChecked(s.exportKind & 1);
  AddCheck(kLastschriften, "Lastschriften")->setChecked(s.exportKind & 2);
  AddCheck(kVerwButxt, "Buchungstext statt Belegnummer")->setChecked(s.verwButxt);
  AddCheck(kSakoUeberw, "auch bei Sachkontenbuchungen")->setChecked(s.sakoUeberw);
  EndGroup();
  EndColumns();
  char shown[11] = "";
  FormatDate(CurrentMandantSettings().buchungssperre.c_str(), shown, true);
  AddEdit(kBuchungssperre, "B&uchungssperre vor dem :", 10)->setText(shown);
  AddButtons();
}

bool EinstBuchDialog::Confirm() {
  using namespace einstbuch;
  for (int id : {kMahn2, kMahn3}) {
    if (!IsDigitsOnly(FieldText(id).c_str())) {
      ShowMessage(kMessageDigitsOnly, id);
      return false;
    }
  }
  std::string lockDate;
  if (FieldText(kBuchungssperre).find_first_not_of(' ') != std::string::npos) {
    PeriodDate date;
    if (!ReadDateField(*this, kBuchungssperre, date)) return false;
    lockDate = date;
  }
  Settings& s = CurrentSettings();
  s.incBelnr = Checked(kIncBelnr);
  s.kg = Checked(kKg);
  s.lassen = Checked(kLassen);
  s.ntb = Checked(kNtb);
  s.keinePeri = Checked(kKeinePeri);
  s.kr = Checked(kKr);
  s.kostPflicht = Checked(kKostPflicht);
  s.opKartei = (Checked(kOpDebitoren) ? 8 : 0) | (Checked(kOpKreditoren) ? 4 : 0);
  std::string mahn2 = FieldText(kMahn2), mahn3 = FieldText(kMahn3);
  s.mahn2 = mahn2.find_first_not_of(' ') == std::string::npos ? 14 : std::stoi(mahn2);
  s.mahn3 = mahn3.find_first_not_of(' ') == std::string::npos ? 14 : std::stoi(mahn3);
  s.opAufloesen = Checked(kOpAufloesen);
  s.exportKind = (Checked(kGutschriften) ? 1 : 0) | (Checked(kLastschriften) ? 2 : 0);
  s.verwButxt = Checked(kVerwButxt);
  s.sakoUeberw = Checked(kSakoUeberw);
  CurrentMandantSettings().buchungssperre = lockDate;

  WriteSetting(keys::kBuchungssperre + MandantSuffix(), lockDate);
  WriteFlagSetting("IncBelnr", s.incBelnr);
  WriteFlagSetting("KG", s.kg);
  WriteFlagSetting("Lassen", s.lassen);
  WriteFlagSetting("NTB", s.ntb);
  WriteFlagSetting("KeinePeri", s.keinePeri);
  WriteFlagSetting("KR", s.kr);
  WriteFlagSetting("KostPflicht", s.kostPflicht);
  WriteNumberSetting("OP_Kartei", s.opKartei);
  WriteNumberSetting("Mahn2", s.mahn2);
  WriteNumberSetting("Mahn3", s.mahn3);
  WriteFlagSetting("OPAufloesen", s.opAufloesen);
  WriteNumberSetting("Export", s.exportKind);
  WriteFlagSetting("VerwButxt", s.verwButxt);
  WriteFlagSetting("SakoÜberw", s.sakoUeberw);
  return true;
}

// ---- BSSCHRIFT -----------------------------------------------------------

BsSchriftDialog::BsSchriftDialog(QWidget* parent, std::function<void()> fontChanged)
    : TalviDialog(parent, "BSSCHRIFT", "Bildschirmschriftart"),
      fontChanged_(std::move(fontChanged)) {
  using namespace bsschrift;
  const Settings& s = CurrentSettings();
  QComboBox* face = AddCombo(kFace, "&Schriftart :", true);
  face->addItems(FontFamilies());
  QComboBox* size = AddCombo(kSize, "&Größe :", true);
  auto* sample = Register(kSample, new QLabel("AaBbYyZz 1.234,56", this));
  form_->addRow("Muster :", sample);
  AddButtons();

  QString current = s.font.empty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont).family()
                                   : Q(s.font);
  face->setCurrentText(current);
  FillSizes();
  int currentSize = s.font.empty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize()
                                   : s.fontgr;
  size->setCurrentText(QString::number(currentSize));
  connect(face, &QComboBox::currentTextChanged, this, [this] {
    FillSizes();
    ShowSample();
  });
  connect(size, &QComboBox::currentTextChanged, this, [this] { ShowSample(); });
  ShowSample();
}

void BsSchriftDialog::FillSizes() {
  QComboBox* size = Combo(bsschrift::kSize);
  QString keep = size->currentText();
  QList<int> sizes = QFontDatabase::pointSizes(Combo(bsschrift::kFace)->currentText());
  if (sizes.isEmpty()) sizes = QFontDatabase::standardSizes();
  size->blockSignals(true);
  size->clear();
  for (int s : sizes) size->addItem(QString::number(s));
  size->setCurrentText(keep);
  size->blockSignals(false);
}

void BsSchriftDialog::ShowSample() {
  ShowFontSample(findChild<QLabel*>(ControlName(bsschrift::kSample)), Combo(bsschrift::kFace),
                 Combo(bsschrift::kSize));
}

bool BsSchriftDialog::Confirm() {
  using namespace bsschrift;
  QComboBox* face = Combo(kFace);
  QComboBox* size = Combo(kSize);
  if (!CheckFontChoice(face, kFace, size, kSize, SizeRule::kListed)) return false;
  Settings& s = CurrentSettings();
  s.font = face->currentText().toStdString();
  s.fontgr = size->currentText().toInt();
  WriteSetting("Font", s.font);
  WriteNumberSetting("Fontgr", s.fontgr);
  if (fontChanged_) fontChanged_();
  return true;
}

}  // namespace talvera
