// One account sheet is built in three steps:
//   1. the account record gives the balance brought forward (opening values
//      and the totals of the periods before the first one);
//   2. the journal records that touch the account, from the first day of
//      the first date's period to the last date, become entries: one for the
//      debit or credit side, one more when the account is also the record's
//      tax account. They are read by the account keys (debit, credit, tax
//      account), so a run over every sheet of a year reads each record only
//      for the accounts it names, never the whole journal per account. The
//      sheet of a collective account that folds its collective postings
//      reads the journal by date instead: only there are the records that
//      start each booking seen;
//   3. the entries are listed in journal-key order, summed and closed.
// The entries of a big account are not all held at once: the account keys
// list their records in insertion order, so beyond some 65,000 entries
// step 2 sorts each batch into a run on a temporary file and step 3 merges
// the runs. The journal by date is read as listed.
#include "reports/account_sheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

#include "core/layouts/bube.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/today.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"
#include "reports/spill_file.h"
#include "tax/tax_rates.h"

namespace talvera {
namespace {

namespace bube = layouts::bube;

constexpr unsigned kCarryForward = 2;
constexpr unsigned kClosing = 4;
constexpr unsigned kCollectiveRecord = 8;
constexpr unsigned kFirstOfBooking = 0x40;
constexpr unsigned kNetOnDebit = 0x20;
constexpr const char* kCarryForwardAccount = "   9000";
// Lines a printed page keeps free for its sums and the sheet's closing lines.
constexpr int kPageReserve = 8;
constexpr int kHeadingLines = 7;

constexpr int kScreenWidth = 84;
constexpr int kCostCentreWidth = 124;

// Template slots of a sheet line.
enum Slot : int { kVoucher, kDate, kText, kDebit, kCredit, kContra, kRate, kCost1, kCost2, kSlots };

// One listed amount of the account: a journal record in one of its roles.
struct Entry {
  char key[11];
  char postingDate[7];
  char voucherNo[10];
  char voucherDate[7];
  char text[37];
  char contra[8];
  char costCentre1[8];
  char costCentre2[8];
  char rate[8];
  long long debit;
  long long credit;
  unsigned flags;
  int booking;  // serial of the booking, for folding collective postings
  int role;     // 0 debit or credit side, 1 tax: the order within a record
};

void Copy(char* out, std::size_t size, const void* r, const layouts::Field& f) {
  const char* b = layouts::FieldBytes(r, f);
  std::size_t n = strnlen(b, std::min<std::size_t>(f.width, size - 1));
  std::memcpy(out, b, n);
  out[n] = '\0';
}

long long Cents(const void* r, const layouts::Field& f) {
  long long c = 0;
  const char* t = layouts::FieldBytes(r, f);
  if (t[0]) AmountToCents(t, &c);
  return c;
}

bool Same(const char* field, const std::string& account) {
  return field[0] && std::strncmp(field, account.c_str(), 7) == 0;
}

// The tax column: the rate in force for the standard and the reduced
// class, "00,00" for the zero rate, and for the other, the EC and the
// § 13b rate the rate the record's amounts give; empty without a tax class.
void RateOf(const void* r, char* out) {
  out[0] = '\0';
  int classByte = static_cast<int>(layouts::GetNumber(r, bube::kTaxClass));
  if (classByte == 0) return;
  const RatesInForceValue& rates = CurrentRatesInForce();
  switch (RateClassOf(classByte)) {
    case 2: std::snprintf(out, 8, "%s", rates.standard); return;
    case 4: std::snprintf(out, 8, "%s", rates.reduced); return;
    case 8: std::snprintf(out, 8, "00,00"); return;
    case 1:
    case 16:
    case 128: {
      unsigned side = static_cast<unsigned>(layouts::GetNumber(r, bube::kTaxSideFlags));
      long long net = Cents(r, (side & kNetOnDebit) ? bube::kDebitAmount : bube::kCreditAmount);
      long long tax = Cents(r, bube::kTaxAmount);
      if (net == 0) return;
      // hundredths of a per cent
      long long x = std::llabs(std::llround(10000.0 * static_cast<double>(tax) / static_cast<double>(net)));
      std::snprintf(out, 8, "%02lld,%02lld", x / 100 % 100, x % 100);
      return;
    }
    default: return;
  }
}

Entry CommonEntry(const void* r, int booking) {
  Entry e{};
  Copy(e.key, sizeof e.key, r, bube::kPostingKey);
  Copy(e.postingDate, sizeof e.postingDate, r, bube::kPostingDate);
  Copy(e.voucherNo, sizeof e.voucherNo, r, bube::kVoucherNo);
  Copy(e.voucherDate, sizeof e.voucherDate, r, bube::kVoucherDate);
  Copy(e.text, sizeof e.text, r, bube::kText);
  Copy(e.costCentre1, sizeof e.costCentre1, r, bube::kCostCentre1);
  Copy(e.costCentre2, sizeof e.costCentre2, r, bube::kCostCentre2);
  RateOf(r, e.rate);
  e.flags = static_cast<unsigned>(layouts::GetNumber(r, bube::kFlags));
  e.booking = booking;
  return e;
}

// The entry of the debit or credit side: none when the record does not
// name the account there, or names it on both sides.
bool SideEntry(const void* r, const std::string& account, int booking, Entry& e) {
  const char* debit = layouts::FieldBytes(r, bube::kDebitAccount);
  const char* credit = layouts::FieldBytes(r, bube::kCreditAccount);
  bool isDebit = Same(debit, account), isCredit = Same(credit, account);
  if (isDebit == isCredit) return false;
  e = CommonEntry(r, booking);
  if (isDebit) {
    e.debit = Cents(r, bube::kDebitAmount);
    Copy(e.contra, sizeof e.contra, r, bube::kCreditAccount);
  } else {
    e.credit = Cents(r, bube::kCreditAmount);
    Copy(e.contra, sizeof e.contra, r, bube::kDebitAccount);
  }
  return true;
}

// The entry of the tax account: the tax on the side it was posted to,
// against the account of the other side.
bool TaxEntry(const void* r, const std::string& account, int booking, Entry& e) {
  if (!Same(layouts::FieldBytes(r, bube::kTaxAccount), account)) return false;
  long long tax = Cents(r, bube::kTaxAmount);
  if (tax == 0) return false;
  e = CommonEntry(r, booking);
  e.role = 1;
  bool onDebit = static_cast<unsigned>(layouts::GetNumber(r, bube::kTaxSideFlags)) & kNetOnDebit;
  (onDebit ? e.debit : e.credit) = tax;
  Copy(e.contra, sizeof e.contra, r, onDebit ? bube::kCreditAccount : bube::kDebitAccount);
  return true;
}

// Journal-key bounds YYPPDD0000 .. YYPPDD9999 of two dates.
void KeyBounds(const char* first, const char* last, char* lo, char* hi) {
  std::snprintf(lo, 11, "%.2s%.2s%.2s0000", first + 4, first + 2, first);
  std::snprintf(hi, 11, "%.2s%.2s%.2s9999", last + 4, last + 2, last);
}

bool InRange(const void* r, const char* lo, const char* hi) {
  const char* key = layouts::FieldBytes(r, bube::kPostingKey);
  return std::strncmp(key, lo, 10) >= 0 && std::strncmp(key, hi, 10) <= 0;
}

// Entries held in memory (≈ 8 MB); an account with more puts each batch,
// sorted, into a temporary file as a run and merges the runs as it lists
// them.
std::size_t g_entriesHeld = 65536;

// The account's entries in journal-key order (the tax entry of a record
// after its side entry), handed out one at a time.
class EntryStream {
 public:
  // Reads what the stream needs to start: for an account read by its keys
  // all its entries (sorted, in runs on the temporary file when there are
  // many), for a folded collective account the first journal record.
  // `lo`/`hi` bound the journal keys.
  bool Open(const std::string& account, bool byDate, const char* lo, const char* hi) {
    account_ = account;
    byDate_ = byDate;
    std::memcpy(hi_, hi, sizeof hi_);
    if (byDate_) {
      bool found = false;
      bool ok = GetGreaterOrEqualFound(record_, KeyValue(lo, 10), found, Journal());
      more_ = ok && found;
      return ok && Fill();
    }
    for (int keyNumber : {1, 2, 3})
      if (!ReadByAccountKey(keyNumber, lo, hi)) return false;
    if (!runs_.empty() && !held_.empty() && !WriteRun()) return false;
    if (runs_.empty()) SortHeld();
    return Fill();
  }

