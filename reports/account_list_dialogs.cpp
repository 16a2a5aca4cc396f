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
  kAccountMissing = 36,
  kChartFailed = 50,
  kStillPrinting = 54,
  kTrialBalanceFailed = 55,
  kJournalFailed = 58,
  kOverviewFailed = 76,
  kOutsideYears = 84,
  kOutsideArchiveYear = 88,
  kDatesBackwards = 711,
  kListFull = 712,
  kListFailed = 714,
  kNothingListed = 715,
  kDatesInTwoYears = 746,
};

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

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

std::string BookingListLine(const JournalBooking& booking) {
  const JournalLine& head = booking.lines.front();
  long long gross = 0;
  for (const JournalLine& l : booking.lines)
    if (!l.IsCollectiveRecord()) gross += l.Gross();
  std::string debit, credit;
  for (const JournalLine& l : booking.lines) {
    if (l.IsCollectiveRecord()) continue;
    if (debit.empty()) debit = Trim(l.debitAccount);
    if (credit.empty()) credit = Trim(l.creditAccount);
    if (Trim(l.debitAccount) != debit) debit = "Split";
    if (Trim(l.creditAccount) != credit) credit = "Split";
  }
  return DisplayDate(head.postingDate.c_str()) + "\t" + head.voucherNo + "\t" + debit + "\t" + credit +
         "\t" + DisplayAmount(gross) + "\t" + head.text;
}

BucListeDialog::BucListeDialog(QWidget* parent)
    : TalviDialog(parent, "BUCLISTE", "Buchungsliste"), yearBefore_(WorkingYear()) {
  using namespace bucliste;
  setProperty("helpContext", 3001);
  AddHeading("Auswahl");
  AddEdit(kFrom, "&Von:", 8);
  AddEdit(kTo, "&Bis:", 8);
  AddEdit(kVoucher, "Beleg&nr.:", 8);
  TrackCopyTarget(AddEdit(kDebit, "&Soll:", 7));
  TrackCopyTarget(AddEdit(kCredit, "&Haben:", 7));
  AddEdit(kGross, "B&ruttobetr.:", 12);
  auto* fill = Register(kListButton, new QPushButton("&Liste", this));
  form_->addRow(fill);
  list_ = AddList(kList, "");
  list_->setMinimumWidth(520);
  InstallListBoxPrinting(list_);
  auto* box = new QDialogButtonBox(this);
  auto* font = Register(kFont, box->addButton("Schri&ft...", QDialogButtonBox::ActionRole));
  auto* print = Register(kPrint, box->addButton("&Drucken", QDialogButtonBox::ActionRole));
  auto* close = Register(kIdCancelButton, box->addButton("Be&enden", QDialogButtonBox::RejectRole));
  outer_->addWidget(box);
  connect(fill, &QPushButton::clicked, this, [this] { FillBookingList(); });
  connect(font, &QPushButton::clicked, this, [this] { ChooseReportFont(this, kReportBuchungsliste); });
  connect(print, &QPushButton::clicked, this, [this] { PrintBookings(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  fill->setDefault(true);
}

BucListeDialog::~BucListeDialog() {
  // The dates select their year's files; closing goes back to the year before.
  if (!yearBefore_.empty() && WorkingYear() != yearBefore_) SwitchWorkingYear(yearBefore_);
}

// A date filter: empty is no condition; a date must lie in a year that can
// be posted to (or in the archived year being viewed).
bool BucListeDialog::ReadDate(int control, std::string& out) {
  out.clear();
  if (Trim(FieldText(control)).empty()) return true;
  char date[11];
  if (!ReadDateField(*this, control, date)) return false;
  bool inYear = ArchiveViewYear().empty()
                    ? YearOfDate(date) != 0
                    : std::to_string(1980 + (date[4] - '0') * 10 + (date[5] - '0')) == ArchiveViewYear();
  if (!inYear) {
    ShowMessage(kOutsideYears, control);
    return false;
  }
  out = date;
  return true;
}

bool BucListeDialog::ReadFilter(JournalFilter& f) {
  using namespace bucliste;
  if (!ReadDate(kFrom, f.firstDate) || !ReadDate(kTo, f.lastDate)) return false;
  if (!f.firstDate.empty() && !f.lastDate.empty()) {
    if (CompareDates(f.firstDate.c_str(), f.lastDate.c_str())) {
      ShowMessage(kDatesBackwards, kTo);
      return false;
    }
    if (f.firstDate.compare(4, 2, f.lastDate, 4, 2) != 0) {
      ShowMessage(kDatesInTwoYears, kTo);
      return false;
    }
  }
  const std::string& anyDate = !f.firstDate.empty() ? f.firstDate : f.lastDate;
  if (!anyDate.empty() && !CheckPostableYear(anyDate.c_str(), kFrom)) return false;
  f.voucherPrefix = Utf8ToCp1252(FieldText(kVoucher));
  for (auto [control, target] : {std::pair{kDebit, &f.debitAccount}, {kCredit, &f.creditAccount}}) {
    if (Trim(FieldText(control)).empty()) continue;
    char account[16];
    AccountKind kind = kNoAccount;
    if (!ReadAccountField(*this, control, account, kind, kAccountMissing, true)) return false;
    *target = account;
  }
  if (!Trim(FieldText(kGross)).empty()) {
    char gross[32];
    if (!ReadAmountField(*this, kGross, gross, kAmountWidth)) return false;
    f.gross = gross;
  }
  // The heading of the printed list.
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
  return true;
}

bool BucListeDialog::FillBookingList() {
  JournalFilter filter;
  if (!ReadFilter(filter)) return false;
  bool more = false;
  std::vector<JournalBooking> found;
  if (!FindBookings(filter, kListCapacity, found, more)) return false;
  bookings_ = std::move(found);
  list_->clear();
  for (const JournalBooking& b : bookings_) list_->addItem(FromCp1252(BookingListLine(b)));
  if (more) ShowMessage(kListFull);
  if (list_->count() > 0) {
    list_->setCurrentRow(0);
    list_->setFocus();
  }
  return true;
}

bool BucListeDialog::PrintBookings() {
  if (bookings_.empty()) {
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
    for (const JournalBooking& b : bookings_)
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
