#include "tools/cli/csv_posting.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <set>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/layouts/bat.h"
#include "core/layouts/layouts.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/profile.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "posting/booking_checks.h"
#include "posting/booking_draft.h"
#include "posting/open_item_files.h"
#include "posting/posting_engine.h"
#include "posting/split_booking.h"

namespace talvera::cli {
namespace {

namespace bat = layouts::bat;

constexpr int kMessageBadDay = 6, kMessageBadMonth = 7, kMessageBadYear = 8;
constexpr int kMessageBadAmount = 23;
constexpr std::size_t kDocumentNumberWidth = 8;
constexpr std::size_t kTextWidth = 35;

using C = CsvColumn;

// Every path that has no user: no posting month, the posting lock refuses
// instead of asking, cost accounting as the settings say.
EntryContext CliEntryContext() {
  EntryContext context;
  context.mode = PostingMode::kOrdinary;
  context.checkLock = true;
  context.lockAnswer = LockAnswer::kRefuse;
  context.costAccounting = CurrentSettings().kr;
  context.costCentreRequired = CurrentSettings().kostPflicht;
  return context;
}

// The column a control of the entry dialog (or of the split dialog, for a
// split's lines) stands for.
std::string FieldOfControl(int control, bool splitLine, SplitKind kind) {
  if (splitLine) {
    bool otherIsCredit = kind == SplitKind::kOneDebitManyCredit;
    switch (control) {
      case split_dialog::kFixedAccount: return ColumnName(otherIsCredit ? C::kDebit : C::kCredit);
      case split_dialog::kAccount: return ColumnName(otherIsCredit ? C::kCredit : C::kDebit);
      case split_dialog::kFixedGross:
      case split_dialog::kAmount: return ColumnName(C::kGross);
      case split_dialog::kRate: return ColumnName(C::kRate);
      case split_dialog::kTax: return ColumnName(C::kTax);
      case split_dialog::kCostCentre1: return ColumnName(C::kCostCentre1);
      case split_dialog::kCostCentre2: return ColumnName(C::kCostCentre2);
      default: return "";
    }
  }
  switch (control) {
    case buclau::kDate: return ColumnName(C::kDate);
    case buclau::kDocumentNumber: return ColumnName(C::kDocumentNumber);
    case buclau::kDebit: return ColumnName(C::kDebit);
    case buclau::kCredit: return ColumnName(C::kCredit);
    case buclau::kGross:
    case buclau::kNet: return ColumnName(C::kGross);
    case buclau::kRate: return ColumnName(C::kRate);
    case buclau::kTax: return ColumnName(C::kTax);
    case buclau::kText: return ColumnName(C::kText);
    case buclau::kCostCentre1: return ColumnName(C::kCostCentre1);
    case buclau::kCostCentre2: return ColumnName(C::kCostCentre2);
    case buclau::kCurrency: return ColumnName(C::kCurrency);
    case buclau::kForeignAmount: return ColumnName(C::kForeignAmount);
    default: return "";
  }
}

// The refusal of a check: its message as the program words it.
Refusal RefusalOf(const CheckResult& result, int lineNumber, const std::string& field, CliPresenter& presenter,
                  const std::string& shownBefore) {
  Refusal refusal{lineNumber, field, shownBefore};
  MessageCapture capture(presenter);
  ShowRefusal(result);
  std::string text = capture.Text();
  if (!text.empty()) refusal.text += (refusal.text.empty() ? "" : " ") + text;
  if (refusal.text.empty()) refusal.text = "Die Buchung wird abgewiesen.";
  return refusal;
}

Refusal MessageRefusal(int message, int lineNumber, CsvColumn column, CliPresenter& presenter) {
  return RefusalOf(CheckResult::Refuse(message, 0), lineNumber, ColumnName(column), presenter, "");
}

// What the dialog's field limits keep from being typed.
bool CheckWidths(const CsvLine& line, Refusal& refusal) {
  if (Utf8ToCp1252(line[C::kDocumentNumber]).size() > kDocumentNumberWidth) {
    refusal = {line.lineNumber, ColumnName(C::kDocumentNumber), "Die Belegnummer hat mehr als 8 Zeichen."};
    return false;
  }
  if (Utf8ToCp1252(line[C::kText]).size() > kTextWidth) {
    refusal = {line.lineNumber, ColumnName(C::kText), "Der Buchungstext hat mehr als 35 Zeichen."};
    return false;
  }
  return true;
}

bool CostCentreKind(const CsvLine& line, int& kind, Refusal& refusal) {
  std::string typed = line[C::kCostCentreKind];
  for (char& c : typed) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (typed.empty() || typed == "fix") kind = 1;
  else if (typed == "variabel") kind = 2;
  else {
    refusal = {line.lineNumber, ColumnName(C::kCostCentreKind), "Erlaubt sind \"fix\" und \"variabel\"."};
    return false;
  }
  return true;
}

// The draft's header fields from the booking's first line.
void FillHeader(const CsvLine& line, BookingDraft& draft) {
  draft.documentDate = line[C::kDate];
  draft.documentNumber = line[C::kDocumentNumber];
  draft.text = line[C::kText];
}

// Runs the confirm checks on the draft; a refusal names the line.
bool Confirm(BookingDraft& draft, int lineNumber, CliPresenter& presenter, std::vector<char>& record,
             Refusal& refusal) {
  std::string shown;
  CheckResult result;
  {
    MessageCapture capture(presenter);
    result = CheckBooking(draft, CliEntryContext(), record.data());
    shown = capture.Text();
  }
  if (result) return true;
  refusal = RefusalOf(result, lineNumber, FieldOfControl(result.control, false, SplitKind::kOneDebitManyCredit),
                      presenter, shown);
  return false;
}

bool CheckSingle(const CsvLine& line, CliPresenter& presenter, std::vector<char>& record, Refusal& refusal) {
  BookingDraft draft;
  FillHeader(line, draft);
  draft.debit = line[C::kDebit];
  draft.credit = line[C::kCredit];
  draft.gross = line[C::kGross];
  draft.rate = line[C::kRate];
  draft.tax = line[C::kTax];
  draft.costCentre1 = line[C::kCostCentre1];
  draft.costCentre2 = line[C::kCostCentre2];
  if (!CostCentreKind(line, draft.costCentreKind, refusal)) return false;
  EvaluationOptions options;
  options.costAccounting = CurrentSettings().kr;
  AccountDisplay debit, credit;
  {
    MessageCapture capture(presenter);
    if (!EvaluateDraftAccounts(draft, options, debit, credit)) {
      refusal = {line.lineNumber, "", capture.Text().empty() ? "Die Konten können nicht gelesen werden." : capture.Text()};
      return false;
    }
  }
  if (draft.currencyEnabled) {
    if (!line[C::kCurrency].empty()) draft.currency = line[C::kCurrency];
    draft.foreignAmount = line[C::kForeignAmount].empty() ? line[C::kGross] : line[C::kForeignAmount];
  }
  return Confirm(draft, line.lineNumber, presenter, record, refusal);
}

std::string CentsText(long long cents) {
  AmountText amount = "";
  AmountFromCents(amount, cents);
  AmountDisplayText shown = {};
  std::strcpy(shown, amount);
  AmountFormat(shown);
  std::string text = shown;
  return text.substr(text.find_first_not_of(' '));
}

// The lines of a split: one account shared on one side.
bool CheckSplit(const CsvBooking& booking, CliPresenter& presenter, std::vector<char>& record, Refusal& refusal) {
  const CsvLine& first = booking.lines.front();
  bool sameDebit = true, sameCredit = true;
  for (const CsvLine& l : booking.lines) {
    if (l[C::kDate] != first[C::kDate] || l[C::kDocumentNumber] != first[C::kDocumentNumber]) {
      refusal = {l.lineNumber, ColumnName(C::kBooking),
                 "Die Zeilen einer Buchung müssen dasselbe Datum und denselben Beleg haben."};
      return false;
    }
    sameDebit &= l[C::kDebit] == first[C::kDebit];
    sameCredit &= l[C::kCredit] == first[C::kCredit];
  }
  if (booking.lines.size() > static_cast<std::size_t>(SplitBooking::kMaxLines)) {
    refusal = MessageRefusal(143, booking.lines[SplitBooking::kMaxLines].lineNumber, C::kBooking, presenter);
    return false;
  }
  if (!sameDebit && !sameCredit) {
    refusal = {first.lineNumber, ColumnName(C::kBooking),
               "Die Zeilen einer Buchung müssen ein gemeinsames Soll- oder Habenkonto haben."};
    return false;
  }
  SplitKind kind = sameDebit ? SplitKind::kOneDebitManyCredit : SplitKind::kManyDebitsOneCredit;
  const CsvColumn fixedColumn = sameDebit ? C::kDebit : C::kCredit;
  const CsvColumn otherColumn = sameDebit ? C::kCredit : C::kDebit;

  char date[16] = "";
  CopyLimited(date, first[C::kDate].c_str(), sizeof date);
  switch (ParseDate(date)) {
    case kDateOk: break;
    case kBadDay: refusal = MessageRefusal(kMessageBadDay, first.lineNumber, C::kDate, presenter); return false;
    case kBadMonth: refusal = MessageRefusal(kMessageBadMonth, first.lineNumber, C::kDate, presenter); return false;
    default: refusal = MessageRefusal(kMessageBadYear, first.lineNumber, C::kDate, presenter); return false;
  }
  long long sum = 0;
  for (const CsvLine& l : booking.lines) {
    AmountText gross = "";
    long long cents = 0;
    if (!ParseAmountText(l[C::kGross], kAmountWidth, true, gross) || !AmountToCents(gross, &cents)) {
      refusal = MessageRefusal(kMessageBadAmount, l.lineNumber, C::kGross, presenter);
      return false;
    }
    sum += cents;
  }
  SplitBooking split(kind, first[fixedColumn], CentsText(sum), date, CliEntryContext());
  for (const CsvLine& l : booking.lines) {
    SplitLineInput input;
    input.account = l[otherColumn];
    input.amount = l[C::kGross];
    input.rate = l[C::kRate];
    input.tax = l[C::kTax];
    input.costCentre1 = l[C::kCostCentre1];
    input.costCentre2 = l[C::kCostCentre2];
    if (!CostCentreKind(l, input.costCentreKind, refusal)) return false;
    std::string shown;
    CheckResult result;
    {
      MessageCapture capture(presenter);
      result = split.AddLine(input);
      shown = capture.Text();
    }
    if (!result) {
      refusal = RefusalOf(result, l.lineNumber, FieldOfControl(result.control, true, kind), presenter, shown);
      return false;
    }
  }
  std::vector<char> lines(bat::kLayout.recordLength);
  layouts::InitRecord(bat::kLayout, lines.data());
  std::string shown;
  CheckResult result;
  {
    MessageCapture capture(presenter);
    result = split.Finish(lines.data());
    shown = capture.Text();
  }
  if (!result) {
    refusal = RefusalOf(result, first.lineNumber, FieldOfControl(result.control, true, kind), presenter, shown);
    return false;
  }
  BookingDraft draft;
  FillHeader(first, draft);
  draft.split = std::move(lines);
  draft.splitChecked = true;
  return Confirm(draft, first.lineNumber, presenter, record, refusal);
}

}  // namespace

std::string RefusalText(const Refusal& refusal) {
  std::string text = "Zeile " + std::to_string(refusal.lineNumber);
  if (!refusal.field.empty()) text += ", Feld " + refusal.field;
  return text + ": " + refusal.text;
}

bool CheckCsvBooking(const CsvBooking& booking, CliPresenter& presenter, std::vector<char>& record,
                     Refusal& refusal) {
  record.assign(bat::kLayout.recordLength, '\0');
  for (const CsvLine& line : booking.lines)
    if (!CheckWidths(line, refusal)) return false;
  if (booking.lines.size() == 1 && booking.lines.front()[C::kBooking].empty())
    return CheckSingle(booking.lines.front(), presenter, record, refusal);
  return CheckSplit(booking, presenter, record, refusal);
}

namespace {

// One pass over the file; `each` gets every booking that passed the checks.
bool ReadPass(const std::string& path, CliPresenter& presenter, PostingRun& run,
              const std::function<bool(const CsvBooking&, std::vector<char>&)>& each,
              const std::function<void(long)>& done) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    run.refusals.push_back({0, "", "Die Datei " + path + " kann nicht gelesen werden."});
    return false;
  }
  BookingCsvReader reader(in);
  CsvError error;
  if (!reader.ReadHeader(error)) {
    run.refusals.push_back({error.lineNumber, error.field, error.text});
    return false;
  }
  run.bookings = run.lines = 0;
  CsvBooking booking;
  std::vector<char> record;
  while (reader.Next(booking, error)) {
    ++run.bookings;
    run.lines += static_cast<long>(booking.lines.size());
    Refusal refusal;
    if (!CheckCsvBooking(booking, presenter, record, refusal)) run.refusals.push_back(refusal);
    else if (!each(booking, record)) return false;
    if (done) done(run.bookings);
  }
  if (!error.text.empty()) {
    run.refusals.push_back({error.lineNumber, error.field, error.text});
    return false;
  }
  return true;
}

