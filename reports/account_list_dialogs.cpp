#include "reports/account_list_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/field_readers.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/postable_year.h"
#include "core/record_store.h"
#include "core/today.h"
#include "reports/account_values.h"
#include "reports/chart_of_accounts.h"
#include "reports/closing_overview.h"
#include "reports/journal_report.h"
#include "reports/print_list_box.h"
#include "reports/print_report.h"
#include "reports/printer_dialogs.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "reports/trial_balance.h"
#include "widgets/copy_target.h"

namespace talvera {
namespace {

enum Message : int {
  kChooseFirst = 5,
  kNoPostings = 27,
  kChartFailed = 50,
  kStillPrinting = 54,
  kTrialBalanceFailed = 55,
  kJournalFailed = 58,
  kOverviewFailed = 76,
  kOutsideArchiveYear = 88,
  kListFailed = 714,
  kNothingListed = 715,
};

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

}  // namespace

// ---- KTOSAL -------------------------------------------------------------

KtoSalDialog::KtoSalDialog(QWidget* parent)
    : EvaluationDialog(parent, "KTOSAL", "Summen- und Saldenliste", kReportSaldenliste) {
  setProperty("helpContext", 3008);
  AddKindChecks();
  AddOrderRadios(false);
  AddEdit(ktosal::kDate, "&per :", 10)->setText(DayToday().text);
  AddCheck(ktosal::kWithUnposted, "mit &unbebuchten Konten");
  AddOutputChoice();
  AddButtons();
}

bool KtoSalDialog::Confirm() {
  if (!CheckKinds()) return false;
  TrialBalanceOptions o;
  o.kinds = ChosenKinds();
  o.byNumber = Checked(evalids::kByNumber);
  o.withUnposted = Checked(ktosal::kWithUnposted);
  char date[11];
  if (!ReadDateField(*this, ktosal::kDate, date)) return false;
  if (!CheckPostableYear(date, ktosal::kDate)) return false;
  std::memcpy(o.date, date, sizeof o.date);
  if (!CheckOutput()) return false;
  o.linesPerPage = LinesPerPage();
  int lines = BuildTrialBalance(o);
  if (lines <= 0) {
    ShowMessage(kTrialBalanceFailed);
    return false;
  }
  Finish(lines);
  return true;
}

// ---- ABSCHLUSS ----------------------------------------------------------

AbschlussDialog::AbschlussDialog(QWidget* parent)
    : EvaluationDialog(parent, "ABSCHLUSS", "Hauptabschlussübersicht", kReportHauptabschluss) {
  using namespace abschluss;
  setProperty("helpContext", 3042);
  AddEdit(kYear, "Geschäfts&jahr:", 4)->setText(QString::number(DayToday().y));
  AddHeading("Aus&wahl");
  AddCheck(kAssets, "Bilanz aktiv")->setChecked(true);
  AddCheck(kLiabilities, "Bilanz passiv");
  AddCheck(kProfitAndLoss, "GuV");
  AddOutputChoice(true);
  AddButtons();
}

bool AbschlussDialog::Confirm() {
  using namespace abschluss;
  ClosingOverviewOptions o;
  o.sides = (Checked(kAssets) ? 2u : 0u) | (Checked(kLiabilities) ? 4u : 0u) |
            (Checked(kProfitAndLoss) ? 8u : 0u);
  if (o.sides == 0) {
    ShowMessage(kChooseFirst, kAssets);
    Control(kAssets)->setFocus();
    return false;
  }
  if (CurrentReport().printing) {
    ShowMessage(kStillPrinting);
    return false;
  }
  char yearStart[11];
  if (!ReadYearField(*this, kYear, yearStart, 0)) return false;
  if (!CheckPostableYear(yearStart, kYear)) return false;
  std::memcpy(o.yearIndex, yearStart + 4, 2);
  if (!CheckOutput()) return false;
  o.linesPerPage = LinesPerPage();
  int lines = BuildClosingOverview(o);
  if (lines <= 0) {
    ShowMessage(kOverviewFailed);
    return false;
  }
  Finish(lines);
  return true;
}

// ---- KTOPLAN ------------------------------------------------------------

KtoPlanDialog::KtoPlanDialog(QWidget* parent)
    : EvaluationDialog(parent, "KTOPLAN", "Kontenplan", kReportKontenplan) {
  setProperty("helpContext", 3007);
  AddKindChecks();
  AddOrderRadios(true);
  AddCheck(ktoplan::kWithAddresses, "mit &Adressen");
  AddOutputChoice();
  AddButtons();
}

bool KtoPlanDialog::Confirm() {
  if (!CheckKinds()) return false;
  ChartOptions o;
  o.kinds = ChosenKinds();
  o.order = Checked(evalids::kByGroup)       ? ChartOrder::kGroup
            : Checked(evalids::kByShortCode) ? ChartOrder::kShortCode
                                             : ChartOrder::kNumber;
  o.withAddresses = Checked(ktoplan::kWithAddresses);
  if (!CheckOutput(ChartReportWidth(o.order, ToPrinter()))) return false;
  o.linesPerPage = LinesPerPage();
  int lines = BuildChartOfAccounts(o);
  if (lines <= 0) {
    ShowMessage(kChartFailed);
    return false;
  }
  Finish(lines);
  return true;
}

// ---- BUCJOU -------------------------------------------------------------

BucJouDialog::BucJouDialog(QWidget* parent)
    : EvaluationDialog(parent, "BUCJOU", "Buchungsjournal", kReportJournal) {
  using namespace bucjou;
  setProperty("helpContext", 3015);
  AddPeriodChoice(true);
  AddHeading("Sortierung");
  auto* order = new QButtonGroup(this);
  order->addButton(AddRadio(kByPostingDate, "&Buchungsdatum"));
  order->addButton(AddRadio(kByDocumentDate, "B&elegdatum"));
  Radio(kByPostingDate)->setChecked(true);
  AddOutputChoice();
  AddButtons();
}

bool BucJouDialog::Confirm() {
  JournalReportOptions o;
  char first[11], last[11];
  if (!ReadChosenPeriod(first, last)) return false;
  std::memcpy(o.first, first, sizeof o.first);
  std::memcpy(o.last, last, sizeof o.last);
  o.byDocumentDate = Checked(bucjou::kByDocumentDate);
  if (!CheckOutput()) return false;
  o.linesPerPage = LinesPerPage();
  int lines = BuildJournalReport(o);
  if (lines == 0) {
    ShowMessage(kNoPostings);
    return false;
  }
  if (lines < 0) {
    ShowMessage(kJournalFailed);
    return false;
  }
  // The frame's heading band shows the period of the journal.
  CurrentReport().journalFirst = first;
  CurrentReport().journalLast = last;
  Finish(lines);
  return true;
}

// ---- BUCLISTE -----------------------------------------------------------

BucListeDialog::BucListeDialog(QWidget* parent)
    : BookingSearchDialog(parent, "BUCLISTE", "Buchungsliste", false) {
  using namespace bucliste;
  setProperty("helpContext", 3001);
  list_->setMinimumWidth(520);
  InstallListBoxPrinting(list_);
  auto* box = new QDialogButtonBox(this);
  auto* font = Register(kFont, box->addButton("Schri&ft...", QDialogButtonBox::ActionRole));
  auto* print = Register(kPrint, box->addButton("&Drucken", QDialogButtonBox::ActionRole));
  auto* close = Register(kIdCancelButton, box->addButton("Be&enden", QDialogButtonBox::RejectRole));
  outer_->addWidget(box);
  connect(font, &QPushButton::clicked, this, [this] { ChooseReportFont(this, kReportBuchungsliste); });
  connect(print, &QPushButton::clicked, this, [this] { PrintBookings(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void BucListeDialog::SelectionRead(const JournalFilter& f) {
  heading_.clear();
  char text[11];
  std::string from, to;
  if (!f.firstDate.empty()) {
    FormatDate(f.firstDate.c_str(), text, true);
    from = text;
  } else {
    FormatDate(CurrentMandant().firstDay, text, true);
    from = text;
  }
  if (!f.lastDate.empty()) {
    FormatDate(f.lastDate.c_str(), text, true);
    to = text;
  } else {
    to = DayToday().text;
  }
  std::string first = "von: " + from + "  bis: " + to;
  if (!f.voucherPrefix.empty()) first += "  Beleg-Nr.: " + f.voucherPrefix;
  heading_.push_back(first);
  std::string second;
  auto append = [&](const std::string& part) { second += (second.empty() ? "" : "  ") + part; };
  if (!f.debitAccount.empty()) append("Sollkonto: " + Trim(f.debitAccount));
  if (!f.creditAccount.empty()) append("Habenkonto: " + Trim(f.creditAccount));
  if (!f.gross.empty()) {
    long long cents = 0;
    AmountToCents(f.gross.c_str(), &cents);
    append("Bruttobetrag: " + DisplayAmount(cents));
  }
  if (!second.empty()) heading_.push_back(second);
}

bool BucListeDialog::PrintBookings() {
  if (Bookings().empty()) {
    ShowMessage(kNothingListed);
    return false;
  }
  if (CurrentReport().printing) {
    ShowMessage(kStillPrinting);
    return false;
  }
  if (!PreparePrintFont(kReportBuchungsliste)) return false;
  JournalReportOptions o;
  o.linesPerPage = CurrentPrinterMetrics().linesPerPage;
  o.title = "Buchungsliste";
  o.subtitles = heading_;
  int lines = BuildJournalReportOf(o, [this](const std::function<bool(const JournalLine&)>& visit) {
    for (const JournalBooking& b : Bookings())
      for (const JournalLine& l : b.lines)
        if (!visit(l)) return false;
    return true;
  });
  if (lines <= 0) {
    ShowMessage(kListFailed);
    return false;
  }
  SetReportKind(kReportBuchungsliste);
  RequestPrint(lines);
  return PrintReport(this);
}

// ---- Samples for the gallery ---------------------------------------------

namespace gallery {

QDialog* SampleKtoSalDialog(QWidget* parent) {
  auto* d = new KtoSalDialog(parent);
  d->SetFieldText(ktosal::kDate, "15.03.1996");
  d->SetChecked(evalids::kKreditoren, true);
  return d;
}

QDialog* SampleAbschlussDialog(QWidget* parent) {
  auto* d = new AbschlussDialog(parent);
  d->SetFieldText(abschluss::kYear, "1996");
  d->SetChecked(abschluss::kProfitAndLoss, true);
  return d;
}

QDialog* SampleKtoPlanDialog(QWidget* parent) {
  auto* d = new KtoPlanDialog(parent);
  d->SetChecked(evalids::kByGroup, true);
  return d;
}

QDialog* SampleBucJouDialog(QWidget* parent) {
  auto* d = new BucJouDialog(parent);
  d->SetChecked(periodids::kFirstMonth + 2, true);
  d->SetFieldText(periodids::kYear, "1996");
  return d;
}

QDialog* SampleBucListeDialog(QWidget* parent) {
  auto* d = new BucListeDialog(parent);
  d->SetFieldText(bucliste::kFrom, "01.03.96");
  d->SetFieldText(bucliste::kTo, "31.03.96");
  auto* list = d->List(bucliste::kList);
  list->addItem("10.03.96\tK-1\t4210\t70000\t230,00\tMiete Lieferant");
  list->addItem("15.03.96\tB-1\t4210\t1200\t40,00\tKontogebühren");
  list->addItem("20.03.96\tZ-1\t1200\t10000\t115,00\tZahlung Meier");
  return d;
}

}  // namespace gallery

}  // namespace talvera