  // The current entry; none at the end.
  const Entry* Current() const { return ready_ > taken_ ? &queue_[taken_] : nullptr; }
  // On to the next entry; false when the journal or the runs cannot be read.
  bool Advance() {
    ++taken_;
    return Fill();
  }

 private:
  static constexpr std::size_t kRunBuffer = 256;
  static_assert(std::is_trivially_copyable_v<Entry>);

  struct Run {
    std::int64_t position = 0;
    std::size_t count = 0;
    std::size_t read = 0;  // entries taken from the file so far
    std::vector<Entry> buffer;
    std::size_t at = 0;
  };

  static FileId Journal() { return MakeFileId(kSlotBube, 0); }

  static bool Before(const Entry& a, const Entry& b) {
    int c = std::strcmp(a.key, b.key);
    return c != 0 ? c < 0 : a.role < b.role;
  }

  // The account keys list their records in insertion order; equal keys
  // keep it.
  void SortHeld() { std::stable_sort(held_.begin(), held_.end(), Before); }

  bool WriteRun() {
    SortHeld();
    Run run;
    run.count = held_.size();
    if (!spill_.Append(held_.data(), held_.size() * sizeof(Entry), &run.position)) return false;
    runs_.push_back(std::move(run));
    held_.clear();
    return true;
  }

