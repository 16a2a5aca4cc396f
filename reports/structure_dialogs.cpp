#include "reports/structure_dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>
#include <functional>

#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "core/structure_reconcile.h"

namespace talvera {

namespace {

constexpr char kEntryMime[] = "application/x-talvera-structure-entry";
constexpr int kHandleRole = Qt::UserRole;
constexpr int kMessageSelect = 1;
constexpr int kMessageTypeSomething = 2;
constexpr int kMessageCannotRead = 115;
constexpr int kMessageReallyDelete = 119;
constexpr int kMessageInUse = 719;
constexpr int kMessageAlsoAlternative = 140;
constexpr int kMessageReorganise = 400;
constexpr int kGroupNameLength = 25;

StructureEditorDialog* g_openEditor = nullptr;

struct AttributeBox {
  int offset;  // from the first check box's id
  int bit;
  const char* text;
};
const AttributeBox kAttributeBoxes[] = {
    {0, kGroupEmptyLineBefore, "Leerzeile vor der Gruppe"},
    {1, kGroupBold, "Fett"},
    {2, kGroupUnderlined, "Unterstrichen"},
    {3, kGroupLargerFont, "Größere Schrift"},
};
// The bits of a computed line have no check box; changing the others keeps them.
constexpr int kCheckBoxBits = kGroupEmptyLineBefore | kGroupBold | kGroupUnderlined | kGroupLargerFont;

// A list whose entries are dragged with Qt's item-view drag support. The
// drop only hands the dragged entry and the item under the cursor on;
// whether the drop is allowed is the tree's decision.
class EntryList : public QListWidget {
 public:
  // The entry under the cursor is passed as its handle, -1 for none.
  using DropHandler = std::function<void(const QString& payload, int target)>;

  EntryList(QWidget* parent, char side, DropHandler onDrop)
      : QListWidget(parent), side_(side), onDrop_(std::move(onDrop)) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // Copy, so the view never removes the dragged item itself: the lists
    // are filled again from the tree after every drop.
    setDefaultDropAction(Qt::CopyAction);
  }

 protected:
  QStringList mimeTypes() const override { return {kEntryMime}; }
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
  QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
    auto* data = new QMimeData;
    if (!items.isEmpty())
      data->setData(kEntryMime, (QString(side_) + items[0]->data(kHandleRole).toString()).toUtf8());
    return data;
  }
  void dragEnterEvent(QDragEnterEvent* e) override { AcceptOurs(e); }
  void dragMoveEvent(QDragMoveEvent* e) override { AcceptOurs(e); }
  void dropEvent(QDropEvent* e) override {
    if (!e->mimeData()->hasFormat(kEntryMime)) {
      e->ignore();
      return;
    }
    QString payload = QString::fromUtf8(e->mimeData()->data(kEntryMime));
    QListWidgetItem* item = itemAt(e->position().toPoint());
    int target = item && side_ == 'L' ? item->data(kHandleRole).toInt() : -1;
    e->setDropAction(Qt::CopyAction);
    e->accept();
    onDrop_(payload, target);
  }

 private:
  template <typename Event>
  static void AcceptOurs(Event* e) {
    if (e->mimeData()->hasFormat(kEntryMime)) {
      e->setDropAction(Qt::CopyAction);
      e->accept();
    } else {
      e->ignore();
    }
  }

  char side_;
  DropHandler onDrop_;
};

QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// ---- GRUPPENEU / GRUPPEAEN --------------------------------------------------

