// The printing dialogs of "Datei › Einstellungen": the printer ("DRUEIN"),
// the print font of a report kind ("SCHRIFT") and the form settings
// ("FORMULAREINST").
#pragma once

#include <functional>
#include <string>

#include "widgets/dialog_kit.h"

class QPrinter;

namespace talvera {

// "DRUEIN": the installed printers and the PDF file printer.
namespace druein {
enum : int { kPrinters = 400, kChosen = 401, kSetUp = 402 };
}

class DrueinDialog : public TalviDialog {
  Q_OBJECT
 public:
  // `setUp` opens the set-up of the chosen printer ("Einrichten..."); by
  // default the print dialog of a queue or a file choice for the PDF file.
  explicit DrueinDialog(QWidget* parent, std::function<void(QPrinter*)> setUp = {});

  // "Einrichten...": stores the choice, opens the printer and its set-up.
  void SetUpPrinter();

 protected:
  bool Confirm() override;

 private:
  bool StoreChoice();
  void ShowPdfEntry(const std::string& setting);
  std::function<void(QPrinter*)> setUp_;
  std::string pdfSetting_;  // "PDF-Datei,<path>"
  QString pdfShown_;        // "PDF-Datei: <file name>"
};

// "SCHRIFT": face and size of a report kind's print font.
namespace schrift {
enum : int { kPrinter = 501, kFace, kSize, kSample };
}

class SchriftDialog : public TalviDialog {
  Q_OBJECT
 public:
  SchriftDialog(QWidget* parent, int kind);

 protected:
  bool Confirm() override;

 private:
  int kind_;
};

// Opens "SCHRIFT" for `kind`; message 54 instead while a print job runs.
void ChooseReportFont(QWidget* parent, int kind);

// "FORMULAREINST": the form font and the shift of printed forms.
namespace formulareinst {
enum : int { kFace = 103, kSample = 104, kShiftRight = 30225, kShiftDown = 30226 };
}

class FormularEinstDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit FormularEinstDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

// The faces a printer font may have: every installed family except the
// generic ones that name no real face.
QStringList PrintFaces();

}  // namespace talvera