  // The records that name the account in one of the account keys (1 debit,
  // 2 credit, 3 tax account).
  bool ReadByAccountKey(int keyNumber, const char* lo, const char* hi) {
    FileId id = MakeFileId(kSlotBube, keyNumber);
    const layouts::Field& field = keyNumber == 1   ? bube::kDebitAccount
                                  : keyNumber == 2 ? bube::kCreditAccount
                                                   : bube::kTaxAccount;
    bool found = false;
    bool ok = GetGreaterOrEqualFound(record_, KeyValue(account_.c_str(), kAccountNoWidth + 1), found, id);
    Entry e;
    while (ok && found && Same(layouts::FieldBytes(record_, field), account_)) {
      if (InRange(record_, lo, hi) &&
          (keyNumber == 3 ? TaxEntry(record_, account_, 0, e) : SideEntry(record_, account_, 0, e))) {
        held_.push_back(e);
        if (held_.size() >= g_entriesHeld && !WriteRun()) return false;
      }
      ok = GetNextFound(record_, found, id);
    }
    return ok;
  }

  // Makes sure an entry is ready unless the account has no more.
  bool Fill() {
    while (taken_ >= ready_) {
      taken_ = ready_ = 0;
      if (byDate_ ? !NextByDate() : !NextHeld()) return false;
      if (!more_ && ready_ == 0) return true;
    }
    return true;
  }

  bool NextHeld() {
    if (runs_.empty()) {
      more_ = next_ < held_.size();
      if (more_)
        queue_[ready_++] = held_[next_++];
      else
        std::vector<Entry>().swap(held_);
      return true;
    }
    // The smallest head of the runs; on equal keys the earlier run, which
    // was read first.
    Run* best = nullptr;
    for (Run& run : runs_) {
      if (run.at == run.buffer.size() && run.read < run.count && !Refill(run)) return false;
      if (run.at < run.buffer.size() && (!best || Before(run.buffer[run.at], best->buffer[best->at]))) best = &run;
    }
    more_ = best != nullptr;
    if (more_) queue_[ready_++] = best->buffer[best->at++];
    return true;
  }

  bool Refill(Run& run) {
    std::size_t n = std::min(kRunBuffer, run.count - run.read);
    run.buffer.resize(n);
    run.at = 0;
    if (!spill_.Read(run.buffer.data(), n * sizeof(Entry),
                     run.position + static_cast<std::int64_t>(run.read * sizeof(Entry))))
      return false;
    run.read += n;
    return true;
  }

