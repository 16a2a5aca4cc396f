// The account windows (KONTOVERWALTUNG): one modeless window per kind of
// account, Sachkonten, Debitoren, Kreditoren and Kostenstellen, with the
// sort order, the selection field, the list and the buttons that copy,
// create, change, budget and analyse accounts. One class over the kind's
// descriptor; the list is a table over a model that reads pages in key
// order, so a chart of any size opens at once.
#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "accounts/account_lists.h"
#include "accounts/account_window_kind.h"
#include "widgets/dialog_kit.h"

class QTableView;

namespace talvera {

namespace kontoverwaltung {
enum : int {
  kSortOrder = 101, kSelection, kList,
  kFill = 111, kCopy, kNew, kChange, kBudget, kAnalysis,
};
}

// The accounts of a window as table rows, read a page at a time.
class AccountListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  AccountListModel(const AccountWindowKind& kind, QObject* parent);

  // Starts the list anew in `order`, filtered by `prefix`.
  void Fill(AccountOrder order, const std::string& prefix);
  // The same list read again, at least as many rows as before (after new,
  // changed or deleted accounts).
  void Reload();
  // Reads the rows of these accounts again (their balances changed).
  void Refresh(const std::set<std::string>& numbers);
  // The row of an account; with `readOn` further pages are read until it
  // comes or the list ends. -1 when it is not in the list.
  int RowOf(const std::string& number, bool readOn);
  const AccountListEntry& Entry(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  // The field of the chosen order of a row (what the selection field shows).
  std::string OrderField(int row) const;
  AccountOrder order() const { return order_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 private:
  enum Column { kNumberColumn, kCodeColumn, kNameColumn, kPostalColumn, kTownColumn, kBalanceColumn };
  bool ReadPage(int count);
  std::vector<Column> columns_;
  const AccountWindowKind& kind_;
  AccountOrder order_ = AccountOrder::kNumber;
  std::string prefix_;
  std::unique_ptr<AccountPages> pages_;
  std::vector<AccountListEntry> rows_;
};

// Rows read per page: a screenful several times over.
inline constexpr int kAccountPageRows = 200;

// What the windows ask the program: is an archived year shown (no new,
// change, budget), are evaluations unlocked (analysis).
struct AccountWindowRules {
  std::function<bool()> archiveOpen = [] { return false; };
  std::function<bool()> evaluationsUnlocked = [] { return false; };
};
void SetAccountWindowRules(AccountWindowRules rules);

class AccountWindow : public TalviDialog {
  Q_OBJECT
 public:
  AccountWindow(QWidget* parent, WindowKind kind);
  ~AccountWindow() override;

  const AccountWindowKind& kind() const { return kind_; }
  AccountListModel* model() const { return model_; }
  QTableView* table() const { return table_; }

  // The window's commands, for the buttons and the tests alike.
  void FillList();             // "&Liste"
  void FollowTyping();         // the selection text was typed
  void SetSortOrder(int order);
  bool CopyAccount();          // "&Kopieren"
  bool NewAccount();           // "&Neu..."
  bool ChangeAccount();        // "Än&dern..."
  bool EditBudget();           // "&Sollwerte..."
  bool Analyse();              // "&Analyse..."
  void ActivateRow(int row);   // double-click
  // The number of the selected account, empty when none.
  std::string SelectedNumber() const;
  // Selects an account, reading pages until it comes; false when it is
  // not in the list (the selection is cleared then).
  bool SelectNumber(const std::string& number);
  // Enables the buttons by the archive, the evaluations and the copy target.
  void UpdateButtons();

 protected:
  bool Confirm() override;  // Enter: "&Liste", the window stays
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Build();
  void RestoreGeometry();
  void SelectionChanged();
  AccountOrder Order() const;
  int AccountKindCode() const;

  const AccountWindowKind& kind_;
  AccountListModel* model_;
  QTableView* table_;
  bool followingTyping_ = false;
  bool geometryRestored_ = false;
};

// The open window of a kind, or none.
AccountWindow* OpenAccountWindow(WindowKind kind);
// F5 to F8: opens the window of the kind or brings it to the front (shown
// again when the windows were hidden).
AccountWindow* ShowAccountWindow(QWidget* parent, WindowKind kind);
// F4: hides all open account windows or shows them again; the new state.
bool ToggleAccountWindows();
bool AccountWindowsVisible();
// Closes every account window (another Mandant, program end).
void CloseAccountWindows();

}  // namespace talvera