GroupDialog::GroupDialog(QWidget* parent, const std::vector<int>& levels, const std::string& name,
                         int attributes)
    : TalviDialog(parent, levels.empty() ? "GRUPPEAEN" : "GRUPPENEU",
                  levels.empty() ? "NAME UND ATTRIBUTE ÄNDERN" : "NEUE GRUPPE ANLEGEN"),
      hiddenBits_(attributes & ~kCheckBoxBits) {
  using namespace gruppe;
  AddEdit(kName, "&Gruppenbezeichnung :", kGroupNameLength)->setText(FromUtf8(name));
  for (const AttributeBox& box : kAttributeBoxes)
    AddCheck(kEmptyLineBefore + box.offset, box.text)->setChecked(attributes & box.bit);
  if (!levels.empty()) {
    QComboBox* level = AddCombo(kLevel, "&Ebene :", false);
    for (int l : levels) level->addItem(QString::number(l), l);
    level->setCurrentIndex(level->count() - 1);
  }
  AddButtons();
}

std::string GroupDialog::name() const { return Edit(gruppe::kName)->text().trimmed().toStdString(); }

int GroupDialog::attributes() const {
  int bits = hiddenBits_;
  for (const AttributeBox& box : kAttributeBoxes)
    if (Checked(gruppe::kEmptyLineBefore + box.offset)) bits |= box.bit;
  return bits;
}

int GroupDialog::level() const {
  QComboBox* level = Combo(gruppe::kLevel);
  return level ? level->currentData().toInt() : 0;
}

bool GroupDialog::Confirm() {
  if (!name().empty()) return true;
  ShowMessage(kMessageTypeSomething, gruppe::kName);
  return false;
}

// ---- AUFBAU -------------------------------------------------------------------

StructureEditorDialog::StructureEditorDialog(QWidget* parent, int command, const std::string& account)
    : TalviDialog(parent, "AUFBAU", ""), selectAccount_(account) {
  StructureEditor editor = StructureEditor::kProfitAndLoss;
  StructureEditorOfCommand(command, editor);
  editing_ = std::make_unique<StructureEditing>(editor, YearDirectory(WorkingYear()));
  g_openEditor = this;
  Build();
  if (!editing_->Load()) {
    ShowMessage(kMessageCannotRead);
    usable_ = false;
    return;
  }
  Refill();
}

StructureEditorDialog::StructureEditorDialog(QWidget* parent, StructureEditing editing)
    : TalviDialog(parent, "AUFBAU", "") {
  editing_ = std::make_unique<StructureEditing>(std::move(editing));
  g_openEditor = this;
  Build();
  Refill();
}

StructureEditorDialog::~StructureEditorDialog() {
  if (g_openEditor == this) g_openEditor = nullptr;
}

StructureEditorDialog* StructureEditorDialog::Open() { return g_openEditor; }