  // The journal by date, for folding: a booking begins with its first
  // record, and every carry-forward or opening record stands for itself.
  bool NextByDate() {
    if (!more_) return true;
    if (std::strncmp(layouts::FieldBytes(record_, bube::kPostingKey), hi_, 10) > 0) {
      more_ = false;
      return true;
    }
    unsigned flags = static_cast<unsigned>(layouts::GetNumber(record_, bube::kFlags));
    bool collective = flags & kCollectiveRecord;
    if ((!collective && (flags & kFirstOfBooking)) || (!collective && (flags & kCarryForward))) ++booking_;
    if (SideEntry(record_, account_, booking_, queue_[ready_])) ++ready_;
    if (TaxEntry(record_, account_, booking_, queue_[ready_])) ++ready_;
    bool found = false;
    bool ok = GetNextFound(record_, found, Journal());
    more_ = ok && found;
    return ok;
  }

  std::string account_;
  bool byDate_ = false;
  char hi_[11] = {};
  char record_[bube::kLayout.recordLength];
  bool more_ = false;
  int booking_ = 0;
  std::vector<Entry> held_;
  std::size_t next_ = 0;
  std::vector<Run> runs_;
  SpillFile spill_;
  std::array<Entry, 2> queue_{};
  int ready_ = 0, taken_ = 0;
};

bool ReadAccountRecord(const SheetAccount& account, std::vector<char>& record, AccountValues& values) {
  int slot = AccountSlot(account.kind);
  if (slot < 0) return false;
  record.assign(std::max(layouts::sako::kLayout.recordLength, layouts::personal::kLayout.recordLength), 0);
  bool found = false;
  if (!GetEqual(record.data(), KeyValue(account.number.c_str(), kAccountNoWidth + 1), found,
                MakeFileId(slot, 0)) ||
      !found)
    return false;
  return ReadAccountValues(account.kind, record.data(), values);
}

long PostingCount(const AccountValues& a, int period) {
  const layouts::Field& f =
      a.kind == kSachkonto ? layouts::sako::kPostingCount : layouts::personal::kPostingCount;
  return layouts::GetNumber(a.record, f.At(period - 1));
}

bool IsCollectiveAccount(const std::string& number) {
  const MandantValues& m = CurrentMandant();
  return (m.receivablesAccount[0] && number == m.receivablesAccount) ||
         (m.payablesAccount[0] && number == m.payablesAccount);
}

const char* KindText(AccountKind kind) {
  return kind == kSachkonto ? "Sachkonto" : kind == kKreditor ? "Kreditor" : "Debitor";
}

std::string Trim(const char* s) {
  while (*s == ' ') ++s;
  return s;
}

// A line's values; amounts are given in cents with a flag whether to show them.
struct SheetLine {
  std::string values[kSlots];
  long long debit = 0, credit = 0;
};

class SheetBuilder {
 public:
  SheetBuilder(const SheetAccount& account, const AccountSheetOptions& o)
      : account_(account), o_(o), page_(o.linesPerPage) {}

  int Build(SheetFigures* figures) {
    if (!ReadAccountRecord(account_, record_, values_)) return -1;
    SelectorPeriods(o_.selector == 0 ? 17 : o_.selector, &firstPeriod_, &lastPeriod_);
    if (o_.selector != 0) firstPeriod_ = Two(o_.first + 2);
    if (o_.selector != 0 && !o_.withoutPostings && NothingInPeriods()) return 0;
    if (!ReadEntries() || !BroughtForward()) return -1;
    if (o_.selector == 0 && !o_.withoutPostings && !entries_.Current() && broughtForward_ == 0) return 0;
    if (!Begin() || !Lines()) return -1;
    Close();
    EndReport();
    if (figures) *figures = figures_;
    return TheReportBuffer().LineCount();
  }

 private:
  static int Two(const char* s) { return (s[0] - '0') * 10 + (s[1] - '0'); }

  // No opening or closing values and no posting counted in the periods.
  bool NothingInPeriods() const {
    const AccountValues& a = values_;
    if (a.openingDebit || a.openingCredit || a.closingDebit || a.closingCredit) return false;
    for (int p = firstPeriod_; p <= lastPeriod_; ++p)
      if (PostingCount(a, p) != 0) return false;
    return true;
  }

