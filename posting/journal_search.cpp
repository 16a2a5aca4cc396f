#include "posting/journal_search.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "core/amount.h"
#include "core/layouts/bube.h"
#include "core/record_store.h"
#include "posting/posting_state.h"

namespace talvera {
namespace {

namespace bube = layouts::bube;
using posting::kCollectiveRecord;
using posting::kFirstOfBooking;
using posting::kFurtherRecordsUnit;

constexpr FileId kByKey = MakeFileId(kSlotBube, 0);
constexpr FileId kByDebit = MakeFileId(kSlotBube, 1);
constexpr FileId kByCredit = MakeFileId(kSlotBube, 2);
constexpr FileId kByVoucher = MakeFileId(kSlotBube, 6);
constexpr unsigned kTaxDebit = 2, kTaxCredit = 4, kNetOnDebit = 0x20;

using Record = char[bube::kLayout.recordLength];

std::string Raw(const void* r, const layouts::Field& f) {
  const char* b = layouts::FieldBytes(r, f);
  return std::string(b, strnlen(b, f.width));
}

long long Cents(const void* r, const layouts::Field& f) {
  long long c = 0;
  const char* t = layouts::FieldBytes(r, f);
  if (t[0]) AmountToCents(t, &c);
  return c;
}

// YYPPDD0000 .. YYPPDD9999 of two dates.
void KeyBounds(const char* first, const char* last, char* lo, char* hi) {
  std::snprintf(lo, 11, "%.2s%.2s%.2s0000", first + 4, first + 2, first);
  std::snprintf(hi, 11, "%.2s%.2s%.2s9999", last + 4, last + 2, last);
}

bool Between(const std::string& first, const std::string& d, const std::string& last) {
  if (!first.empty() && CompareDates(first.c_str(), d.c_str())) return false;
  if (!last.empty() && CompareDates(d.c_str(), last.c_str())) return false;
  return true;
}

std::string TrimLeft(const std::string& s) {
  std::size_t p = s.find_first_not_of(' ');
  return p == std::string::npos ? std::string() : s.substr(p);
}

bool SameAccount(const std::string& want, const std::string& have) {
  return want.empty() || want == have;
}

bool RecordMatches(const JournalFilter& f, const JournalLine& l) {
  return Between(f.firstDate, l.postingDate, f.lastDate) &&
         l.voucherNo.compare(0, f.voucherPrefix.size(), f.voucherPrefix) == 0 &&
         SameAccount(f.debitAccount, l.debitAccount) && SameAccount(f.creditAccount, l.creditAccount);
}

// An opening posting starts no booking of the usual kind: it is its own
// record and, for a Debitor or Kreditor, the collective-account record
// written right after it. Never glued to the booking before it.
bool LoadOpeningPosting(const JournalLine& line, JournalBooking& out) {
  out.lines.assign(1, line);
  Record r;
  bool found = false;
  if (!GetEqual(r, KeyValue(line.key.c_str(), 10), found, kByKey)) return false;
  if (!found) return true;
  bool collective = line.IsCollectiveRecord();
  if (!(collective ? GetPreviousFound(r, found, kByKey) : GetNextFound(r, found, kByKey))) return false;
  if (!found) return true;
  JournalLine other;
  ReadJournalLine(r, other);
  if (!other.openingPosting || other.IsCollectiveRecord() == collective) return true;
  if (collective) out.lines.insert(out.lines.begin(), other);
  else out.lines.push_back(other);
  return true;
}

// The records of the booking that `line` belongs to: back to the record of
// the same day that starts a booking, then as many further records as that
// one names. A record outside every booking's range stands alone.
bool LoadBooking(const JournalLine& line, JournalBooking& out) {
  if (line.openingPosting) return LoadOpeningPosting(line, out);
  out.lines.assign(1, line);
  Record r;
  bool found = false;
  JournalLine head = line;
  if (!line.StartsBooking()) {
    if (!GetEqual(r, KeyValue(line.key.c_str(), 10), found, kByKey)) return false;
    while (found) {
      if (!GetPreviousFound(r, found, kByKey)) return false;
      if (!found) return true;
      ReadJournalLine(r, head);
      if (head.key.compare(0, 6, line.key, 0, 6) != 0) return true;
      if (head.StartsBooking()) break;
    }
    if (!found) return true;
  }
  if (!GetEqual(r, KeyValue(head.key.c_str(), 10), found, kByKey) || !found) return false;
  // The further records the head names, and the collective-account records
  // that follow a booking of one line (which names none).
  std::vector<JournalLine> lines{head};
  for (int i = 0;; ++i) {
    if (!GetNextFound(r, found, kByKey)) return false;
    if (!found) break;
    JournalLine next;
    ReadJournalLine(r, next);
    if (next.StartsBooking() || next.key.compare(0, 6, head.key, 0, 6) != 0) break;
    if (i >= head.FurtherRecords() && (!next.IsCollectiveRecord() || next.openingPosting)) break;
    lines.push_back(next);
  }
  if (std::any_of(lines.begin(), lines.end(), [&](const JournalLine& l) { return l.key == line.key; }))
    out.lines = std::move(lines);
  return true;
}

bool GrossMatches(const JournalFilter& f, const JournalBooking& b) {
  if (f.gross.empty()) return true;
  long long want = 0;
  if (!AmountToCents(f.gross.c_str(), &want)) return false;
  return std::any_of(b.lines.begin(), b.lines.end(), [&](const JournalLine& l) {
    return !l.IsCollectiveRecord() && l.Gross() == want;
  });
}

// Candidates in the order of the chosen key, with the condition that ends
// the scan early (the key has passed what can match).
struct Scan {
  FileId id;
  std::string from;  // key value to start at
  std::function<bool(const JournalLine&)> beyond;
};

Scan ChooseScan(const JournalFilter& f) {
  if (!f.debitAccount.empty())
    return {kByDebit, f.debitAccount, [f](const JournalLine& l) { return l.debitAccount != f.debitAccount; }};
  if (!f.creditAccount.empty())
    return {kByCredit, f.creditAccount, [f](const JournalLine& l) { return l.creditAccount != f.creditAccount; }};
  if (!f.voucherPrefix.empty())
    return {kByVoucher, f.voucherPrefix, [f](const JournalLine& l) {
              return l.voucherNo.compare(0, f.voucherPrefix.size(), f.voucherPrefix) != 0;
            }};
  std::string from;
  if (!f.firstDate.empty()) {
    char lo[11], hi[11];
    KeyBounds(f.firstDate.c_str(), f.firstDate.c_str(), lo, hi);
    from = lo;
  }
  return {kByKey, from, [f](const JournalLine& l) {
            return !f.lastDate.empty() && CompareDates(l.postingDate.c_str(), f.lastDate.c_str());
          }};
}

}  // namespace

long long JournalLine::Gross() const { return (taxSide & kNetOnDebit) ? credit : debit; }
bool JournalLine::StartsBooking() const {
  return (flags & kFirstOfBooking) && !(flags & kCollectiveRecord);
}
bool JournalLine::IsCollectiveRecord() const { return flags & kCollectiveRecord; }
bool JournalLine::TaxOnDebitSide() const { return (taxSide & kTaxDebit) && tax != 0; }
bool JournalLine::TaxOnCreditSide() const { return (taxSide & kTaxCredit) && tax != 0; }
int JournalLine::FurtherRecords() const { return static_cast<int>(flags / kFurtherRecordsUnit); }

bool ReadJournalLine(const void* r, JournalLine& l) {
  l.key = Raw(r, bube::kPostingKey);
  l.postingDate = Raw(r, bube::kPostingDate);
  l.voucherNo = Raw(r, bube::kVoucherNo);
  l.voucherDate = Raw(r, bube::kVoucherDate);
  l.text = Raw(r, bube::kText);
  l.debitAccount = Raw(r, bube::kDebitAccount);
  l.creditAccount = Raw(r, bube::kCreditAccount);
  l.taxAccount = Raw(r, bube::kTaxAccount);
  l.debit = Cents(r, bube::kDebitAmount);
  l.credit = Cents(r, bube::kCreditAmount);
  l.tax = Cents(r, bube::kTaxAmount);
  l.flags = static_cast<unsigned>(layouts::GetNumber(r, bube::kFlags));
  l.taxSide = static_cast<unsigned>(layouts::GetNumber(r, bube::kTaxSideFlags));
  l.postingNo = layouts::GetNumber(r, bube::kPostingNo);
  l.openingPosting = bube::IsOpeningPosting(r);
  return true;
}

bool ForEachJournalLine(const char* first, const char* last,
                        const std::function<bool(const JournalLine&)>& visit) {
  char lo[11], hi[11];
  KeyBounds(first, last, lo, hi);
  Record r;
  bool found = false;
  bool ok = GetGreaterOrEqualFound(r, KeyValue(lo, 10), found, kByKey);
  JournalLine line;
  while (ok && found && std::strncmp(layouts::FieldBytes(r, bube::kPostingKey), hi, 10) <= 0) {
    ReadJournalLine(r, line);
    if (!visit(line)) return true;
    ok = GetNextFound(r, found, kByKey);
  }
  return ok;
}

bool ForEachJournalLineByDocumentDate(const char* first, const char* last,
                                      const std::function<bool(const JournalLine&)>& visit) {
  // Document dates may lie anywhere, so the whole fiscal year is scanned;
  // only (document date, key) pairs are kept.
  struct Entry {
    char sortDate[7];
    char key[11];
  };
  std::vector<Entry> entries;
  char yearFirst[7], yearLast[7];
  std::snprintf(yearFirst, sizeof yearFirst, "0101%.2s", first + 4);
  std::snprintf(yearLast, sizeof yearLast, "3112%.2s", first + 4);
  char lo[11], hi[11];
  KeyBounds(yearFirst, yearLast, lo, hi);
  Record r;
  bool found = false;
  bool ok = GetGreaterOrEqualFound(r, KeyValue(lo, 10), found, kByKey);
  while (ok && found && std::strncmp(layouts::FieldBytes(r, bube::kPostingKey), hi, 10) <= 0) {
    const char* date = layouts::FieldBytes(r, bube::kVoucherDate);
    if (date[0] && DateInRange(first, date, last)) {
      Entry e;
      std::snprintf(e.sortDate, sizeof e.sortDate, "%.2s%.2s%.2s", date + 4, date + 2, date);
      std::memcpy(e.key, layouts::FieldBytes(r, bube::kPostingKey), 11);
      e.key[10] = '\0';
      entries.push_back(e);
    }
    ok = GetNextFound(r, found, kByKey);
  }
  if (!ok) return false;
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return std::strcmp(a.sortDate, b.sortDate) < 0;
  });
  JournalLine line;
  for (const Entry& e : entries) {
    if (!GetEqual(r, KeyValue(e.key, 10), found, kByKey)) return false;
    if (!found) continue;
    ReadJournalLine(r, line);
    if (!visit(line)) return true;
  }
  return true;
}

