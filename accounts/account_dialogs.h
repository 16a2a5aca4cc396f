// The dialogs of the account windows: new and change dialogs of the three
// layouts (Sachkonto SAKTONEU/SAKTOAEN, person DEBINEU/DEBIAEN and
// KREDNEU/KREDAEN, cost centre KOSTNEU/KOSTAEN), the quick new account
// KTONEU, the budget figures SOLLWERTE with their development
// SW_ENTWICKLUNG, and the deletion KTOLOE. The checks and the storing are
// the Qt-free code of account_checks and account_store; these dialogs read
// the screen into it and show its result.
#pragma once

#include <QButtonGroup>

#include <string>
#include <vector>

#include "accounts/account_budget.h"
#include "accounts/account_checks.h"
#include "accounts/account_lists.h"
#include "accounts/account_window_kind.h"
#include "widgets/dialog_kit.h"

class QButtonGroup;
class QLabel;

namespace talvera {

// Controls of the account dialogs that are chosen rather than typed (the
// typed ones are kontoneu's).
namespace kontowahl {
enum : int {
  kClassAsset = 161, kClassLiability, kClassProfitLoss, kClassNone,
  kFixedAsset = 171, kRevenue, kCostType, kCostFixed, kCostVariable,
  kInputTax = 181, kOutputTax, kTaxFree,
  kPrevDebitSide = 191, kPrevCreditSide,
  kContractProcessing = 201, kDunning, kNoDunning,
  kOkBank = 211, kPlaceInStructure, kBudgetButton,
};
}

// Every sub-dialog of the account windows exists once: while one of a name
// is open, message 719 names it and the second is not opened.
class SingleUse {
 public:
  explicit SingleUse(const char* name);  // "Konto-Neu", "Konto-Ändern", "Sollwerte"
  ~SingleUse();
  SingleUse(const SingleUse&) = delete;
  SingleUse& operator=(const SingleUse&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string name_;
  bool ok_;
};

// A new or a changed account of one kind. One class for the three layouts:
// what differs is which rows it builds and which check it calls.
class AccountDialog : public TalviDialog {
  Q_OBJECT
 public:
  // A new account (`record` empty) or the change of the account `record`
  // holds. A new one gets `preset` in the field of `order`.
  AccountDialog(QWidget* parent, WindowKind kind, const std::vector<char>& record,
                AccountOrder order = AccountOrder::kNumber, const std::string& preset = {});

  const AccountWindowKind& kind() const { return kind_; }
  bool isNew() const { return record_.empty(); }
  // After OK: the stored account's number, and what comes next for a new
  // Sachkonto ("Ok -> Ba&nk", "Aufbau festlegen").
  const std::string& number() const { return number_; }
  bool toBank() const { return toBank_; }
  int accountClass() const { return accountClass_; }

  bool OkToBank();  // "Ok -> Ba&nk"

 protected:
  bool Confirm() override;

 private:
  void BuildSachkonto();
  void BuildPerson();
  void BuildCostCentre();
  void BuildPreviousYear();
  void BuildButtons();
  void ShowRecord();
  void Preset(AccountOrder order, const std::string& text);
  AccountChoices Choices() const;
  void UpdateEnabling();
  QButtonGroup* Group(std::initializer_list<int> ids);

  const AccountWindowKind& kind_;
  std::vector<char> record_;
  std::string number_;
  bool toBank_ = false;
  int accountClass_ = 0;
};

// The new-account dialog of a kind, with the follow-ups of a new Sachkonto
// (bank administration, placing it in the trees). True with the number
// when an account was stored.
bool RunNewAccount(QWidget* parent, WindowKind kind, AccountOrder order, const std::string& preset,
                   std::string& number);
// The change dialog of an account; true when the change was stored.
bool RunChangeAccount(QWidget* parent, WindowKind kind, const std::string& number);
// Reads an account record of a kind by number; message 1 (none selected)
// is the caller's. found = false when it no longer exists.
bool ReadAccountRecord(WindowKind kind, const std::string& number, std::vector<char>& record, bool& found);

// "KTONEU": kind, number and short code of a new account, checked, then the
// full new-account dialog of the kind with both filled in.
namespace ktoneu {
enum : int { kSachkonto = 121, kDebitor, kKreditor, kCostCentre };
}
class QuickAccountDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit QuickAccountDialog(QWidget* parent);
  int file() const;  // 0 Sachkonto, 1 Debitor, 2 Kreditor, 3 cost centre

 protected:
  bool Confirm() override;
};
// From the posting dialog: true with the number of the stored account.
bool RunQuickNewAccount(QWidget* parent, std::string& number);

// "SOLLWERTE": twelve period values and their total.
namespace sollwerte {
enum : int { kPeriod1 = 101, kTotal = 113, kDevelop = 121 };
}
class BudgetDialog : public TalviDialog {
  Q_OBJECT
 public:
  // `record` is the account's; OK writes the values into it and stores it.
  BudgetDialog(QWidget* parent, WindowKind kind, const std::vector<char>& record);
  // Reads the twelve fields and shows their total; false (message) on bad input.
  bool Recompute();
  bool Develop();  // "&Entwicklung..."
  void Show(const BudgetValues& values);
  const std::vector<char>& record() const { return record_; }

 protected:
  bool Confirm() override;

 private:
  bool ReadValues(BudgetValues& values);
  const AccountWindowKind& kind_;
  std::vector<char> record_;
};

// "SW_ENTWICKLUNG": the rule that fills the twelve values.
namespace swentwicklung {
enum : int { kStartToEnd = 101, kLinear, kCompound, kStart = 111, kEnd, kPercent };
}
class BudgetDevelopmentDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit BudgetDevelopmentDialog(QWidget* parent);
  const BudgetValues& values() const { return values_; }

 protected:
  bool Confirm() override;

 private:
  void UpdateEnabling();
  BudgetValues values_{};
};

bool RunBudget(QWidget* parent, WindowKind kind, const std::string& number);

// "KTOLOE" ("KONTEN LÖSCHEN"): the deletable accounts of the chosen kinds,
// one at a time with a take-back, or all at once.
namespace ktoloe {
enum : int {
  kSachkonten = 101, kKreditoren, kDebitoren, kKostenstellen,
  kByNumber = 111, kByCode, kSingle = 121, kAll,
  kList = 131, kChosen, kDeletableCount, kDeletedCount,
  kDelete = 141, kUndo,
};
}
class DeleteAccountsDialog : public TalviDialog {
  Q_OBJECT
 public:
  explicit DeleteAccountsDialog(QWidget* parent, bool readStore = true);
  ~DeleteAccountsDialog() override;

  void Refill();       // the list of the chosen kinds and order
  bool Delete();       // "&Löschen"
  bool Undo();         // "&Rückgängig"
  bool ChooseAll(bool all);
  int deleted() const { return deleted_; }
  // The sample lines for the gallery.
  void ShowEntries(const std::vector<std::string>& lines);

 protected:
  bool Confirm() override;  // "&Beenden": carries out the chosen one
  void reject() override;

 private:
  struct Entry {
    AccountFile file;
    std::string number, shortCode, name;
  };
  bool CarryOut();  // deletes the account chosen last
  void ShowCounts();
  std::vector<Entry> entries_;
  std::vector<Entry> chosen_;  // at most one waits: the last choice
  int deleted_ = 0;
};

}  // namespace talvera