  // From the first day of the first date's period: a free range needs the
  // postings of its period before the first date for the balance brought
  // forward.
  bool ReadEntries() {
    char from[7];
    std::memcpy(from, o_.first, 7);
    if (o_.selector == 0) std::memcpy(from, "01", 2);
    char lo[11], hi[11];
    KeyBounds(from, o_.last, lo, hi);
    return entries_.Open(account_.number, folding(), lo, hi);
  }

  bool folding() const { return !o_.resolveCollective && IsCollectiveAccount(account_.number); }

  bool BeforeFirst(const Entry& e) const { return CompareDates(o_.first, e.postingDate); }

  // Opening values and the totals of the periods before the first; for a
  // free range also the postings of its period before the first date that
  // the monthly totals hold. The entries before the first date are passed
  // over; false when the journal cannot be read.
  bool BroughtForward() {
    const AccountValues& a = values_;
    long long debit = a.openingDebit, credit = a.openingCredit;
    int before = o_.selector == 17 ? 0 : Two(o_.first + 2) - 1;
    for (int p = 0; p < before; ++p) {
      debit += a.periodDebit[p];
      credit += a.periodCredit[p];
    }
    for (const Entry* e = entries_.Current(); e && BeforeFirst(*e); e = entries_.Current()) {
      if (o_.selector == 0 && !(e->flags & (kCarryForward | kClosing))) {
        debit += e->debit;
        credit += e->credit;
      }
      if (!entries_.Advance()) return false;
    }
    broughtForward_ = debit - credit;
    figures_.broughtForward = broughtForward_;
    (broughtForward_ >= 0 ? figures_.yearDebit : figures_.yearCredit) +=
        broughtForward_ >= 0 ? broughtForward_ : -broughtForward_;
    return true;
  }

  bool Begin() {
    bool printing = page_.Printing();
    int variant = !printing ? 0 : o_.costCentres ? 2 : 1;
    if (!BeginReport(TemplateVariant("TQKBLAOBJ", variant), TemplateVariant("TQKBLATAB", variant)))
      return false;
    SetReportWidth(!printing ? kScreenWidth : o_.costCentres ? kCostCentreWidth : 0);
    lastTab_ = static_cast<int>(TheReportBuffer().TemplateTabs().size()) - 1;
    if (printing) {
      AddEmptyLine();  // the screen's line, which printing passes over
      PageHeading();
    } else {
      ColumnHeadings();
      AddEmptyLine();
      TitleLine();
      AddEmptyLine();
    }
    SheetLine carried;
    carried.values[kText] = "Saldovortrag";
    if (broughtForward_ >= 0)
      carried.values[kDebit] = DisplayAmount(broughtForward_);
    else
      carried.values[kCredit] = DisplayAmount(-broughtForward_);
    Add(carried);
    return true;
  }

  // "Beleg-/nummer", "Beleg-/datum", "Buchungstext", "Soll", "Haben",
  // "Gegen-/konto", "MwSt" and, with cost centres, "KoSt1" and "KoSt2":
  // each heading at the tab of its column.
  void ColumnHeadings() {
    const char* top[] = {"\2Beleg-", "\2Beleg-", "\2Buchungstext", "\3", "\3Soll", "\3", "\3",
                         "\3Haben", "\3Gegen-", "\2MwSt", "\3", "\3KoSt1", "\3KoSt2"};
    const char* bottom[] = {"\2nummer", "\2datum", "\2", "\3", "\3", "\3", "\3", "\3", "\3konto"};
    int columns = lastTab_ >= 12 ? 13 : 10;
    std::string first, second;
    for (int i = 0; i < columns; ++i) first += top[i];
    for (const char* s : bottom) second += s;
    AddTextLine(first);
    AddTextLine(second);
  }

  // A text at the left edge and one ending at the last tab.
  void EdgeLine(const std::string& left, const std::string& right) {
    std::string line = "\2" + left;
    for (int k = 1; k < lastTab_; ++k) line += "\3";
    AddTextLine(line + "\3" + right);
  }

  std::string PeriodText() const {
    return DisplayDate(o_.first, true) + " - " + DisplayDate(o_.last, true);
  }