std::string BookingListLine(const JournalBooking& booking) {
  const JournalLine& head = booking.lines.front();
  long long gross = 0;
  std::string debit, credit;
  for (const JournalLine& l : booking.lines) {
    if (l.IsCollectiveRecord()) continue;
    gross += l.Gross();
    std::string d = TrimLeft(l.debitAccount), c = TrimLeft(l.creditAccount);
    if (debit.empty()) debit = d;
    if (credit.empty()) credit = c;
    if (d != debit) debit = "Split";
    if (c != credit) credit = "Split";
  }
  char date[11] = "";
  if (!head.postingDate.empty()) FormatDate(head.postingDate.c_str(), date, false);
  AmountDisplayText amount = "";
  if (!AmountFromCents(amount, gross)) std::strcpy(amount, "*****");
  else AmountFormatQuiet(amount);
  return std::string(date) + "\t" + head.voucherNo + "\t" + debit + "\t" + credit + "\t" + amount + "\t" +
         head.text;
}

bool FindBookings(const JournalFilter& filter, std::size_t limit,
                  std::vector<JournalBooking>& out, bool& more) {
  out.clear();
  more = false;
  Scan scan = ChooseScan(filter);
  std::set<std::string> seen;  // first keys of the bookings listed
  Record r;
  bool found = false;
  bool ok = scan.from.empty() ? GetFirstFound(r, found, scan.id)
                              : GetGreaterOrEqualFound(r, KeyValue(scan.from.data(),
                                                                   static_cast<int>(scan.from.size())),
                                                       found, scan.id);
  std::vector<JournalLine> candidates;
  JournalLine line;
  while (ok && found) {
    ReadJournalLine(r, line);
    if (scan.beyond(line)) break;
    if (RecordMatches(filter, line)) candidates.push_back(line);
    ok = GetNextFound(r, found, scan.id);
  }
  if (!ok) return false;
  // Loading a booking moves the position of the key scan, so it comes after.
  JournalBooking booking;
  for (const JournalLine& candidate : candidates) {
    if (!LoadBooking(candidate, booking)) return false;
    if (!seen.insert(booking.lines.front().key).second) continue;
    if (!GrossMatches(filter, booking)) continue;
    if (out.size() >= limit) {
      more = true;
      break;
    }
    out.push_back(booking);
  }
  // The account and document-number keys list duplicates in insertion
  // order; the list shows bookings by date.
  std::sort(out.begin(), out.end(), [](const JournalBooking& a, const JournalBooking& b) {
    return a.lines.front().key < b.lines.front().key;
  });
  return true;
}

}  // namespace talvera
