#include "reports/bwa_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "core/cp1252.h"
#include "core/field_readers.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "core/structure_file.h"
#include "reports/report_kinds.h"
#include "reports/statement_values.h"

namespace talvera {
namespace {

enum Message : int {
  kChooseFirst = 5,
  kStructureUnreadable = 115,
  kPairsMustDiffer = 709,
};

constexpr StructureKind kKinds[] = {StructureKind::kProfitAndLoss, StructureKind::kAssets,
                                    StructureKind::kLiabilities};

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

// The classes a BWA command presets.
std::pair<StructureKind, StructureKind> PresetClasses(int command) {
  switch (command) {
    case 2090: return {StructureKind::kAssets, StructureKind::kAssets};
    case 2089: return {StructureKind::kAssets, StructureKind::kLiabilities};
    case 2088: return {StructureKind::kLiabilities, StructureKind::kLiabilities};
    default: return {StructureKind::kProfitAndLoss, StructureKind::kProfitAndLoss};
  }
}

StructureKind AnalysedKind(int command) {
  return command == 2093 ? StructureKind::kAssets
         : command == 2092 ? StructureKind::kLiabilities
                           : StructureKind::kProfitAndLoss;
}

std::string YearText() {
  return WorkingYear().empty() ? std::string(CurrentMandant().currentYear) : WorkingYear();
}

}  // namespace

// ---- Text or chart ---------------------------------------------------------

void ChartingDialog::AddPresentationChoice() {
  AddHeading("Dar&stellung");
  auto* group = new QButtonGroup(this);
  group->addButton(AddRadio(bwa::kText, "Text"));
  group->addButton(AddRadio(bwa::kChart, "Grafik"));
  Radio(bwa::kText)->setChecked(true);
}

bool ChartingDialog::ChartChosen() const { return Checked(bwa::kChart); }

// ---- BWA -------------------------------------------------------------------

BwaDialog::BwaDialog(QWidget* parent, int command)
    : ChartingDialog(parent, "BWA", "BWA", kReportAnalyse) {
  setProperty("helpContext", command);
  auto [first, second] = PresetClasses(command);
  BeginColumns(2);
  AddSide(0, first);
  AddSide(1, second);
  EndColumns();
  AddEdit(bwa::kYear, "Geschäfts&jahr:", 4)->setText(QString::fromStdString(YearText()));
  AddPresentationChoice();
  AddOutputChoice();
  AddButtons();
  UpdateCaption();
}

void BwaDialog::AddSide(int side, StructureKind kind) {
  using namespace bwa;
  int o = side * kSecondSide;
  BeginGroup(side == 0 ? "Erste Seite" : "Zweite Seite");
  QComboBox* cls = AddCombo(kClass + o, "&Klasse", false);
  for (StructureKind k : kKinds) cls->addItem(StructureClassName(k), static_cast<int>(k));
  cls->setCurrentIndex(static_cast<int>(kind));
  QComboBox* depth = AddCombo(kDepth + o, "&Darstellungstiefe", false);
  depth->addItems({"1", "2", "3"});
  depth->setCurrentIndex(2);
  AddCheck(kWithAccounts + o, "mit Konten");
  AddList(kEntries + o, "&Zugeordnete Einträge :");
  AddCheck(kCumulative + o, "ku&muliert");
  QCheckBox* whole = AddCheck(kWhole + o, "&gesamt");
  EndGroup();
  connect(cls, &QComboBox::currentIndexChanged, this, [this, side] {
    FillSide(side);
    UpdateCaption();
  });
  connect(depth, &QComboBox::currentIndexChanged, this, [this, side] { FillSide(side); });
  connect(Check(kWithAccounts + o), &QCheckBox::toggled, this, [this, side] { FillSide(side); });
  // "gesamt" takes the whole tree: the list has nothing to choose then.
  connect(whole, &QCheckBox::toggled, List(kEntries + o), &QWidget::setDisabled);
  FillSide(side);
}

StructureKind BwaDialog::KindOf(int side) const {
  return static_cast<StructureKind>(Combo(bwa::kClass + side * bwa::kSecondSide)->currentData().toInt());
}

// The side's tree as the structure editor shows it: a tab per level.
void BwaDialog::FillSide(int side) {
  using namespace bwa;
  int o = side * kSecondSide;
  QListWidget* list = List(kEntries + o);
  list->clear();
  StructureTree& tree = trees_[side];
  tree = StructureTree{};
  if (!ReadStatementTree(KindOf(side), tree)) return;
  std::vector<ClassAccount> accounts;
  ReadClassAccounts(YearDirectory(YearText()), LeafClass(KindOf(side)), accounts);
  int depth = Combo(kDepth + o)->currentIndex() + 1;
  bool withAccounts = Checked(kWithAccounts + o);
  for (int h : tree.DepthFirst()) {
    const StructureEntry& e = tree.at(h);
    if (e.IsGroup() ? e.level > depth : (!withAccounts || e.kind != StructureEntry::kLeaf ||
                                         tree.at(e.parent).level > depth))
      continue;
    QString text = QString(tree.DepthOf(h) - 1, '\t');
    if (e.IsGroup()) {
      text += QString::fromStdString(e.text);
    } else {
      std::string name;
      for (const ClassAccount& a : accounts)
        if (a.number == e.text) name = a.name;
      text += QString::fromStdString(e.text).trimmed() + " " + QString::fromStdString(name);
    }
    auto* item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, h);
  }
}