  void TitleLine() {
    std::string line = std::string("\x12") + KindText(account_.kind) + "\2\2Konto: " + Trim(values_.number.c_str()) +
                       "  " + values_.name;
    for (int k = 3; k < lastTab_; ++k) line += "\3";
    AddTextLine(line + "\3" + PeriodText());
  }

  std::string PageText() const {
    return std::string(o_.selector == 0 ? "Seite : " : "Blatt : ") + PageNumberText(page_.Page());
  }
  std::string PageWord() const { return o_.selector == 0 ? "Seite " : "Blatt "; }

  void PageHeading() {
    page_.StartPage();
    AddTextLine("\x11Kontenblatt");
    EdgeLine(ReportText(CurrentMandant().companyName), PageText());
    TitleLine();
    AddEmptyLine();
    ColumnHeadings();
    AddCodeLine(kLineRule);
    page_.Count(kHeadingLines);
    if (page_.Page() > 1) {
      SheetLine carried;
      carried.values[kText] = ReportText("Übertrag ") + PageWord() + std::to_string(page_.Page() - 1);
      carried.values[kDebit] = DisplayAmount(pageDebit_);
      carried.values[kCredit] = DisplayAmount(pageCredit_);
      Put(carried);
    }
  }

  // The page's sums (carried over from the pages before) and a new page.
  void BreakPage() {
    SheetLine sums;
    sums.values[kText] = "Summen " + PageWord() + std::to_string(page_.Page());
    sums.values[kDebit] = DisplayAmount(pageDebit_);
    sums.values[kCredit] = DisplayAmount(pageCredit_);
    Put(sums);
    AddPageBreak();
    PageHeading();
  }

  void Put(const SheetLine& l) {
    for (int i = 0; i < kSlots; ++i) SetFieldSlot(i, l.values[i]);
    AddTemplateLine();
    page_.Count(1);
  }

  // A listed line: on the printer it adds to the page's sums, and a full
  // page ends first (a page takes at least one line, however short it is).
  void Add(const SheetLine& l) {
    if (page_.Printing() && linesOnPage_ > 0 && page_.Used() >= page_.LinesPerPage() - kPageReserve) {
      BreakPage();
      linesOnPage_ = 0;
    }
    pageDebit_ += l.debit;
    pageCredit_ += l.credit;
    Put(l);
    ++linesOnPage_;
  }

  // Amounts show in their columns; a line without any shows 0,00 as debit.
  SheetLine LineOf(const Entry& e, const char* text, const char* contra, long long debit,
                   long long credit) const {
    SheetLine l;
    l.values[kVoucher] = e.voucherNo;
    l.values[kDate] = DisplayDate(e.voucherDate);
    l.values[kText] = text;
    if (debit != 0 || credit == 0) l.values[kDebit] = DisplayAmount(debit);
    if (credit != 0) l.values[kCredit] = DisplayAmount(credit);
    l.values[kContra] = contra;
    l.debit = debit;
    l.credit = credit;
    return l;
  }

  void Sum(const Entry& e) {
    bool carryForward = e.flags & kCarryForward;
    if (!carryForward) {
      figures_.periodDebit += e.debit;
      figures_.periodCredit += e.credit;
    }
    if (!carryForward || account_.number == kCarryForwardAccount) {
      figures_.yearDebit += e.debit;
      figures_.yearCredit += e.credit;
    }
    ++figures_.postings;
  }

  // The entries from the first date on; false when the journal cannot be
  // read.
  bool Lines() {
    bool fold = folding();
    while (const Entry* e = entries_.Current()) {
      if (!fold) {
        Sum(*e);
        SheetLine l = LineOf(*e, e->text, e->contra, e->debit, e->credit);
        l.values[kRate] = e->rate;
        l.values[kCost1] = e->costCentre1;
        l.values[kCost2] = e->costCentre2;
        Add(l);
        if (!entries_.Advance()) return false;
        continue;
      }
      // The records of one booking become one line.
      const Entry head = *e;
      long long debit = 0, credit = 0;
      for (; e && e->booking == head.booking; e = entries_.Current()) {
        Sum(*e);
        debit += e->debit;
        credit += e->credit;
        if (!entries_.Advance()) return false;
      }
      Add(LineOf(head, "Sammelbuchung ", "SB", debit, credit));
    }
    return true;
  }

