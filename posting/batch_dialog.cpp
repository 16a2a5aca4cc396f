#include "posting/batch_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

#include "core/amount.h"
#include "core/layouts/bat.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "core/today.h"
#include "posting/batch_target.h"
#include "posting/booking_list_dialog_view.h"
#include "reports/batch_report.h"
#include "reports/print_report.h"
#include "reports/printer_dialogs.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

using namespace buclau;

constexpr int kMessageChooseEntry = 1;
constexpr int kMessageListBroken = 20;
constexpr int kMessageBatchListIncomplete = 40;
constexpr int kMessageAllPosted = 89;
constexpr int kMessageNothingToTakeOver = 91;
constexpr int kMessageHeaderMissing = 436;
constexpr int kMessageBatchEmpty = 720;
constexpr int kMessageStillPrinting = 54;

std::string TitleOf(const BatchHeader& h, const PostingMonth& month) {
  std::string title = "Stapelbuchen - " + h.name;
  if (h.recurring) title += " [W]";
  if (month.chosen()) title += " " + PeriodName(1u << (month.period - 1), month.yearIndex);
  return title;
}

PostingDialogOptions OptionsOf(const BatchDialogOptions& o) {
  PostingDialogOptions p;
  p.mode = PostingMode::kOrdinary;
  p.month = o.month;
  p.target = std::make_unique<BatchTarget>(o.header.number);
  p.sample = o.sample;
  p.resource = CurrentSettings().kg ? "BUCBATKG" : "BUCBAT";
  p.title = TitleOf(o.header, o.month);
  p.geometry = 2;
  return p;
}

}  // namespace

// ---- Progress ----------------------------------------------------------------

BatchRunProgressDialog::BatchRunProgressDialog(QWidget* parent)
    : TalviDialog(parent, "ABORTUEBER", "Stapelbuchungen übernehmen") {
  setWindowModality(Qt::ApplicationModal);
  auto* count = Register(abortueber::kCount, new QLabel(this));
  count->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
  form_->addRow(count);
  bar_ = Register(abortueber::kBar, new QProgressBar(this));
  bar_->setRange(0, 1);
  bar_->setValue(0);
  form_->addRow(bar_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Cancel)->setText("Abbrechen");
  connect(box, &QDialogButtonBox::rejected, this, [this] { cancelled_ = true; });
  outer_->addWidget(box);
  ShowCount(0);
}

void BatchRunProgressDialog::ShowCount(int posted) {
  SetFieldText(abortueber::kCount, "Verbucht: " + std::to_string(posted) + " von " + std::to_string(total_) +
                                       " Buchungen");
  bar_->setValue(posted);
}

void BatchRunProgressDialog::Started(int total) {
  total_ = total;
  bar_->setRange(0, std::max(total, 1));
  ShowCount(0);
  QApplication::processEvents();
}

bool BatchRunProgressDialog::Posted(int posted) {
  ShowCount(posted);
  // The run goes on in this thread; "Abbrechen" is seen here.
  QApplication::processEvents();
  return !cancelled_;
}

// ---- The batch dialog ---------------------------------------------------------