void BwaDialog::UpdateCaption() {
  setWindowTitle(QString("BWA  %1 / %2").arg(StructureClassName(KindOf(0)), StructureClassName(KindOf(1))));
}

int BwaDialog::EntryOfRow(int side, int row) const {
  QListWidgetItem* item = List(bwa::kEntries + side * bwa::kSecondSide)->item(row);
  return item ? item->data(Qt::UserRole).toInt() : -1;
}

bool BwaDialog::SelectEntry(int side, const QString& text) {
  QListWidget* list = List(bwa::kEntries + side * bwa::kSecondSide);
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text().trimmed() == text) {
      list->setCurrentRow(i);
      return true;
    }
  return false;
}

bool BwaDialog::ReadSide(int side, BwaSide& out) {
  using namespace bwa;
  int o = side * kSecondSide;
  out.kind = KindOf(side);
  out.whole = Checked(kWhole + o);
  out.cumulative = Checked(kCumulative + o);
  QListWidgetItem* item = List(kEntries + o)->currentItem();
  out.entry = item ? item->data(Qt::UserRole).toInt() : -1;
  if (out.whole || out.entry > 0) return true;
  ShowMessage(kChooseFirst, kEntries + o);
  Control(kEntries + o)->setFocus();
  return false;
}

bool BwaDialog::Confirm() {
  BwaSide sides[2];
  if (!ReadSide(0, sides[0]) || !ReadSide(1, sides[1])) return false;
  bool sameEntry = sides[0].whole == sides[1].whole && (sides[0].whole || sides[0].entry == sides[1].entry);
  if (sides[0].kind == sides[1].kind && sameEntry) {
    ShowMessage(kPairsMustDiffer);
    return false;
  }
  char yearStart[11];
  if (!ReadYearField(*this, bwa::kYear, yearStart, 0) || !CheckPostableYear(yearStart, bwa::kYear)) return false;
  if (!ChartChosen() && !CheckOutput(kBwaWidth)) return false;
  BwaSeries series[2];
  for (int s = 0; s < 2; ++s) {
    // The entry chosen in the list, with the figures of the year typed.
    if (!ComputeBwaSeries(sides[s], series[s], &trees_[s])) {
      ShowMessage(kStructureUnreadable);
      return false;
    }
  }
  if (ChartChosen()) {
    ChartData data;
    auto heading = [](const BwaSeries& s) { return FromCp1252(s.label) + (s.cumulative ? " (kum.)" : ""); };
    data.title = heading(series[0]) + " / " + heading(series[1]);
    data.categories = FiscalMonthCategories();
    for (const BwaSeries& s : series) {
      ChartSeries c{heading(s), {}, s.cumulative};
      for (long long v : s.values) c.values.push_back(v / 100.0);
      data.series.push_back(c);
    }
    chart_ = data;
    Finish(0);
    return true;
  }
  int lines = BuildBwaReport(series[0], series[1], LinesPerPage());
  if (lines <= 0) return false;
  Finish(lines);
  return true;
}

