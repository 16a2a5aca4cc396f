#include "accounts/account_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMoveEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <map>

#include "accounts/account_dialogs.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/settings.h"
#include "posting/posting_engine.h"
#include "reports/account_analysis_dialog.h"
#include "widgets/copy_target.h"

namespace talvera {

namespace {

using namespace kontoverwaltung;

constexpr int kMessageSelect = 1;
constexpr int kDefaultX = 30, kDefaultY = 20;

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string Trimmed(const std::string& s) {
  std::size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

AccountWindowRules& Rules() {
  static AccountWindowRules rules;
  return rules;
}

QPointer<AccountWindow>& WindowSlot(WindowKind kind) {
  static QPointer<AccountWindow> windows[4];
  return windows[static_cast<int>(kind)];
}

bool& WindowsVisible() {
  static bool visible = true;
  return visible;
}

constexpr WindowKind kAllKinds[] = {WindowKind::kSachkonten, WindowKind::kDebitoren,
                                    WindowKind::kKreditoren, WindowKind::kKostenstellen};

// Changes reach the windows once the work that made them is done: a
// posting reports balances while its transaction is open, and a dialog
// reports its account before it closes.
struct PendingRefresh {
  bool scheduled = false;
  bool reload[4] = {};
  std::set<std::string> balances;
};

PendingRefresh& Pending() {
  static PendingRefresh pending;
  return pending;
}

void RunPendingRefresh() {
  PendingRefresh pending = Pending();
  Pending() = PendingRefresh{};
  for (WindowKind kind : kAllKinds) {
    AccountWindow* window = WindowSlot(kind);
    if (!window) continue;
    std::string selected = window->SelectedNumber();
    if (pending.reload[static_cast<int>(kind)]) {
      window->model()->Reload();
      if (!selected.empty()) window->SelectNumber(selected);
    } else if (!pending.balances.empty()) {
      window->model()->Refresh(pending.balances);
    }
  }
}

void ScheduleRefresh() {
  if (Pending().scheduled) return;
  Pending().scheduled = true;
  QTimer::singleShot(0, qApp, RunPendingRefresh);
}

void AccountChanged(int, AccountFile file, const std::string&) {
  Pending().reload[static_cast<int>(WindowKindOf(file))] = true;
  ScheduleRefresh();
}

void BalanceChanged(const char* account, unsigned) {
  Pending().balances.insert(Trimmed(account));
  ScheduleRefresh();
}

// The windows listen while at least one is open.
void Listen(bool on) {
  if (on) {
    AddAccountChangeListener(AccountChanged);
    AddBalanceChangeListener(BalanceChanged);
  } else {
    RemoveAccountChangeListener(AccountChanged);
    RemoveBalanceChangeListener(BalanceChanged);
  }
}

}  // namespace

void SetAccountWindowRules(AccountWindowRules rules) { Rules() = std::move(rules); }

// ---- The list ---------------------------------------------------------------

AccountListModel::AccountListModel(const AccountWindowKind& kind, QObject* parent)
    : QAbstractTableModel(parent), kind_(kind) {
  columns_ = {kNumberColumn, kCodeColumn, kNameColumn};
  if (kind.orders == 4) columns_.insert(columns_.end(), {kPostalColumn, kTownColumn});
  if (kind.accountKind != kNoAccount) columns_.push_back(kBalanceColumn);
}

bool AccountListModel::ReadPage(int count) {
  if (!pages_ || pages_->atEnd()) return true;
  std::vector<AccountListEntry> more;
  bool ok = pages_->ReadMore(count, more);
  if (!ok) pages_.reset();  // the store has said why; the list stays as it is
  if (more.empty()) return ok;
  int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
  for (AccountListEntry& e : more) rows_.push_back(std::move(e));
  endInsertRows();
  return ok;
}

void AccountListModel::Fill(AccountOrder order, const std::string& prefix) {
  beginResetModel();
  order_ = order;
  prefix_ = prefix;
  rows_.clear();
  pages_ = std::make_unique<AccountPages>(kind_.file, order, prefix);
  endResetModel();
  ReadPage(kAccountPageRows);
}

void AccountListModel::Reload() {
  int wanted = std::max(static_cast<int>(rows_.size()), kAccountPageRows);
  Fill(order_, prefix_);
  while (static_cast<int>(rows_.size()) < wanted && pages_ && !pages_->atEnd())
    if (!ReadPage(wanted - static_cast<int>(rows_.size()))) break;
}

void AccountListModel::Refresh(const std::set<std::string>& numbers) {
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (!numbers.count(Trimmed(rows_[row].number))) continue;
    AccountListEntry entry;
    bool found = false;
    if (!ReadAccountEntry(kind_.file, rows_[row].number, entry, found) || !found) continue;
    rows_[row] = std::move(entry);
    emit dataChanged(index(static_cast<int>(row), 0),
                     index(static_cast<int>(row), columnCount() - 1));
  }
}

int AccountListModel::RowOf(const std::string& number, bool readOn) {
  std::string wanted = Trimmed(number);
  for (std::size_t row = 0;; ++row) {
    if (row == rows_.size() && (!readOn || !pages_ || pages_->atEnd() || !ReadPage(kAccountPageRows * 10)))
      return -1;
    if (row >= rows_.size()) return -1;
    if (Trimmed(rows_[row].number) == wanted) return static_cast<int>(row);
  }
}

std::string AccountListModel::OrderField(int row) const {
  const AccountListEntry& e = Entry(row);
  const std::string* fields[] = {&e.number, &e.shortCode, &e.name, &e.postalCode};
  return Trimmed(*fields[static_cast<int>(order_)]);
}

int AccountListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AccountListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant AccountListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  Column column = columns_[static_cast<std::size_t>(index.column())];
  if (role == Qt::TextAlignmentRole)
    return column == kNumberColumn || column == kBalanceColumn
               ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
               : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  const AccountListEntry& e = Entry(index.row());
  switch (column) {
    case kNumberColumn: return Q(Trimmed(e.number));
    case kCodeColumn: return Q(e.shortCode);
    case kNameColumn: return Q(e.name);
    case kPostalColumn: return Q(e.postalCode);
    case kTownColumn: return Q(e.town);
    case kBalanceColumn: return Q(e.balance);
  }
  return {};
}