BatchPostingDialog::BatchPostingDialog(QWidget* parent, BatchDialogOptions options)
    : PostingDialog(parent, OptionsOf(options)), header_(std::move(options.header)), mayPost_(options.mayPost) {
  // The header keeps the batch's document number and control total.
  if (!header_.lastDocumentNumber.empty()) SetFieldText(kDocumentNumber, header_.lastDocumentNumber);
  long long cents = 0;
  if (!header_.controlTotal.empty() && AmountToCents(header_.controlTotal.c_str(), &cents))
    AmountFromCents(total_, cents);
  ShowTotal();

  auto* box = qobject_cast<QDialogButtonBox*>(Control(kOk)->parentWidget());
  auto* takeOver = Register(bucbat::kTakeOver, box->addButton("&Übernehmen", QDialogButtonBox::ActionRole));
  auto* postOne = Register(bucbat::kPostSelected, box->addButton("&Verbuchen", QDialogButtonBox::ActionRole));
  auto* print = Register(bucbat::kPrint, box->addButton("&Drucken", QDialogButtonBox::ActionRole));
  auto* font = Register(bucbat::kFont, box->addButton("Schri&ft...", QDialogButtonBox::ActionRole));
  for (QPushButton* b : {takeOver, postOne, print, font}) b->setAutoDefault(false);
  takeOver->setVisible(mayPost_);
  postOne->setVisible(mayPost_);
  connect(takeOver, &QPushButton::clicked, this, [this] { TakeOver(); });
  connect(postOne, &QPushButton::clicked, this, [this] { PostSelected(); });
  connect(print, &QPushButton::clicked, this, [this] { Print(); });
  connect(font, &QPushButton::clicked, this, [this] { ChooseReportFont(this, kReportStapel); });
  QWidget* previous = Control(kEnd);
  for (QWidget* w : std::initializer_list<QWidget*>{takeOver, postOne, print, font}) {
    setTabOrder(previous, w);
    previous = w;
  }
  BookingListModel* model = list()->model();
  connect(model, &QAbstractItemModel::modelReset, this, [this] { UpdateButtons(); });
  connect(model, &QAbstractItemModel::rowsInserted, this, [this] { UpdateButtons(); });
  connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { UpdateButtons(); });
  UpdateButtons();
}

BatchTarget& BatchPostingDialog::batch() const { return static_cast<BatchTarget&>(*target_); }

void BatchPostingDialog::UpdateButtons() {
  bool any = !list()->model()->entries().empty();
  EnableField(bucbat::kTakeOver, any);
  // A recurring booking moves on when posted: only the whole batch does.
  EnableField(bucbat::kPostSelected, any && !header_.recurring);
}

bool BatchPostingDialog::Reload() {
  std::vector<BatchRecord> records;
  bool ok = ListBatchBookings(header_.number, records);
  std::vector<BookingListEntry> entries;
  for (const BatchRecord& r : records) {
    if (BatchBookingId(r.data()) == batch().marked()) continue;
    BookingListEntry e = EntryOfBatchBooking(r.data());
    e.fromThisDialog = true;
    entries.push_back(std::move(e));
  }
  list()->model()->SetEntries(std::move(entries));
  return ok;
}

bool BatchPostingDialog::Start() {
  ShowTotal();
  if (sample_) return true;
  bool ok = Reload();
  if (static_cast<int>(list()->model()->entries().size()) > kMaxBatchBookings) {
    ShowMessage(kMessageBatchListIncomplete);
    listBroken_ = true;
  }
  if (!list()->model()->entries().empty())
    list()->scrollTo(list()->model()->index(list()->model()->rowCount() - 1, 0));
  return ok;
}

void BatchPostingDialog::AddToTotal(const void* booking, bool subtract) {
  AmountText amount;
  std::strcpy(amount, kZeroAmount);
  AddToControlTotal(amount, booking);
  AmountText result;
  if (subtract) AmountSubtract(result, total_, amount);
  else AmountAdd(result, total_, amount);
  std::strcpy(total_, result);
  ShowTotal();
}

bool BatchPostingDialog::TakeBack() {
  if (listBroken_) {
    ShowMessage(kMessageListBroken);
    return false;
  }
  if (long marked = batch().marked()) {
    // Again before confirming: the booking stays as it was in the batch.
    BatchRecord original;
    bool found = false;
    batch().GiveUpCorrection();
    canRestore_ = false;
    if (ReadBatchBooking(marked, original, found) && found) AddToTotal(original.data(), false);
    Reload();
    ShowDraft(undoInput_);
    Focus(kDate);
    return true;
  }
  int entry = list()->SelectedEntry();
  if (entry < 0) {
    ShowMessage(kMessageChooseEntry);
    return false;
  }
  long id = list()->model()->entries()[static_cast<std::size_t>(entry)].recordId;
  BookingDraft input = ReadDraft();
  std::vector<char> back;
  if (!batch().TakeBackBooking(id, back)) return false;
  AddToTotal(back.data(), true);
  Reload();
  undoInput_ = input;
  canRestore_ = true;
  ShowDraft(DraftFromBooking(back.data()));
  Focus(kDate);
  return true;
}