// Messages of the engine when a booking's open items are not written: a
// deduction account is missing, or the open items could not be stored.
constexpr int kMessageDeductionAccounts = 768, kMessageOpenItemsFailed = 150;

// The deduction accounts the open items of the file need and the settings
// lack: what is missing, and where it is set.
Refusal MissingDeductionRefusal(unsigned missing, int firstLine) {
  static const char* const kMeaning[6] = {
      "erhaltene Skonti, steuerfrei oder sonstiger Satz", "erhaltene Skonti, ermäßigter Satz",
      "erhaltene Skonti, voller Satz",                    "gewährte Skonti, steuerfrei oder sonstiger Satz",
      "gewährte Skonti, ermäßigter Satz",                 "gewährte Skonti, voller Satz"};
  int mandant = CurrentMandant().number;
  std::string list;
  for (int i = 0; i < 6; ++i) {
    if (!(missing & (1u << i))) continue;
    if (!list.empty()) list += ", ";
    list += MandantKey(std::string(keys::kAb) + std::to_string(i), mandant) + " (" + kMeaning[i] + ")";
  }
  return {0, "",
          "Die Buchungen legen offene Posten an (zuerst die Buchung in Zeile " + std::to_string(firstLine) +
              "), doch für den Mandanten " + std::to_string(mandant) + " fehlen die Abzugskonten " + list +
              ". Legen Sie sie im Dialog \"Offene Posten\" › \"Abzugskonten\" fest oder tragen Sie sie in " +
              TalviIniPath() + " im Abschnitt [TALVI] ein."};
}

}  // namespace