QVariant AccountListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount())
    return {};
  bool costCentres = kind_.accountKind == kNoAccount;
  switch (columns_[static_cast<std::size_t>(section)]) {
    case kNumberColumn: return costCentres ? "KoSt.-Nr." : "Konto-Nr.";
    case kCodeColumn: return "Kürzel";
    case kNameColumn: return kind_.orders == 4 ? "Name" : "Bezeichnung";
    case kPostalColumn: return "PLZ";
    case kTownColumn: return "Ort";
    case kBalanceColumn: return "Saldo";
  }
  return {};
}

bool AccountListModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && pages_ && !pages_->atEnd();
}

void AccountListModel::fetchMore(const QModelIndex& parent) {
  if (!parent.isValid()) ReadPage(kAccountPageRows);
}

// ---- The window -------------------------------------------------------------

AccountWindow::AccountWindow(QWidget* parent, WindowKind kind)
    : TalviDialog(parent, "KONTOVERWALTUNG", ""), kind_(KindOf(kind)) {
  setWindowTitle(QString::fromUtf8(kind_.caption));
  setObjectName(QString("KONTOVERWALTUNG_") + QChar(kind_.letter));
  setModal(false);
  setSizeGripEnabled(true);
  model_ = new AccountListModel(kind_, this);
  Build();
  QPointer<AccountWindow>& slot = WindowSlot(kind);
  bool first = !OpenAccountWindow(WindowKind::kSachkonten) && !OpenAccountWindow(WindowKind::kDebitoren) &&
               !OpenAccountWindow(WindowKind::kKreditoren) && !OpenAccountWindow(WindowKind::kKostenstellen);
  slot = this;
  if (first) Listen(true);
  SetSortOrder(StoredSortOrder(kind_));
  Edit(kSelection)->setText(Q(ReadSetting(SelectionKey(kind_, CurrentMandant().number))));
  FillList();
  UpdateButtons();
}

AccountWindow::~AccountWindow() {
  bool any = false;
  for (WindowKind kind : kAllKinds) {
    if (WindowSlot(kind) == this) WindowSlot(kind) = nullptr;
    any = any || WindowSlot(kind);
  }
  if (!any) Listen(false);
}