// ---- ANALYSE ---------------------------------------------------------------

AnalyseDialog::AnalyseDialog(QWidget* parent, int command)
    : ChartingDialog(parent, "ANALYSE", "Analyse", kReportAnalyse), kind_(AnalysedKind(command)) {
  setProperty("helpContext", command);
  setWindowTitle(QString("Analyse %1").arg(StructureClassName(kind_)));
  QComboBox* depth = AddCombo(bwa::kDepth, "&Darstellungstiefe", false);
  depth->addItems({"1", "2", "3"});
  AddPresentationChoice();
  AddOutputChoice();
  AddButtons();
}

bool AnalyseDialog::Confirm() {
  if (!ChartChosen() && !CheckOutput(kSideAnalysisWidth)) return false;
  SideAnalysis analysis;
  if (!ComputeSideAnalysis(kind_, Combo(bwa::kDepth)->currentIndex() + 1, analysis)) {
    ShowMessage(kStructureUnreadable);
    return false;
  }
  if (ChartChosen()) {
    ChartData data;
    data.title = QString("Analyse %1").arg(StructureClassName(kind_));
    ChartSeries current{"akt. Jahr " + QString::fromStdString(analysis.year), {}, false};
    ChartSeries previous{"Vorjahr " + QString::fromStdString(analysis.previousYear), {}, false};
    for (const AnalysisRow& r : analysis.rows) {
      data.categories << FromCp1252(r.label).left(18);
      current.values.push_back(r.current / 100.0);
      previous.values.push_back(r.previousKnown ? r.previous / 100.0 : 0.0);
    }
    data.series = {current, previous};
    chart_ = data;
    Finish(0);
    return true;
  }
  int lines = BuildSideAnalysisReport(analysis, LinesPerPage());
  if (lines <= 0) return false;
  Finish(lines);
  return true;
}

namespace {

int RunCharting(QWidget* parent, ChartingDialog& dialog) {
  int lines = RunEvaluation(dialog);
  if (lines < 0 || !dialog.Chart()) return lines;
  ChartWindow window(parent, *dialog.Chart());
  window.exec();
  return -1;
}

}  // namespace

int RunBwa(QWidget* parent, int command) {
  BwaDialog dialog(parent, command);
  return RunCharting(parent, dialog);
}

int RunAnalyse(QWidget* parent, int command) {
  AnalyseDialog dialog(parent, command);
  return RunCharting(parent, dialog);
}

namespace gallery {

QDialog* SampleBwaDialog(QWidget* parent) {
  auto* d = new BwaDialog(parent, 2091);
  d->List(bwa::kEntries)->setCurrentRow(0);
  d->SetChecked(bwa::kCumulative, true);
  d->SetChecked(bwa::kWhole + bwa::kSecondSide, true);
  return d;
}

QDialog* SampleAnalyseDialog(QWidget* parent) { return new AnalyseDialog(parent, 2093); }

QDialog* SampleChartWindow(QWidget* parent) {
  BwaSeries whole, first;
  ComputeBwaSeries({StructureKind::kProfitAndLoss, -1, true, true}, whole);
  StructureTree tree;
  ReadStatementTree(StructureKind::kProfitAndLoss, tree);
  int entry = tree.empty() ? -1 : tree.at(StructureTree::kHeader).children.front();
  ComputeBwaSeries({StructureKind::kProfitAndLoss, entry, false, false}, first);
  ChartData data;
  data.title = FromCp1252(first.label) + " / gesamt (kum.)";
  data.categories = FiscalMonthCategories();
  ChartSeries bars{FromCp1252(first.label), {}, false}, line{"gesamt (kum.)", {}, true};
  for (int p = 0; p < 12; ++p) {
    bars.values.push_back(first.values[p] / 100.0);
    line.values.push_back(whole.values[p] / 100.0);
  }
  data.series = {bars, line};
  return new ChartWindow(parent, data);
}

}  // namespace gallery

}  // namespace talvera