  void Balance(const char* label, long long debit, long long credit) {
    SheetLine l;
    l.values[kText] = label;
    long long balance = debit - credit;
    if (balance >= 0) {
      l.values[kDebit] = DisplayAmount(balance);
    } else {
      l.values[kCredit] = DisplayAmount(-balance);
      l.values[kContra] = "H";
    }
    Put(l);
  }

  void Close() {
    bool range = o_.selector == 0;
    AddCodeLine(kLineRule);
    page_.Count(1);
    SheetLine sums;
    sums.values[kText] = ReportText(range ? "Intervallsummen" : "Summe Umsätze");
    sums.values[kDebit] = DisplayAmount(figures_.periodDebit);
    sums.values[kCredit] = DisplayAmount(figures_.periodCredit);
    Put(sums);
    Balance(range ? "Intervallsaldo" : ReportText("Saldo Umsätze").c_str(), figures_.periodDebit,
            figures_.periodCredit);
    SheetLine year;
    year.values[kText] = "Jahressummen";
    year.values[kDebit] = DisplayAmount(figures_.yearDebit);
    year.values[kCredit] = DisplayAmount(figures_.yearCredit);
    Put(year);
    Balance("Jahressaldo", figures_.yearDebit, figures_.yearCredit);
    AddEmptyLine();
    if (page_.Printing()) {
      AddTextLine(std::string("\2erstellt am ") + DayToday().text);
      AddPageBreak();
    }
  }

  const SheetAccount& account_;
  const AccountSheetOptions& o_;
  ReportPage page_;
  std::vector<char> record_;
  AccountValues values_;
  EntryStream entries_;
  int firstPeriod_ = 1, lastPeriod_ = 12;
  int lastTab_ = 10;
  long long broughtForward_ = 0;
  long long pageDebit_ = 0, pageCredit_ = 0;  // listed so far, carried from page to page
  int linesOnPage_ = 0;
  SheetFigures figures_;
};

}  // namespace

bool ListSheetAccounts(unsigned kinds, const std::string& from, const std::string& to,
                       std::vector<SheetAccount>& out) {
  out.clear();
  for (AccountKind kind : {kSachkonto, kKreditor, kDebitor}) {
    if (!(kinds & kind) || NoAccountsOf(kind)) continue;
    bool beyond = false;
    bool ok = ForEachAccount(kind, true, [&](const AccountValues& a) {
      beyond = !to.empty() && a.number > to;
      if (!beyond && (from.empty() || a.number >= from)) out.push_back({kind, a.number});
      return !beyond;
    });
    if (!ok && !beyond) return false;
  }
  return true;
}

void SetSheetEntriesHeld(std::size_t entries) { g_entriesHeld = entries > 0 ? entries : 1; }

int AccountSheetWidth(const AccountSheetOptions& options) {
  if (options.linesPerPage == 0) return kScreenWidth;
  return options.costCentres ? kCostCentreWidth : 0;
}

int BuildAccountSheet(const SheetAccount& account, const AccountSheetOptions& options,
                      SheetFigures* figures) {
  return SheetBuilder(account, options).Build(figures);
}

SheetRunResult PrintAccountSheets(const std::vector<SheetAccount>& accounts,
                                  const AccountSheetOptions& options,
                                  const std::function<bool(int lines)>& print,
                                  const std::function<bool(int sheet, int total)>& progress) {
  SheetRunResult result;
  int total = static_cast<int>(accounts.size());
  for (int i = 0; i < total; ++i) {
    if (progress && !progress(i + 1, total)) {
      result.stopped = true;
      break;
    }
    int lines = BuildAccountSheet(accounts[i], options);
    if (lines < 0) {
      result.failed = true;
      break;
    }
    // A print that failed or was aborted has said so itself.
    if (lines > 0 && !print(lines)) {
      result.stopped = true;
      break;
    }
    if (lines > 0) ++result.printed;
  }
  if (result.failed || result.stopped) TheReportBuffer().Clear();
  return result;
}

}  // namespace talvera