void AccountWindow::Build() {
  outer_->setSizeConstraint(QLayout::SetDefaultConstraint);
  QComboBox* order = AddCombo(kSortOrder, "&Sortierung:", false);
  for (int i = 0; i < kind_.orders; ++i) order->addItem(QString::fromUtf8(kOrderNames[i]));
  QLineEdit* selection = AddEdit(kSelection, "A&uswahl:", kSelectionLimits[0]);
  selection->setMinimumWidth(fontMetrics().averageCharWidth() * 24);

  table_ = Register(kList, new QTableView(this));
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setShowGrid(false);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  // Fixed row heights: the view never measures the rows it has not shown.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  table_->horizontalHeader()->setHighlightSections(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  int c = fontMetrics().averageCharWidth();
  std::vector<int> widths = {9, 10, kind_.orders == 4 ? 26 : 28};
  if (kind_.orders == 4) widths.insert(widths.end(), {7, 18});
  if (kind_.accountKind != kNoAccount) widths.push_back(16);
  int total = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    table_->setColumnWidth(static_cast<int>(i), widths[i] * c + 12);
    total += widths[i] * c + 12;
  }
  table_->setMinimumSize(total + 24, table_->verticalHeader()->defaultSectionSize() * 14);
  outer_->addWidget(table_, 1);

  auto* buttons = new QHBoxLayout;
  struct Button {
    int id;
    const char* text;
  };
  for (Button b : {Button{kFill, "&Liste"}, Button{kCopy, "&Kopieren"}, Button{kNew, "&Neu..."},
                   Button{kChange, "Än&dern..."}, Button{kBudget, "&Sollwerte..."},
                   Button{kAnalysis, "&Analyse..."}}) {
    auto* button = Register(b.id, new QPushButton(QString::fromUtf8(b.text), this));
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  outer_->addLayout(buttons);
  auto button = [this](int id) { return qobject_cast<QPushButton*>(Control(id)); };
  button(kFill)->setDefault(true);
  connect(button(kFill), &QPushButton::clicked, this, [this] { FillList(); });
  connect(button(kCopy), &QPushButton::clicked, this, [this] { CopyAccount(); });
  connect(button(kNew), &QPushButton::clicked, this, [this] { NewAccount(); });
  connect(button(kChange), &QPushButton::clicked, this, [this] { ChangeAccount(); });
  connect(button(kBudget), &QPushButton::clicked, this, [this] { EditBudget(); });
  connect(button(kAnalysis), &QPushButton::clicked, this, [this] { Analyse(); });
  button(kAnalysis)->setStatusTip("Analyse des ausgewählten Kontos (nur nach Eingabe des Auswertungspaßworts)");
  connect(order, &QComboBox::activated, this, [this](int index) { SetSortOrder(index); });
  connect(selection, &QLineEdit::textEdited, this, [this] { FollowTyping(); });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { SelectionChanged(); });
  connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { ActivateRow(i.row()); });
  RestoreGeometry();
}

void AccountWindow::RestoreGeometry() {
  int x = ReadNumberSetting(PositionKey(kind_, 'X'), kDefaultX);
  int y = ReadNumberSetting(PositionKey(kind_, 'Y'), kDefaultY);
  QString size = Q(ReadSetting(SizeKey(kind_)));
  QStringList parts = size.split(',');
  resize(sizeHint());
  if (parts.size() == 2 && parts[0].toInt() > 0 && parts[1].toInt() > 0)
    resize(parts[0].toInt(), parts[1].toInt());
  move(x, y);
  geometryRestored_ = true;
}

void AccountWindow::moveEvent(QMoveEvent* event) {
  TalviDialog::moveEvent(event);
  if (!geometryRestored_ || !isVisible()) return;
  WriteNumberSetting(PositionKey(kind_, 'X'), pos().x());
  WriteNumberSetting(PositionKey(kind_, 'Y'), pos().y());
}

void AccountWindow::resizeEvent(QResizeEvent* event) {
  TalviDialog::resizeEvent(event);
  if (!geometryRestored_ || !isVisible()) return;
  WriteSetting(SizeKey(kind_), std::to_string(width()) + "," + std::to_string(height()));
}

void AccountWindow::changeEvent(QEvent* event) {
  TalviDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) UpdateButtons();
}

bool AccountWindow::Confirm() {
  FillList();
  return false;
}

AccountOrder AccountWindow::Order() const {
  int index = Combo(kSortOrder)->currentIndex();
  return static_cast<AccountOrder>(index < 0 ? 0 : index);
}

int AccountWindow::AccountKindCode() const { return kind_.accountKind; }

void AccountWindow::SetSortOrder(int order) {
  if (order < 0 || order >= kind_.orders) order = 0;
  QComboBox* combo = Combo(kSortOrder);
  {
    QSignalBlocker block(combo);
    combo->setCurrentIndex(order);
  }
  WriteNumberSetting(SortOrderKey(kind_), order);
  QLineEdit* selection = Edit(kSelection);
  selection->clear();
  selection->setMaxLength(kSelectionLimits[order]);
}

void AccountWindow::FillList() {
  std::string text = Edit(kSelection)->text().toStdString();
  WriteSetting(SelectionKey(kind_, CurrentMandant().number), text);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  model_->Fill(Order(), text);
  QApplication::restoreOverrideCursor();
  table_->scrollToTop();
}

