#include "posting/storno.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/account_lookup.h"
#include "core/layouts/bat.h"
#include "core/layouts/bube.h"
#include "core/layouts/open_item.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "posting/booking_accounts.h"
#include "posting/booking_lines.h"
#include "posting/opening_posting.h"
#include "posting/posting_lock.h"
#include "posting/posting_state.h"
#include "tax/tax_rates.h"

namespace talvera {

using namespace posting;

namespace {

namespace bat = layouts::bat;
namespace bl = layouts::bat_line;
namespace bube = layouts::bube;
namespace op = layouts::open_item;

constexpr int kMessageStornoFailed = 716;
constexpr char kAlreadyCancelledText[] = "Diese Buchung wurde bereits storniert.";
constexpr char kHasPaymentsText[] =
    "Der offene Posten dieser Buchung ist schon (teilweise) bezahlt. Bitte stornieren Sie "
    "zuerst die Zahlungen.";

using Record = std::vector<char>;

long long Cents(const char* amount) {
  long long c = 0;
  AmountToCents(amount, &c);
  return c;
}

void Negated(char* out, long long cents) { AmountFromCents(out, -cents); }

std::string Trimmed(const char* s) {
  while (*s == ' ') ++s;
  return s;
}

// A reverse-charge record of the cancelled booking: the rate record whose
// input-tax and output-tax accounts it names tells its class (EG or § 13b)
// and index; the storno's lines name that record again.
struct ReverseCharge {
  int rateClass = kEcRate;
  int index = 0;
  long long tax = 0;
};

ReverseCharge ClassifyReverseCharge(const Record& r) {
  ReverseCharge out;
  out.tax = Cents(layouts::FieldBytes(r.data(), bube::kDebitAmount));
  std::string input = Trimmed(layouts::FieldBytes(r.data(), bube::kDebitAccount));
  std::string output = Trimmed(layouts::FieldBytes(r.data(), bube::kCreditAccount));
  for (int rateClass : {kEcRate, kReverseChargeRate}) {
    std::vector<RateRecord> records;
    if (!ListRateRecords(rateClass, records)) continue;
    for (const RateRecord& record : records)
      if (Trimmed(record.inputTaxAccount) == input && Trimmed(record.outputTaxAccount) == output) {
        out.rateClass = rateClass;
        out.index = record.index;
        return out;
      }
  }
  return out;
}

// The booking's records in key order: the first one and the further
// records its flags count. The reverse-charge records the engine wrote
// after them are not counted (and are never copied: the engine writes the
// negative ones itself); they are handed back in reverseCharges.
bool ReadBooking(long postingNumber, std::vector<Record>& out, std::vector<ReverseCharge>& reverseCharges) {
  Record r(bube::kLayout.recordLength);
  bool found = false;
  int number = static_cast<int>(postingNumber);
  if (!GetEqual(r.data(), KeyValue(&number, sizeof number), found, MakeFileId(kSlotBube, 5)) || !found)
    return false;
  unsigned flags = static_cast<unsigned>(layouts::GetNumber(r.data(), bube::kFlags));
  // A collective-account record belongs to the booking before it: it is
  // never cancelled on its own.
  if (flags & kCollectiveRecord) return false;
  int count = static_cast<int>(flags / kFurtherRecordsUnit) + 1;
  std::string key = layouts::FieldBytes(r.data(), bube::kPostingKey);
  if (!GetEqual(r.data(), KeyValue(key.c_str(), 10), found, MakeFileId(kSlotBube, 0)) || !found) return false;
  out.push_back(r);
  reverseCharges.clear();
  while (true) {
    if (!GetNextFound(r.data(), found, MakeFileId(kSlotBube, 0))) return false;
    if (!found) break;
    unsigned f = static_cast<unsigned>(layouts::GetNumber(r.data(), bube::kFlags));
    if (static_cast<int>(out.size()) < count) {
      out.push_back(r);
      continue;
    }
    // A single-line booking does not count its collective-account record;
    // the reverse-charge records come after the collective records.
    if ((f & kFirstOfBooking) || std::strcmp(layouts::FieldBytes(r.data(), bube::kVoucherNo),
                                             layouts::FieldBytes(out[0].data(), bube::kVoucherNo)) != 0)
      break;
    if (f == kReclassification) reverseCharges.push_back(ClassifyReverseCharge(r));
    else if (!(f & kCollectiveRecord)) break;
  }
  return true;
}

// The rate of a cancelled line: the class's rate record at the date; the
// zero rate and the "sonstiger Satz" are computed back from the amounts.
void RateOf(int rateClass, const char* date, long long gross, long long net, char* out) {
  RateRecord record;
  bool found = false;
  if (rateClass != kZeroRateClass && rateClass != kOtherRate && RateRecordAt(rateClass, date, record, found) &&
      found) {
    CopyLimited(out, record.rate, sizeof(RateText));
    return;
  }
  long long basisPoints = net == 0 ? 0 : ((gross - net) * 10000 * 2 / net + (gross >= net ? 1 : -1)) / 2;
  std::snprintf(out, sizeof(RateText), "%02lld,%02lld", std::llabs(basisPoints) / 100 % 100,
                std::llabs(basisPoints) % 100);
}

// The class of an untaxed purchase line of a booking with reverse charges:
// the class of those charges, or, when the booking had both kinds, the
// class its Sachkonto's tax key names.
int ReverseChargeClassOf(const std::vector<ReverseCharge>& charges, const char* netAccount) {
  bool ec = false, rc = false;
  for (const ReverseCharge& c : charges) (c.rateClass == kReverseChargeRate ? rc : ec) = true;
  if (!rc) return kEcRate;
  if (!ec) return kReverseChargeRate;
  std::vector<char> account;
  bool found = false;
  int taxKey = 0;
  if (ReadAccountRecord(netAccount, kSachkonto, account, found) && found)
    taxKey = static_cast<int>(layouts::GetNumber(account.data(), layouts::sako::kTaxKey));
  return taxKey != 0 && RateClassOf(taxKey) == kReverseChargeRate ? kReverseChargeRate : kEcRate;
}

// The rate of the cancelled § 13b lines, computed back from the one § 13b
// charge of the booking (the rate may have been typed over the account's),
// so that the storno's charge is the charge's exact negative. Empty (the
// account's own rate) when the booking had several § 13b rates.
void ReverseChargeRate(const std::vector<ReverseCharge>& charges, long long base, char* out) {
  out[0] = '\0';
  const ReverseCharge* only = nullptr;
  for (const ReverseCharge& c : charges) {
    if (c.rateClass != kReverseChargeRate) continue;
    if (only) return;
    only = &c;
  }
  if (!only || base == 0) return;
  long long basisPoints = (std::llabs(only->tax) * 10000 * 2 / std::llabs(base) + 1) / 2;
  if (basisPoints > 9999) return;
  RateText rate;
  std::snprintf(rate, sizeof rate, "%02lld,%02lld", basisPoints / 100, basisPoints % 100);
  AmountText amount, tax;
  AmountFromCents(amount, base);
  if (!AmountPercentOf(tax, amount, rate) || std::llabs(Cents(tax)) != std::llabs(only->tax)) return;
  CopyLimited(out, rate, sizeof(RateText));
}

// Builds the storno booking: every record but collective-account records
// becomes a line with the larger amount as gross, the smaller as net, negated.
void BuildStorno(const std::vector<Record>& records, const std::vector<ReverseCharge>& charges,
                 const std::string& stornoDate, Record& b) {
  const char* first = records[0].data();
  layouts::InitRecord(bat::kLayout, b.data());
  std::string postingDate = stornoDate.empty() ? layouts::FieldBytes(first, bube::kPostingDate) : stornoDate;
  std::string voucherDate = stornoDate.empty() ? layouts::FieldBytes(first, bube::kVoucherDate) : stornoDate;
  layouts::SetRawText(b.data(), bat::kPostingDate, postingDate.c_str());
  layouts::SetRawText(b.data(), bat::kVoucherDate, voucherDate.c_str());
  layouts::SetRawText(b.data(), bat::kVoucherNo, layouts::FieldBytes(first, bube::kVoucherNo));
  std::string original = layouts::FieldBytes(first, bube::kText);
  std::string text = "Storno " + original;
  if (text.size() > 35) text = ("St. " + original).substr(0, 35);
  layouts::SetRawText(b.data(), bat::kText, text.c_str());
  int i = 0;
  std::vector<int> reverseChargeLines;
  long long reverseChargeBase = 0;
  for (const Record& r : records) {
    const char* j = r.data();
    unsigned flags = static_cast<unsigned>(layouts::GetNumber(j, bube::kFlags));
    if (flags & kCollectiveRecord) continue;
    auto f = [i](const layouts::Field& field) { return bat::kLine.In(i, field); };
    layouts::SetRawText(b.data(), f(bl::kDebitAccount), layouts::FieldBytes(j, bube::kDebitAccount));
    layouts::SetRawText(b.data(), f(bl::kCreditAccount), layouts::FieldBytes(j, bube::kCreditAccount));
    long long debit = Cents(layouts::FieldBytes(j, bube::kDebitAmount));
    long long credit = Cents(layouts::FieldBytes(j, bube::kCreditAmount));
    // Magnitudes decide which is the gross amount; the signs stay.
    bool debitLarger = std::llabs(debit) >= std::llabs(credit);
    long long gross = debitLarger ? debit : credit, net = debitLarger ? credit : debit;
    Negated(layouts::FieldBytes(b.data(), f(bl::kGross)), gross);
    Negated(layouts::FieldBytes(b.data(), f(bl::kNet)), net);
    unsigned taxSide = static_cast<unsigned>(layouts::GetNumber(j, bube::kTaxSideFlags));
    int rateClass = static_cast<int>(layouts::GetNumber(j, bube::kTaxClass)) & ~0x60;
    RateText rate = "00,00";
    if (taxSide & 6) {
      layouts::SetNumber(b.data(), f(bl::kTaxSide), (taxSide & 4) ? 1 : 2);
      RateOf(rateClass, voucherDate.c_str(), gross, net, rate);
    } else if (taxSide & 0x30) {
      layouts::SetNumber(b.data(), f(bl::kTaxSide), (taxSide & 0x10) ? 1 : 2);
    }
    // An EG or § 13b purchase: the engine writes the negative reverse-charge
    // record itself, from the rate record of the cancelled one.
    if (!charges.empty() && !(taxSide & 6) && rateClass == 0) {
      bool netOnCredit = (taxSide & 0x10) != 0;
      rateClass = ReverseChargeClassOf(charges, layouts::FieldBytes(j, netOnCredit ? bube::kCreditAccount
                                                                                  : bube::kDebitAccount));
      rate[0] = '\0';
      for (const ReverseCharge& c : charges)
        if (c.rateClass == rateClass) {
          layouts::SetNumber(b.data(), f(bl::kRateIndex), c.index);
          break;
        }
      if (rateClass == kReverseChargeRate) {
        reverseChargeLines.push_back(i);
        reverseChargeBase += netOnCredit ? -gross : gross;
      }
    }
    layouts::SetNumber(b.data(), f(bl::kTaxClass), rateClass);
    layouts::SetRawText(b.data(), f(bl::kRate), rate);
    layouts::SetRawText(b.data(), f(bl::kCostCentre1), layouts::FieldBytes(j, bube::kCostCentre1));
    layouts::SetRawText(b.data(), f(bl::kCostCentre2), layouts::FieldBytes(j, bube::kCostCentre2));
    layouts::SetNumber(b.data(), f(bl::kCostCentreKind), layouts::GetNumber(j, bube::kCostCentreKind) & ~32);
    ++i;
  }
  RateText rate;
  ReverseChargeRate(charges, reverseChargeBase, rate);
  for (int line : reverseChargeLines) layouts::SetRawText(b.data(), bat::kLine.In(line, bl::kRate), rate);
}

// The open items of Debitoren and Kreditoren the booking created: same
// document number, settlement data beginning with the key of one of its records.
bool OpenItemsOf(const std::vector<Record>& records, int slot, std::vector<Record>& out) {
  Record r(op::kLayout.recordLength);
  bool found = false;
  bool ok = GetFirstFound(r.data(), found, slot);
  const char* voucher = layouts::FieldBytes(records[0].data(), bube::kVoucherNo);
  while (ok && found) {
    if (std::strcmp(layouts::FieldBytes(r.data(), op::kVoucherNo), voucher) == 0)
      for (const Record& j : records)
        if (std::memcmp(layouts::FieldBytes(r.data(), op::kSettlementData),
                        layouts::FieldBytes(j.data(), bube::kPostingKey), 10) == 0) {
          out.push_back(r);
          break;
        }
    ok = GetNextFound(r.data(), found, slot);
  }
  return ok;
}

bool DeleteOpenItems(const std::vector<Record>& items, int slot) {
  for (const Record& item : items) {
    Record r(op::kLayout.recordLength);
    bool found = false;
    long id = layouts::GetNumber(item.data(), op::kId);
    int key = static_cast<int>(id);
    if (!GetEqual(r.data(), KeyValue(&key, sizeof key), found, MakeFileId(slot, 0)) || !found ||
        !Delete(slot))
      return false;
  }
  return true;
}

// An opening posting is cancelled by the negative opening posting.
bool PostNegativeOpening(const char* j, const std::string& stornoDate) {
  bool accountOnDebit = std::strcmp(layouts::FieldBytes(j, bube::kCreditAccount), kCarryForwardAccount) == 0;
  OpeningEntry e;
  e.date = stornoDate.empty() ? layouts::FieldBytes(j, bube::kPostingDate) : stornoDate;
  e.account = layouts::FieldBytes(j, accountOnDebit ? bube::kDebitAccount : bube::kCreditAccount);
  AccountKind kind = kNoAccount;
  if (!LookUpAccount(e.account.c_str(), kind) || kind == kNoAccount) return false;
  e.kind = kind;
  e.side = accountOnDebit ? 0 : 1;
  AmountText amount;
  Negated(amount, Cents(layouts::FieldBytes(j, bube::kDebitAmount)));
  e.amount = amount;
  std::string text = layouts::GetText(j, bube::kText);  // UTF-8, as PostOpeningEntry takes it
  e.text = "Storno " + (text.rfind("EB ", 0) == 0 ? text.substr(3) : text);
  return PostOpeningEntry(e);
}

}  // namespace

StornoResult CancelBooking(long postingNumber, const std::string& stornoDate) {
  std::string year = WorkingYear();
  std::vector<Record> records;
  std::vector<ReverseCharge> reverseCharges;
  if (!ReadBooking(postingNumber, records, reverseCharges)) {
    ShowMessage(kMessageStornoFailed);
    return StornoResult::kFailed;
  }
  unsigned flags = static_cast<unsigned>(layouts::GetNumber(records[0].data(), bube::kFlags));
  if (flags & kCancelled) {
    ShowTextBox(kAlreadyCancelledText, "Stornieren", BoxStyle::kInfoOk);
    return StornoResult::kAlreadyCancelled;
  }
  // Open items that payments have touched keep their history: no storno.
  std::vector<Record> debitorItems, kreditorItems;
  if (!OpenItemsOf(records, kSlotOpdebi, debitorItems) || !OpenItemsOf(records, kSlotOpkred, kreditorItems)) {
    ShowMessage(kMessageStornoFailed);
    return StornoResult::kFailed;
  }
  for (const auto* items : {&debitorItems, &kreditorItems})
    for (const Record& item : *items)
      if (Cents(layouts::FieldBytes(item.data(), op::kOutstanding)) !=
          Cents(layouts::FieldBytes(item.data(), op::kAmount))) {
        ShowTextBox(kHasPaymentsText, "Stornieren", BoxStyle::kInfoOk);
        return StornoResult::kHasPayments;
      }

  PostingMode modeBefore = CurrentPostingMode();
  bool posted = false;
  {
    StoreTransaction transaction;
    // The mark: the first record is positioned again before it is updated.
    Record first(bube::kLayout.recordLength);
    bool found = false;
    bool ok = transaction.began() &&
              GetEqual(first.data(), KeyValue(layouts::FieldBytes(records[0].data(), bube::kPostingKey), 10),
                       found, MakeFileId(kSlotBube, 0)) &&
              found;
    layouts::SetNumber(first.data(), bube::kFlags, flags | kCancelled);
    ok = ok && Update(first.data(), MakeFileId(kSlotBube, 0));
    if (ok && bube::IsOpeningPosting(records[0].data())) {
      ok = PostNegativeOpening(records[0].data(), stornoDate);
    } else if (ok) {
      Record b(bat::kLayout.recordLength);
      BuildStorno(records, reverseCharges, stornoDate, b);
      bool hasItems = !debitorItems.empty() || !kreditorItems.empty();
      if (hasItems) layouts::SetNumber(b.data(), bat::kNoOpenItem, 1);
      SetPostingMode((flags & kClosingPosting)    ? PostingMode::kClosing
                     : (flags & kReclassification) ? PostingMode::kReclassification
                                                   : PostingMode::kOrdinary);
      // The storno's first record starts a booking of its own.
      ok = PostBooking(b.data(), true);
      SetPostingMode(modeBefore);
      if (ok && hasItems) {
        ok = SwitchWorkingYear(CurrentMandant().currentYear) && DeleteOpenItems(debitorItems, kSlotOpdebi) &&
             DeleteOpenItems(kreditorItems, kSlotOpkred);
        if (!ok) ShowMessage(debitorItems.size() + kreditorItems.size() == 1 ? 753 : 765);
      }
    }
    if (ok) posted = transaction.Commit();
  }
  SwitchWorkingYear(year);
  if (!posted) {
    ShowMessage(kMessageStornoFailed);
    return StornoResult::kFailed;
  }
  return StornoResult::kPosted;
}

StornoRun CancelSelectedBookings(const std::vector<JournalBooking>& selected, const std::string& stornoDate) {
  StornoRun run;
  if (selected.empty()) {
    ShowMessage(715);
    return run;
  }
  for (const JournalBooking& booking : selected) {
    if (booking.lines.empty()) continue;
    const JournalLine& first = booking.lines.front();
    std::string date = stornoDate.empty() ? first.postingDate : stornoDate;
    if (!CheckPostingLock(date.c_str(), LockAnswer::kAskUser, first.voucherNo, 0)) {
      ++run.skipped;
      continue;
    }
    if (CancelBooking(first.postingNo, stornoDate) == StornoResult::kPosted) ++run.posted;
    else ++run.failed;
  }
  return run;
}

}  // namespace talvera