void StructureEditorDialog::Build() {
  using namespace aufbau;
  setWindowTitle(QString::fromUtf8(editing_->Caption()));
  auto* grid = new QGridLayout;
  outer_->addLayout(grid);

  // The drop is handled once the drag has ended, so that its messages do
  // not appear inside the drag's own event loop.
  auto* assigned = Register(kAssigned, new EntryList(this, 'L', [this](const QString& p, int t) {
    QTimer::singleShot(0, this, [this, p, t] { Drop(p, kOntoAssigned, t); });
  }));
  auto* unassigned = Register(kUnassigned, new EntryList(this, 'R', [this](const QString& p, int) {
    QTimer::singleShot(0, this, [this, p] { Drop(p, kOntoUnassigned, -1); });
  }));
  auto* assignedLabel = new QLabel("&Zugeordnete Einträge :", this);
  assignedLabel->setBuddy(assigned);
  auto* unassignedLabel = new QLabel("Konten &ohne Gruppenzuordnung :", this);
  unassignedLabel->setBuddy(unassigned);
  grid->addWidget(assignedLabel, 0, 0);
  grid->addWidget(unassignedLabel, 0, 1);
  grid->addWidget(assigned, 1, 0);
  grid->addWidget(unassigned, 1, 1);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(1, 2);
  assigned->setMinimumWidth(320);

  auto* depthBox = new QGroupBox("Darstellungstiefe", this);
  auto* depthRow = new QHBoxLayout(depthBox);
  auto* depthGroup = new QButtonGroup(this);
  for (int d = 1; d <= kMaxGroupLevel; ++d) {
    auto* radio = Register(kDepth1 + d - 1, new QRadioButton(QString("&%1").arg(d), depthBox));
    depthGroup->addButton(radio);
    depthRow->addWidget(radio);
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      if (on) Refill();
    });
  }
  auto* withAccounts = Register(kWithAccounts, new QCheckBox("mit &Konten", depthBox));
  depthRow->addWidget(withAccounts);
  connect(withAccounts, &QCheckBox::toggled, this, [this] { Refill(); });
  grid->addWidget(depthBox, 2, 0);

  auto* attributeBox = new QGroupBox("Attribute", this);
  auto* attributeGrid = new QGridLayout(attributeBox);
  for (const AttributeBox& box : kAttributeBoxes) {
    auto* check = Register(kEmptyLineBefore + box.offset, new QCheckBox(box.text, attributeBox));
    attributeGrid->addWidget(check, box.offset / 2, box.offset % 2);
    connect(check, &QCheckBox::clicked, this, [this] { AttributeClicked(); });
  }
  grid->addWidget(attributeBox, 2, 1);

  auto* buttons = new QDialogButtonBox(this);
  auto* add = Register(kNew, buttons->addButton("&Neu...", QDialogButtonBox::ActionRole));
  auto* change = Register(kChange, buttons->addButton("&Ändern...", QDialogButtonBox::ActionRole));
  auto* remove = Register(kDelete, buttons->addButton("&Löschen", QDialogButtonBox::ActionRole));
  auto* finish = Register(kFinish, buttons->addButton("&Beenden", QDialogButtonBox::RejectRole));
  add->setIcon(QIcon::fromTheme("list-add"));
  remove->setIcon(QIcon::fromTheme("edit-delete"));
  connect(add, &QPushButton::clicked, this, &StructureEditorDialog::NewGroup);
  connect(change, &QPushButton::clicked, this, &StructureEditorDialog::ChangeGroup);
  connect(remove, &QPushButton::clicked, this, &StructureEditorDialog::DeleteGroup);
  connect(finish, &QPushButton::clicked, this, &QDialog::reject);

  auto* previous = Register(kPreviousYear, new QCheckBox("&Vorjahresaufbau", this));
  previous->setEnabled(CurrentMandant().previousYear[0] != 0 && !editing_->directory().empty());
  connect(previous, &QCheckBox::toggled, this, &StructureEditorDialog::SwitchYear);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(previous);
  bottom->addStretch();
  bottom->addWidget(buttons);
  outer_->addLayout(bottom);

  {
    // The lists are filled once the tree is read.
    QSignalBlocker depth(Radio(kDepth3)), accounts(withAccounts);
    SetChecked(kDepth3, true);
    SetChecked(kWithAccounts, true);
  }
  connect(assigned, &QListWidget::currentItemChanged, this, [this] { ShowAttributes(); });
  setTabOrder(assigned, unassigned);
}

int StructureEditorDialog::Depth() const {
  for (int d = kMaxGroupLevel; d > 1; --d)
    if (Checked(aufbau::kDepth1 + d - 1)) return d;
  return 1;
}

int StructureEditorDialog::Selected() const {
  QListWidgetItem* item = List(aufbau::kAssigned)->currentItem();
  return item ? item->data(kHandleRole).toInt() : -1;
}

void StructureEditorDialog::Select(int handle) {
  QListWidget* list = List(aufbau::kAssigned);
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->data(kHandleRole).toInt() == handle) list->setCurrentRow(i);
}

