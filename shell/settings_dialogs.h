// The three settings dialogs of the "Datei › Einstellungen" menu.
#pragma once

#include <functional>

#include "widgets/dialog_kit.h"

namespace talvera {

// "EINST": general operation.
namespace einst {
enum : int {
  kLand = 101, kWaehrung, kSicherungsabfrage, kAustria, kDatevObe, kSortKontoNr, kSortKuerzel,
  kOhneKomma, kTextverarbeitung, kSetzeJahr, kToggle, kLeerListe, kReise1, kReise2, kReise3,
  kReise4,
};
}

class EinstDialog : public TalviDialog {
  Q_OBJECT
 public:
  // `runCommand` is asked to run a command of the main frame (the import-VAT
  // account dialog after message 402).
  EinstDialog(QWidget* parent, std::function<void(int)> runCommand = {});

 protected:
  bool Confirm() override;

 private:
  std::function<void(int)> runCommand_;
};

// "EINSTBUCH": posting.
namespace einstbuch {
enum : int {
  kIncBelnr = 201, kKg, kLassen, kNtb, kKeinePeri, kKr, kKostPflicht, kOpDebitoren,
  kOpKreditoren, kMahn2, kMahn3, kOpAufloesen, kGutschriften, kLastschriften, kVerwButxt,
  kSakoUeberw, kBuchungssperre,
};
}

class EinstBuchDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit EinstBuchDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

// "BSSCHRIFT": the screen font of the report window.
namespace bsschrift {
enum : int { kFace = 301, kSize, kSample };
}

class BsSchriftDialog : public TalviDialog {
  Q_OBJECT
 public:
  // `fontChanged` lets the report window rebuild its font.
  BsSchriftDialog(QWidget* parent, std::function<void()> fontChanged = {});

 protected:
  bool Confirm() override;

 private:
  void FillSizes();
  void ShowSample();
  std::function<void()> fontChanged_;
};

constexpr int kCommandImportVatAccount = 3057;

}  // namespace talvera
