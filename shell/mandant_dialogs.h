// The Mandant dialogs: the Mandant administration (open, create, delete),
// the creation dialog with the special accounts of the basic chart, the
// company master data and the data take-over.
#pragma once

#include "core/mandant/special_accounts.h"
#include "widgets/dialog_kit.h"

namespace talvera {

namespace mandant {
enum : int { kList = 101, kCreate, kDelete };
}

class MandantDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit MandantDialog(QWidget* parent);
  // The master file could not be read (message 80): the dialog is not shown.
  bool unusable() const { return unusable_; }
  // Closed without a Mandant while none was open: the program ends.
  bool endProgram() const { return endProgram_; }
  void CreateMandant();  // "Anle&gen..."
  void DeleteMandant();  // "&Löschen"

  void reject() override;

 protected:
  bool Confirm() override;

 private:
  void EnableChoice();
  bool unusable_ = false;
  bool endProgram_ = false;
  bool triedToOpen_ = false;
};

class CreateMandantDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit CreateMandantDialog(QWidget* parent);
  int number() const { return number_; }
  void ChangeSpecialAccounts();  // "Än&dern..."

 protected:
  bool Confirm() override;

 private:
  char Chart() const;
  int number_ = 0;
};

namespace tqkr {
enum : int { kFirstNumber = 101, kFirstShortCode = 121, kDefaults = 140 };
}

class SpecialAccountsDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit SpecialAccountsDialog(QWidget* parent);
  void Show(const SpecialAccountSet& set);
  void Defaults() { Show(DefaultSpecialAccounts()); }  // "Standard&konten"

 protected:
  bool Confirm() override;
};

class CompanyMasterDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit CompanyMasterDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

namespace datenuebernahme {
enum : int { kMandanten = 101, kFirstItem = 111 };  // twelve check boxes from 111
}

class TakeOverDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit TakeOverDialog(QWidget* parent);
  // No other Mandant to take data from (message 519): not to be shown.
  bool empty() const { return empty_; }

 protected:
  bool Confirm() override;

 private:
  bool empty_ = false;
};

// Shows the modeless notices of long Mandant work in a small window.
void InstallMandantNotices();

}  // namespace talvera