void StructureEditorDialog::Refill() {
  using namespace aufbau;
  int keep = Selected();
  QListWidget* assigned = List(kAssigned);
  assigned->clear();
  const StructureTree& tree = editing_->tree();
  for (int h : editing_->Shown(Depth(), Checked(kWithAccounts))) {
    QString indent(tree.DepthOf(h) - 1, QLatin1Char('\t'));
    auto* item = new QListWidgetItem(indent + FromUtf8(editing_->EntryText(h)), assigned);
    item->setData(kHandleRole, h);
  }
  QListWidget* unassigned = List(kUnassigned);
  unassigned->clear();
  for (const ClassAccount* a : editing_->Unassigned()) {
    std::string number = a->number.substr(a->number.find_first_not_of(' '));
    auto* item = new QListWidgetItem(FromUtf8(number + " " + a->name), unassigned);
    item->setData(kHandleRole, FromUtf8(a->number));
    if (a->number == selectAccount_) unassigned->setCurrentItem(item);
  }
  if (!selectAccount_.empty()) {
    int leaf = tree.FindLeaf(selectAccount_, editing_->alternative());
    if (leaf >= 0) keep = leaf;
    selectAccount_.clear();
  }
  Select(keep);
  ShowAttributes();
}

void StructureEditorDialog::ShowAttributes() {
  int h = Selected();
  bool group = h > 0 && editing_->tree().IsGroup(h);
  int bits = group ? editing_->tree().at(h).attributes : 0;
  for (const AttributeBox& box : kAttributeBoxes) {
    QCheckBox* check = Check(aufbau::kEmptyLineBefore + box.offset);
    check->setEnabled(group);
    check->setChecked(bits & box.bit);
  }
}

void StructureEditorDialog::AttributeClicked() {
  int h = Selected();
  int bits = h > 0 && editing_->tree().IsGroup(h) ? editing_->tree().at(h).attributes & ~kCheckBoxBits : 0;
  for (const AttributeBox& box : kAttributeBoxes)
    if (Checked(aufbau::kEmptyLineBefore + box.offset)) bits |= box.bit;
  Done(editing_->ChangeAttributes(h, bits), h);
}

void StructureEditorDialog::Done(int message, int select) {
  if (message) ShowMessage(message, message == kMessageSelect ? aufbau::kAssigned : 0);
  Refill();
  Select(select);
}

void StructureEditorDialog::Drop(const QString& payload, aufbau::DropList onto, int targetHandle) {
  if (payload.isEmpty()) return;
  bool fromTree = payload[0] == QLatin1Char('L');
  QString what = payload.mid(1);
  if (onto == aufbau::kOntoUnassigned) {
    if (fromTree) Done(editing_->TakeOut(what.toInt()), -1);
    return;
  }
  if (fromTree) {
    int entry = what.toInt();
    Done(editing_->MoveEntry(entry, targetHandle), entry);
  } else {
    int result = editing_->DropAccount(what.toStdString(), targetHandle);
    Done(result, result ? -1 : editing_->tree().FindLeaf(what.toStdString(), editing_->alternative()));
  }
}

void StructureEditorDialog::NewGroup() {
  int selection = Selected();
  GroupDialog dialog(this, editing_->tree().OfferedLevels(selection), "", 0);
  if (dialog.exec() != QDialog::Accepted) return;
  int created = -1;
  int result = editing_->NewGroup(selection, dialog.name(), dialog.level(), dialog.attributes(), &created);
  Done(result, result ? selection : created);
}

void StructureEditorDialog::ChangeGroup() {
  int h = Selected();
  if (h <= 0 || !editing_->tree().IsGroup(h)) {
    ShowMessage(kMessageSelect, aufbau::kAssigned);
    return;
  }
  const StructureEntry& group = editing_->tree().at(h);
  GroupDialog dialog(this, {}, group.text, group.attributes);
  if (dialog.exec() != QDialog::Accepted) return;
  Done(editing_->ChangeGroup(h, dialog.name(), dialog.attributes()), h);
}

void StructureEditorDialog::DeleteGroup() {
  int h = Selected();
  if (h <= 0 || !editing_->tree().IsGroup(h)) {
    ShowMessage(kMessageSelect, aufbau::kAssigned);
    return;
  }
  if (!ShowMessage(kMessageReallyDelete)) return;
  Done(editing_->DeleteGroup(h), -1);
}

