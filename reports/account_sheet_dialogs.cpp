#include "reports/account_sheet_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

#include "core/cp1252.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "reports/line_renderer.h"
#include "reports/print_report.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "reports/report_window.h"
#include "widgets/copy_target.h"

namespace talvera {
namespace {

enum Message : int {
  kOnlyDigits = 3,
  kOnlyEmptySheets = 43,
  kSheetFailed = 57,
};

constexpr int kHeadingLines = 2;

QString FromCp1252(std::string_view text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

int Two(const char* s) { return (s[0] - '0') * 10 + (s[1] - '0'); }

// The two column-heading lines of the sheet, drawn as the report window
// draws the sheet below them, so the columns stand over their headings.
class HeadingBand : public QWidget {
 public:
  HeadingBand(QWidget* parent, ReportWindow* window) : QWidget(parent), window_(window) {
    setMinimumHeight(static_cast<int>(kHeadingLines * window->LineHeight()) + 4);
  }
  void SetLines(std::string first, std::string second) {
    lines_[0] = std::move(first);
    lines_[1] = std::move(second);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const ReportState& report = CurrentReport();
    LineGeometry g;
    g.font = window_->ReportFont();
    g.charWidth = window_->CharWidth();
    g.lineHeight = window_->LineHeight();
    g.width = report.displayWidth;
    g.leftChars = 1 - window_->horizontalScrollBar()->value();
    g.tabs = &report.tabs;
    for (int i = 0; i < kHeadingLines; ++i) RenderLine(painter, g, i * g.lineHeight, lines_[i]);
  }

 private:
  ReportWindow* window_;
  std::string lines_[kHeadingLines];
};

QPushButton* Button(int id, const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(ControlName(id));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

// ---- KBLIST ---------------------------------------------------------------

SheetBrowserDialog::SheetBrowserDialog(QWidget* parent, std::vector<SheetAccount> accounts,
                                       AccountSheetOptions options)
    : QDialog(parent), accounts_(std::move(accounts)), options_(options) {
  setObjectName("KBLIST");
  setWindowTitle("Kontoblatt");
  setProperty("helpContext", 3009);
  auto* layout = new QVBoxLayout(this);
  account_ = new QLabel(this);
  account_->setObjectName(ControlName(kblist::kAccount));
  QFont bold = account_->font();
  bold.setBold(true);
  account_->setFont(bold);
  layout->addWidget(account_);
  window_ = new ReportWindow(this);
  heading_ = new HeadingBand(this, window_);
  heading_->setObjectName(ControlName(kblist::kHeading));
  layout->addWidget(heading_);
  layout->addWidget(window_, 1);
  connect(window_->horizontalScrollBar(), &QScrollBar::valueChanged, heading_,
          qOverload<>(&QWidget::update));

  auto* row = new QHBoxLayout;
  const std::pair<int, const char*> buttons[] = {{kblist::kPreviousMonth, "&Voriger Monat"},
                                                 {kblist::kNextMonth, "&Nächster Monat"},
                                                 {kblist::kNextAccount, "Nächstes K&onto"},
                                                 {kblist::kLastAccount, "Letztes &Konto"}};
  for (int i = 0; i < 4; ++i) {
    buttons_[i] = Button(buttons[i].first, buttons[i].second, this);
    row->addWidget(buttons_[i]);
  }
  connect(buttons_[0], &QPushButton::clicked, this, [this] { MoveMonth(-1); });
  connect(buttons_[1], &QPushButton::clicked, this, [this] { MoveMonth(1); });
  connect(buttons_[2], &QPushButton::clicked, this, [this] { MoveAccount(1); });
  connect(buttons_[3], &QPushButton::clicked, this, [this] { MoveAccount(-1); });
  row->addStretch(1);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
  box->button(QDialogButtonBox::Close)->setText("&Schließen");
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  row->addWidget(box);
  layout->addLayout(row);
  // The sheet is 84 characters wide; the window shows all of it.
  resize(static_cast<int>(90 * window_->CharWidth()) + 40, 520);
}

SheetBrowserDialog::~SheetBrowserDialog() {
  TheReportBuffer().Clear();
  SetReportKind(kReportNone);
}

bool SheetBrowserDialog::Start(bool& failed) {
  failed = false;
  for (int i = 0; i < static_cast<int>(accounts_.size()); ++i) {
    int lines = Show(i, false);
    if (lines > 0) return true;
    if (lines < 0) {
      failed = true;
      return false;
    }
  }
  return false;
}

int SheetBrowserDialog::Show(int index, bool evenEmpty) {
  AccountSheetOptions o = options_;
  o.linesPerPage = 0;
  o.withoutPostings = o.withoutPostings || evenEmpty;
  int lines = BuildAccountSheet(accounts_[index], o);
  if (lines <= 0) return lines;
  current_ = index;
  const ReportBuffer& buffer = TheReportBuffer();
  static_cast<HeadingBand*>(heading_)->SetLines(std::string(buffer.Line(0)), std::string(buffer.Line(1)));
  window_->ShowReport(kReportKontenblatt, lines - kHeadingLines);
  account_->setText(AccountText());
  UpdateButtons();
  return lines;
}

QString SheetBrowserDialog::AccountText() const {
  // The sheet's own title line: kind, number and name, and the period.
  std::string_view title = TheReportBuffer().Line(3);
  std::string plain;
  for (char c : title.substr(title.empty() ? 0 : 1)) {
    if (static_cast<unsigned char>(c) >= 32)
      plain += c;
    else if (!plain.empty() && plain.back() != ' ')
      plain += "   ";
  }
  return FromCp1252(plain);
}

// "&Voriger Monat" shows the month before the first date, "&Nächster Monat"
// the month after the last one, within the fiscal year; the account stays,
// and its sheet is shown even without postings.
bool SheetBrowserDialog::MoveMonth(int step) {
  int period = step < 0 ? Two(options_.first + 2) - 1 : Two(options_.last + 2) + 1;
  if (period < 1 || period > 12) return false;
  char year[8];
  std::snprintf(year, sizeof year, "%d", 1980 + Two(options_.first + 4));
  AccountSheetOptions before = options_;
  options_.selector = period;
  BuildPeriodBounds(period, year, options_.first, options_.last);
  int lines = Show(current_, true);
  if (lines > 0) return true;
  options_ = before;
  ShowMessage(kSheetFailed);
  return false;
}

// The next or the previous account of the selection that has a sheet.
bool SheetBrowserDialog::MoveAccount(int step) {
  for (int i = current_ + step; i >= 0 && i < static_cast<int>(accounts_.size()); i += step) {
    int lines = Show(i, false);
    if (lines > 0) return true;
    if (lines < 0) {
      ShowMessage(kSheetFailed);
      return false;
    }
  }
  return false;
}

void SheetBrowserDialog::UpdateButtons() {
  buttons_[0]->setEnabled(Two(options_.first + 2) > 1);
  buttons_[1]->setEnabled(Two(options_.last + 2) < 12);
  buttons_[2]->setEnabled(current_ + 1 < static_cast<int>(accounts_.size()));
  buttons_[3]->setEnabled(current_ > 0);
}

// ---- KBLINFO --------------------------------------------------------------

SheetProgressDialog::SheetProgressDialog(QWidget* parent, int total) : QDialog(parent) {
  setObjectName("KBLINFO");
  setWindowTitle("Kontenblätter");
  auto* layout = new QVBoxLayout(this);
  auto* count = new QLabel(QString("Anzahl Kontenblätter : %1").arg(total), this);
  count->setObjectName(ControlName(101));
  current_ = new QLabel("Kontenblatt : ", this);
  current_->setObjectName(ControlName(102));
  layout->addWidget(count);
  layout->addWidget(current_);
  auto* stop = Button(kIdCancelButton, "Abbrechen", this);
  layout->addWidget(stop, 0, Qt::AlignHCenter);
  connect(stop, &QPushButton::clicked, this, [this] { stopped_ = true; });
}

bool SheetProgressDialog::Advance(int sheet) {
  current_->setText(QString("Kontenblatt : %1").arg(sheet));
  QApplication::processEvents();
  return !stopped_;
}

// ---- KTOBLA ---------------------------------------------------------------

KtoBlaDialog::KtoBlaDialog(QWidget* parent)
    : EvaluationDialog(parent, "KTOBLA", "Kontenblätter", kReportKontenblatt) {
  using namespace ktobla;
  setProperty("helpContext", 3009);
  AddKindChecks();
  AddHeading("Kontenbereich");
  TrackCopyTarget(AddEdit(kFrom, "vo&n:", kAccountNoWidth));
  TrackCopyTarget(AddEdit(kTo, "&bis:", kAccountNoWidth));
  AddPeriodChoice(true);
  AddCheck(kResolveCollective, "Sammelbuchungen auf&lösen");
  AddCheck(kWithoutPostings, "&ohne Buchungen");
  AddCheck(kCostCentres, "mit &Kostenstellen");
  AddOutputChoice();
  AddButtons();
}

// Each bound may be empty (from the first or up to the last account);
// a number is digits only and right-aligned.
bool KtoBlaDialog::ReadAccountRange(std::string& from, std::string& to) {
  for (auto [id, out] : {std::pair{ktobla::kFrom, &from}, std::pair{ktobla::kTo, &to}}) {
    std::string text = FieldText(id);
    std::size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
    text = b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
    if (text.find_first_not_of("0123456789") != std::string::npos) {
      ShowMessage(kOnlyDigits, id);
      Control(id)->setFocus();
      return false;
    }
    char padded[kAccountNoWidth + 1] = "";
    if (!text.empty()) std::snprintf(padded, sizeof padded, "%7s", text.c_str());
    *out = padded;
  }
  return true;
}

bool KtoBlaDialog::Confirm() {
  using namespace ktobla;
  if (!CheckKinds()) return false;
  std::string from, to;
  if (!ReadAccountRange(from, to)) return false;
  char first[11], last[11];
  if (!ReadChosenPeriod(first, last)) return false;
  AccountSheetOptions o;
  std::memcpy(o.first, first, sizeof o.first);
  std::memcpy(o.last, last, sizeof o.last);
  o.selector = SelectorOfRadio(ChosenPeriodRadio());
  o.resolveCollective = Checked(kResolveCollective);
  o.withoutPostings = Checked(kWithoutPostings);
  o.costCentres = ToPrinter() && Checked(kCostCentres);
  o.linesPerPage = ToPrinter() ? 1 : 0;
  if (!CheckOutput(ToPrinter() ? AccountSheetWidth(o) : 0)) return false;
  o.linesPerPage = LinesPerPage();
  std::vector<SheetAccount> accounts;
  if (!ListSheetAccounts(ChosenKinds(), from, to, accounts)) {
    ShowMessage(kSheetFailed);
    return false;
  }
  return ToPrinter() ? Print(accounts, o) : ShowOnScreen(accounts, o);
}

bool KtoBlaDialog::ShowOnScreen(const std::vector<SheetAccount>& accounts, const AccountSheetOptions& o) {
  SheetBrowserDialog browser(this, accounts, o);
  bool failed = false;
  if (!browser.Start(failed)) {
    ShowMessage(failed ? kSheetFailed : kOnlyEmptySheets);
    return false;
  }
  if (runBrowser)
    runBrowser(browser);
  else
    browser.exec();
  return true;
}

// Every sheet goes to the printer as soon as it is built; on the PDF file
// they make one document.
bool KtoBlaDialog::Print(const std::vector<SheetAccount>& accounts, const AccountSheetOptions& o) {
  SheetRunResult result;
  {
    PrintRun run;
    SheetProgressDialog progress(this, static_cast<int>(accounts.size()));
    progress.show();
    PrintBehind behind;
    result = PrintAccountSheets(
        accounts, o,
        [this](int lines) {
          SetReportKind(kReportKontenblatt);
          RequestPrint(lines);
          return PrintReport(this);
        },
        [&progress](int sheet, int) { return progress.Advance(sheet); });
    if (!behind.Finish()) result.stopped = true;
  }
  if (result.failed) {
    ShowMessage(kSheetFailed);
    return false;
  }
  if (result.printed == 0 && !result.stopped) {
    ShowMessage(kOnlyEmptySheets);
    return false;
  }
  return true;
}

// ---- Samples for the gallery ----------------------------------------------

namespace gallery {

QDialog* SampleKtoBlaDialog(QWidget* parent) {
  auto* d = new KtoBlaDialog(parent);
  d->SetFieldText(ktobla::kFrom, "1000");
  d->SetFieldText(ktobla::kTo, "1999");
  d->SetChecked(periodids::kGesamtjahr, true);
  return d;
}

QDialog* SampleSheetBrowser(QWidget* parent) {
  std::vector<SheetAccount> accounts;
  ListSheetAccounts(2, "", "", accounts);
  AccountSheetOptions o;
  o.selector = kWholeYear;
  BuildPeriodBounds(kWholeYear, CurrentMandant().currentYear, o.first, o.last);
  auto* d = new SheetBrowserDialog(parent, accounts, o);
  bool failed = false;
  d->Start(failed);
  return d;
}

QDialog* SampleSheetProgress(QWidget* parent) {
  auto* d = new SheetProgressDialog(parent, 12);
  d->Advance(5);
  return d;
}

}  // namespace gallery

}  // namespace talvera