bool BatchPostingDialog::TakeOver() {
  if (list()->model()->entries().empty()) {
    ShowMessage(kMessageNothingToTakeOver);
    return false;
  }
  BatchRunProgressDialog progress(this);
  progress.show();
  BatchRunResult r = TakeOverBatch(header_.number, batch().marked(), &progress);
  progress.hide();
  Reload();
  if (!r.started || r.failed) return false;
  if (!r.stopped && (header_.recurring || r.remaining == 0)) {
    QApplication::beep();
    ShowMessage(kMessageAllPosted);
  }
  return true;
}

bool BatchPostingDialog::PostSelected() {
  int entry = list()->SelectedEntry();
  if (entry < 0) {
    ShowMessage(kMessageChooseEntry);
    return false;
  }
  bool posted = PostBatchBooking(list()->model()->entries()[static_cast<std::size_t>(entry)].recordId);
  Reload();
  return posted;
}

bool BatchPostingDialog::Print() {
  std::vector<BatchRecord> records;
  if (!sample_ && !ListBatchBookings(header_.number, records)) return false;
  if (records.empty()) {
    ShowMessage(kMessageBatchEmpty);
    return false;
  }
  if (CurrentReport().printing) {
    ShowMessage(kMessageStillPrinting);
    return false;
  }
  if (!PreparePrintFont(kReportStapel)) return false;
  BatchReportOptions o;
  o.batchName = header_.name;
  o.date = DayToday().text;
  o.linesPerPage = CurrentPrinterMetrics().linesPerPage;
  int lines = BuildBatchReport(o, records);
  if (lines <= 0) return false;
  SetReportKind(kReportStapel);
  RequestPrint(lines);
  return PrintReport(this);
}

void BatchPostingDialog::StoreOnEnd() {
  StoreBatchHeaderValues(header_.number, total_, FieldText(kDocumentNumber));
}

BatchPostingDialog* MakeBatchDialog(QWidget* parent, int number, const PostingMonth& month, bool mayPost) {
  BatchDialogOptions o;
  bool found = false;
  if (!ReadBatchHeader(number, o.header, found)) return nullptr;
  if (!found) {
    ShowMessage(kMessageHeaderMissing);
    return nullptr;
  }
  o.month = month;
  o.mayPost = mayPost;
  return new BatchPostingDialog(parent, std::move(o));
}

// ---- Gallery ----------------------------------------------------------------

QDialog* BatchPostingDialogSample(QWidget* parent) {
  BatchDialogOptions o;
  o.header.number = 17;
  o.header.name = "Monatliche Buchungen";
  o.header.recurring = true;
  o.header.controlTotal = "000001690,00";
  o.header.lastDocumentNumber = "MI0012";
  o.month.period = DayToday().m;
  o.month.yearIndex = DayToday().y - 1980;
  o.sample = true;
  auto* dialog = new BatchPostingDialog(parent, std::move(o));
  std::vector<BookingListEntry> entries;
  auto add = [&entries](long id, std::vector<BookingListRow> rows) {
    BookingListEntry e;
    e.recordId = id;
    e.fromThisDialog = true;
    e.rows = std::move(rows);
    entries.push_back(std::move(e));
  };
  add(1, {{"01.12.26", "MI0010", "4210", "1200", "", "1.190,00", "", "Miete Dezember"}});
  add(2, {{"01.12.26", "MI0011", "4360", "1200", "1576", "238,00", "38,00", "Versicherung"}});
  add(3, {{"15.12.26", "MI0012", "4500", "1200", "", "262,00", "", "Leasing Fahrzeug"}});
  dialog->list()->model()->SetEntries(std::move(entries));
  return dialog;
}

QDialog* BatchRunProgressSample(QWidget* parent) {
  auto* dialog = new BatchRunProgressDialog(parent);
  dialog->setWindowModality(Qt::NonModal);
  dialog->Started(5000);
  dialog->Posted(1250);
  return dialog;
}

}  // namespace talvera