// The previous year's tree is read from that year's directory; the working
// year of the program is not switched, so nothing needs restoring on close.
void StructureEditorDialog::SwitchYear(bool previous) {
  const MandantValues& m = CurrentMandant();
  auto other = std::make_unique<StructureEditing>(
      editing_->editor(), YearDirectory(previous ? m.previousYear : WorkingYear()));
  if (!other->Load()) {
    ShowMessage(kMessageCannotRead);
    QSignalBlocker block(Check(aufbau::kPreviousYear));
    SetChecked(aufbau::kPreviousYear, !previous);
    return;
  }
  editing_ = std::move(other);
  Refill();
}

// ---- Commands ----------------------------------------------------------------

void RunStructureEditor(QWidget* parent, int command, const std::string& account) {
  if (StructureEditorDialog* open = StructureEditorDialog::Open()) {
    ShowMessage(kMessageInUse, 0, "Aufbau");
    open->raise();
    open->activateWindow();
    return;
  }
  StructureEditorDialog dialog(parent, command, account);
  if (dialog.usable()) dialog.exec();
}

void RunStructureEditorForAccount(QWidget* parent, int accountClass, const std::string& account,
                                  bool alternative) {
  int command = 0;
  switch (accountClass) {
    case 8: command = alternative ? 0 : 3059; break;
    case 2: command = alternative ? 3065 : 3060; break;
    case 4: command = alternative ? 3064 : 3061; break;
  }
  if (command) RunStructureEditor(parent, command, account);
}

void PlaceNewAccount(QWidget* parent, int accountClass, const std::string& account) {
  RunStructureEditorForAccount(parent, accountClass, account, false);
  if ((accountClass == 2 || accountClass == 4) && ShowMessage(kMessageAlsoAlternative))
    RunStructureEditorForAccount(parent, accountClass, account, true);
}

void RunStructureReorganisation(QWidget* parent) {
  if (!ShowMessage(kMessageReorganise)) return;
  int result = 0;
  {
    QDialog notice(parent);
    notice.setObjectName("TQREORG");
    notice.setWindowTitle(kProductName);
    auto* layout = new QVBoxLayout(&notice);
    layout->addWidget(new QLabel("Die Datenbank wird reorganisiert...", &notice));
    notice.setModal(false);
    notice.show();
    QApplication::processEvents();
    result = ReorganiseStructures();
  }
  ShowMessage(result);
}

std::unique_ptr<QDialog> BuildStructureEditorSample(QWidget* parent) {
  auto no = [](const char* digits) { return std::string(7 - std::strlen(digits), ' ') + digits; };
  StructureTree tree;
  tree.title = "Aktiva";
  int fixed = tree.AppendGroup(StructureTree::kHeader, "Anlagevermögen", 1, kGroupBold);
  int tangible = tree.AppendGroup(fixed, "Sachanlagen", 2, 0);
  tree.AppendLeaf(tangible, no("0200"), "TAnl", false);
  int current = tree.AppendGroup(StructureTree::kHeader, "Umlaufvermögen", 1, kGroupBold | kGroupEmptyLineBefore);
  int cash = tree.AppendGroup(current, "Kasse und Bank", 2, kGroupUnderlined);
  tree.AppendLeaf(cash, no("1000"), "Kasse", false);
  tree.AppendLeaf(cash, no("1200"), "Bank", false);
  std::vector<ClassAccount> accounts = {
      {no("0200"), "TAnl", "Technische Anlagen", 2},
      {no("1000"), "Kasse", "Kasse", 2},
      {no("1200"), "Bank", "Bank", 2},
      {no("1400"), "Ford", "Forderungen", 2},
  };
  return std::make_unique<StructureEditorDialog>(
      parent, StructureEditing(StructureEditor::kAssets, std::move(tree), std::move(accounts)));
}

}  // namespace talvera