void AccountWindow::FollowTyping() {
  std::string typed = Edit(kSelection)->text().toStdString();
  std::string number;
  bool found = false;
  int row = -1;
  if (FindAccountForSelection(kind_.file, Order(), typed, number, found) && found)
    row = model_->RowOf(number, true);
  followingTyping_ = true;
  if (row >= 0) {
    table_->selectRow(row);
    table_->scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtCenter);
  } else {
    table_->clearSelection();
    table_->setCurrentIndex({});
    table_->scrollToTop();
  }
  followingTyping_ = false;
}

void AccountWindow::SelectionChanged() {
  if (followingTyping_) return;
  int row = table_->currentIndex().row();
  if (row < 0 || !table_->selectionModel()->isRowSelected(row, {})) return;
  Edit(kSelection)->setText(Q(model_->OrderField(row)));
}

std::string AccountWindow::SelectedNumber() const {
  QModelIndex current = table_->currentIndex();
  if (!current.isValid() || !table_->selectionModel()->isRowSelected(current.row(), {})) return {};
  return model_->Entry(current.row()).number;
}

bool AccountWindow::SelectNumber(const std::string& number) {
  int row = model_->RowOf(number, true);
  if (row < 0) {
    table_->clearSelection();
    return false;
  }
  table_->selectRow(row);
  table_->scrollTo(model_->index(row, 0));
  return true;
}

void AccountWindow::UpdateButtons() {
  bool archive = Rules().archiveOpen();
  for (int id : {kNew, kChange, kBudget}) Control(id)->setEnabled(!archive);
  Control(kAnalysis)->setEnabled(kind_.accountKind != kNoAccount && Rules().evaluationsUnlocked());
  Control(kCopy)->setEnabled(CopyTarget() != nullptr);
}

bool AccountWindow::CopyAccount() {
  std::string number = SelectedNumber();
  if (number.empty()) return false;
  return CopyToTarget(Q(number));
}

void AccountWindow::ActivateRow(int row) {
  if (row < 0) return;
  table_->selectRow(row);
  UpdateButtons();
  if (Control(kCopy)->isEnabled())
    CopyAccount();
  else if (Control(kChange)->isEnabled())
    ChangeAccount();
}

bool AccountWindow::NewAccount() {
  if (!Control(kNew)->isEnabled()) return false;
  std::string number;
  if (!RunNewAccount(this, WindowKindOf(kind_.file), Order(), Edit(kSelection)->text().toStdString(),
                     number))
    return false;
  model_->Reload();
  SelectNumber(number);
  return true;
}

bool AccountWindow::ChangeAccount() {
  if (!Control(kChange)->isEnabled()) return false;
  std::string number = SelectedNumber();
  if (number.empty()) {
    ShowMessage(kMessageSelect, kList);
    return false;
  }
  if (!RunChangeAccount(this, WindowKindOf(kind_.file), number)) return false;
  model_->Refresh({Trimmed(number)});
  return true;
}

bool AccountWindow::EditBudget() {
  if (!Control(kBudget)->isEnabled()) return false;
  std::string number = SelectedNumber();
  if (number.empty()) {
    ShowMessage(kMessageSelect, kList);
    return false;
  }
  return RunBudget(this, WindowKindOf(kind_.file), number);
}

bool AccountWindow::Analyse() {
  if (!Control(kAnalysis)->isEnabled()) return false;
  std::string number = SelectedNumber();
  if (number.empty()) {
    ShowMessage(kMessageSelect, kList);
    return false;
  }
  return OpenAccountAnalysis(this, static_cast<AccountKind>(AccountKindCode()), number);
}

// ---- All windows --------------------------------------------------------------

AccountWindow* OpenAccountWindow(WindowKind kind) { return WindowSlot(kind).data(); }

AccountWindow* ShowAccountWindow(QWidget* parent, WindowKind kind) {
  AccountWindow* window = OpenAccountWindow(kind);
  if (!window) {
    window = new AccountWindow(parent, kind);
    window->setAttribute(Qt::WA_DeleteOnClose);
  }
  if (!WindowsVisible()) {
    WindowsVisible() = true;
    for (WindowKind k : kAllKinds)
      if (AccountWindow* w = OpenAccountWindow(k)) w->show();
  }
  window->show();
  window->raise();
  window->activateWindow();
  window->UpdateButtons();
  return window;
}

bool ToggleAccountWindows() {
  WindowsVisible() = !WindowsVisible();
  for (WindowKind kind : kAllKinds) {
    AccountWindow* window = OpenAccountWindow(kind);
    if (!window) continue;
    window->setVisible(WindowsVisible());
    if (WindowsVisible()) window->raise();
  }
  return WindowsVisible();
}

bool AccountWindowsVisible() { return WindowsVisible(); }

void CloseAccountWindows() {
  for (WindowKind kind : kAllKinds)
    if (AccountWindow* window = OpenAccountWindow(kind)) delete window;
  WindowsVisible() = true;
}

}  // namespace talvera
