#include "reports/printer_dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include "core/message.h"
#include "core/settings.h"
#include "reports/form_buffer.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "widgets/font_choice.h"

namespace talvera {
namespace {

constexpr int kMessagePickFromList = 1;
constexpr int kMessageChoose = 5;
constexpr int kMessageBadFace = 37;
constexpr int kMessageFontTooLarge = 49;
constexpr int kMessageNoPrinter = 53;
constexpr int kMessagePrinting = 54;
constexpr int kMessageBadOffset = 757;
constexpr int kFormFontSize = 12;
constexpr char kSampleText[] = "AaBbYyZz012";
const int kScalableSizes[] = {6, 7, 8, 9, 10, 12, 14, 16, 18, 20, 24, 30};

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString DefaultPdfPath() { return QDir::homePath() + "/talvera-druck.pdf"; }

// The PDF entry as the list and the field show it.
std::string PdfSetting(const PrinterChoice& current) {
  QString path = current.pdf && !current.pdfPath.empty() ? Q(current.pdfPath) : DefaultPdfPath();
  return PrinterSettingForPdf(path.toStdString());
}

QLabel* AddSample(TalviDialog* dialog, QFormLayout* form, int id) {
  auto* sample = new QLabel(kSampleText, dialog);
  sample->setObjectName(ControlName(id));
  form->addRow("Muster :", sample);
  return sample;
}

}  // namespace

QStringList PrintFaces() {
  QStringList faces;
  for (const QString& family : FontFamilies())
    if (family != "Modern" && family != "Script" && family != "Roman") faces << family;
  return faces;
}

// ---- DRUEIN --------------------------------------------------------------

DrueinDialog::DrueinDialog(QWidget* parent, std::function<void(QPrinter*)> setUp)
    : TalviDialog(parent, "DRUEIN", "Drucker einrichten"), setUp_(std::move(setUp)) {
  using namespace druein;
  PrinterChoice current = ParsePrinterSetting(CurrentSettings().drucker);
  QListWidget* list = AddList(kPrinters, "&Drucker :");
  for (const QString& name : QPrinterInfo::availablePrinterNames()) list->addItem(name);
  ShowPdfEntry(PdfSetting(current));
  list->addItem(pdfShown_);
  list->item(list->count() - 1)->setToolTip(Q(ParsePrinterSetting(pdfSetting_).pdfPath));
  QLineEdit* chosen = AddEdit(kChosen, "Aktueller Drucker :", 259);
  chosen->setText(current.pdf ? pdfShown_ : Q(current.queue));
  connect(list, &QListWidget::itemClicked, this,
          [chosen](QListWidgetItem* item) { chosen->setText(item->text()); });
  connect(list, &QListWidget::itemDoubleClicked, this, [this, chosen](QListWidgetItem* item) {
    chosen->setText(item->text());
    accept();
  });
  auto* setUpButton = Register(kSetUp, new QPushButton("Einrichten...", this));
  connect(setUpButton, &QPushButton::clicked, this, &DrueinDialog::SetUpPrinter);
  form_->addRow(setUpButton);
  AddButtons();
}

// The PDF file printer is shown as "PDF-Datei: <file name>"; the setting
// keeps the whole path.
void DrueinDialog::ShowPdfEntry(const std::string& setting) {
  pdfSetting_ = setting;
  QString path = Q(ParsePrinterSetting(setting).pdfPath);
  pdfShown_ = QString("%1: %2").arg(kPdfPrinterName, QFileInfo(path).fileName());
}

bool DrueinDialog::StoreChoice() {
  using namespace druein;
  std::string text = FieldText(kChosen);
  if (Q(text) == pdfShown_) text = pdfSetting_;
  PrinterChoice choice = ParsePrinterSetting(text);
  if (choice.Empty() || (choice.pdf && choice.pdfPath.empty())) {
    ShowMessage(kMessageChoose, kChosen);
    return false;
  }
  // A queue that is not installed would leave the program without a printer.
  if (!choice.pdf && QPrinterInfo::printerInfo(Q(choice.queue)).isNull()) {
    ShowMessage(kMessagePickFromList, kPrinters);
    return false;
  }
  std::string setting =
      choice.pdf ? PrinterSettingForPdf(choice.pdfPath) : PrinterSettingForQueue(choice.queue);
  CurrentSettings().drucker = setting;
  WriteSetting("Drucker", setting);
  return true;
}

void DrueinDialog::SetUpPrinter() {
  if (!StoreChoice()) return;
  QPrinter* printer = OpenPrinter();
  if (!printer) return;
  if (setUp_) {
    setUp_(printer);
    return;
  }
  if (printer->outputFormat() == QPrinter::PdfFormat) {
    QString path = QFileDialog::getSaveFileName(this, "PDF-Datei", printer->outputFileName(),
                                                "PDF (*.pdf)");
    if (path.isEmpty()) return;
    ShowPdfEntry(PrinterSettingForPdf(path.toStdString()));
    Edit(druein::kChosen)->setText(pdfShown_);
    if (StoreChoice()) OpenPrinter();
    return;
  }
  QPrintDialog dialog(printer, this);
  dialog.exec();
}

bool DrueinDialog::Confirm() {
  if (!StoreChoice()) return false;
  if (!OpenPrinter()) ShowMessage(kMessageNoPrinter);
  return true;
}

// ---- SCHRIFT -------------------------------------------------------------

SchriftDialog::SchriftDialog(QWidget* parent, int kind)
    : TalviDialog(parent, "SCHRIFT", "Schriftart"), kind_(kind) {
  using namespace schrift;
  setProperty("helpContext", kind == kReportListBox ? 3300 : 1114);
  auto* printer = Register(kPrinter, new QLabel(Q(CurrentPrinterName()), this));
  form_->addRow("Drucker :", printer);
  QComboBox* face = AddCombo(kFace, "&Schriftart :", true);
  face->addItems(PrintFaces());
  // Qt prints every face at any size, as a scaling printer does.
  QComboBox* size = AddCombo(kSize, "&Größe :", true);
  for (int points : kScalableSizes) size->addItem(QString::number(points));
  QLabel* sample = AddSample(this, form_, kSample);
  AddButtons();

  ReportFont configured = ReadReportFont(ReportTitle(kind));
  face->setCurrentText(configured.face.empty() ? DefaultPrintFace() : Q(configured.face));
  size->setCurrentText(configured.size > 0 ? QString::number(configured.size) : QString());
  auto show = [sample, face, size] { ShowFontSample(sample, face, size); };
  connect(face, &QComboBox::currentTextChanged, this, show);
  connect(size, &QComboBox::currentTextChanged, this, show);
  show();
}

bool SchriftDialog::Confirm() {
  using namespace schrift;
  QComboBox* face = Combo(kFace);
  QComboBox* size = Combo(kSize);
  if (!CheckFontChoice(face, kFace, size, kSize, SizeRule::kListedWhenChoice)) return false;
  if (!CurrentPrinter()) {
    ShowMessage(kMessageNoPrinter);
    return false;
  }
  std::string faceText = face->currentText().toStdString();
  int points = size->currentText().toInt();
  if (TryPrintFont(faceText, points) < ReportPrinterWidth(kind_)) {
    ShowMessage(kMessageFontTooLarge, kSize);
    return false;
  }
  WriteReportFont(ReportTitle(kind_), faceText, points);
  return true;
}

void ChooseReportFont(QWidget* parent, int kind) {
  const ReportState& report = CurrentReport();
  if (report.printing || report.printRequested) {
    ShowMessage(kMessagePrinting);
    return;
  }
  SchriftDialog dialog(parent, kind);
  dialog.exec();
}

// ---- FORMULAREINST -------------------------------------------------------

FormularEinstDialog::FormularEinstDialog(QWidget* parent)
    : TalviDialog(parent, "FORMULAREINST", "Formulareinstellungen") {
  using namespace formulareinst;
  setProperty("helpContext", 10018);
  const Settings& s = CurrentSettings();
  QComboBox* face = AddCombo(kFace, "&Schriftart :", true);
  face->addItems(PrintFaces());
  face->setCurrentText(Q(ReadReportFont(ReportTitle(kReportForm)).face));
  QLabel* sample = AddSample(this, form_, kSample);
  AddEdit(kShiftRight, "Verschiebung nach &rechts (mm) :", 4)->setText(Q(FormatFormOffset(s.formOffX)));
  AddEdit(kShiftDown, "Verschiebung nach &unten (mm) :", 4)->setText(Q(FormatFormOffset(s.formOffY)));
  AddButtons();
  auto show = [sample, face] {
    QFont font(face->currentText());
    font.setPointSize(kFormFontSize);
    sample->setFont(font);
  };
  connect(face, &QComboBox::currentTextChanged, this, show);
  show();
}

bool FormularEinstDialog::Confirm() {
  using namespace formulareinst;
  QComboBox* face = Combo(kFace);
  if (face->currentText().trimmed().isEmpty()) return ShowMessage(kMessageChoose, kFace), false;
  if (face->findText(face->currentText(), Qt::MatchFixedString) < 0)
    return ShowMessage(kMessageBadFace, kFace), false;
  int shift[2] = {0, 0};
  const int ids[2] = {kShiftRight, kShiftDown};
  for (int i = 0; i < 2; ++i)
    if (!ParseFormOffset(FieldText(ids[i]), &shift[i]))
      return ShowMessage(kMessageBadOffset, ids[i]), false;
  WriteReportFont(ReportTitle(kReportForm), face->currentText().toStdString(), kFormFontSize);
  Settings& s = CurrentSettings();
  s.formOffX = shift[0];
  s.formOffY = shift[1];
  WriteNumberSetting("FormOffX", s.formOffX);
  WriteNumberSetting("FormOffY", s.formOffY);
  return true;
}

}  // namespace talvera