PostingRun PostBookingFile(const std::string& path, bool dryRun, CliPresenter& presenter,
                           const std::function<void(long, int)>& progress) {
  PostingRun run;
  // The engine would post a booking whose open items lack their deduction
  // account without them; such a file is refused before anything is posted.
  unsigned missingDeduction = 0;
  int firstLacking = 0;
  auto openItemsWritable = [&](const CsvBooking& booking, std::vector<char>& record) {
    MessageCapture quiet(presenter);  // a refusal of the booking itself is the posting's to report
    unsigned missing = MissingDeductionAccounts(record.data());
    if (missing && !missingDeduction) firstLacking = booking.firstLine();
    missingDeduction |= missing;
    return true;
  };
  auto checked = [&](long n) {
    if (progress) progress(n, 1);
  };
  if (!ReadPass(path, presenter, run, openItemsWritable, checked)) return run;
  if (missingDeduction) run.refusals.push_back(MissingDeductionRefusal(missingDeduction, firstLacking));
  if (!run.refusals.empty() || dryRun) return run;
  if (run.bookings == 0) return run;

  // Everything a booking may touch is opened before the transaction
  // begins; a failing booking takes the whole file back.
  SetPostingMode(PostingMode::kOrdinary);
  std::string year = WorkingYear();
  OpenItemFiles openItems(true);
  StoreTransaction transaction;
  if (!transaction.began()) {
    run.refusals.push_back({0, "", "Die Transaktion kann nicht begonnen werden."});
    return run;
  }
  // As in the posting dialog: a booking starts a new one unless an earlier
  // booking of the run has the same document date.
  std::set<std::string> dates;
  auto post = [&](const CsvBooking& booking, std::vector<char>& record) {
    std::string date = layouts::FieldBytes(record.data(), bat::kVoucherDate);
    bool startsBooking = dates.insert(date).second;
    MessageCapture capture(presenter);
    if (!PostBooking(record.data(), startsBooking)) {
      run.refusals.push_back({booking.firstLine(), "", "Die Buchung kann nicht gebucht werden. " + capture.Text()});
      return false;
    }
    // The engine keeps a booking whose open items failed; the file's
    // transaction takes it back with everything posted before it.
    if (capture.Shows(kMessageDeductionAccounts) || capture.Shows(kMessageOpenItemsFailed)) {
      run.refusals.push_back({booking.firstLine(), "",
                              "Die offenen Posten der Buchung können nicht gespeichert werden. " + capture.Text()});
      return false;
    }
    return true;
  };
  auto posted = [&](long n) {
    if (progress) progress(n, 2);
  };
  if (!ReadPass(path, presenter, run, post, posted) || !run.refusals.empty()) return run;
  {
    MessageCapture capture(presenter);
    if (!transaction.Commit()) {
      run.refusals.push_back({0, "", "Die Buchungen können nicht festgeschrieben werden. " + capture.Text()});
      return run;
    }
  }
  if (!year.empty()) SwitchWorkingYear(year);
  run.posted = true;
  return run;
}

}  // namespace talvera::cli
