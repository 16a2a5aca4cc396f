#include "posting/opening_posting.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/bube.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/record_store.h"
#include "posting/booking_lines.h"
#include "posting/open_item_files.h"
#include "posting/carry_forward.h"
#include "posting/posting_state.h"
#include "tax/tax_rates.h"

namespace talvera {

using namespace posting;

namespace {

namespace bat = layouts::bat;
namespace bube = layouts::bube;

bool IsPersonal(int kind) { return kind == kDebitor || kind == kKreditor; }

const char* CollectiveAccountOf(int kind) {
  const MandantValues& m = CurrentMandant();
  return kind == kDebitor ? m.receivablesAccount : m.payablesAccount;
}

void NewRecord(char* j, const OpeningEntry& e, const char* key, unsigned flags, const std::string& text) {
  layouts::InitRecord(bube::kLayout, j);
  layouts::SetRawText(j, bube::kPostingKey, key);
  layouts::SetRawText(j, bube::kPostingDate, e.date.c_str());
  layouts::SetRawText(j, bube::kVoucherDate, e.date.c_str());
  layouts::SetNumber(j, bube::kFlags, flags);
  layouts::SetNumber(j, bube::kRequestByte, bube::kOpeningPostingMark);
  layouts::SetText(j, bube::kText, text.c_str());
}

// The open item "EB" of a Debitor or Kreditor, class 2 at the standard rate.
bool CreateOpeningOpenItem(const OpeningEntry& e, const std::string& text, const char* key) {
  std::vector<char> b(bat::kLayout.recordLength);
  layouts::InitRecord(bat::kLayout, b.data());
  layouts::SetRawText(b.data(), bat::kVoucherNo, "EB");
  layouts::SetRawText(b.data(), bat::kVoucherDate, e.date.c_str());
  layouts::SetRawText(b.data(), bat::kPostingDate, e.date.c_str());
  layouts::SetText(b.data(), bat::kText, text.c_str());
  layouts::SetRawText(b.data(), bat::kLine.In(0, layouts::bat_line::kRate), CurrentRatesInForce().standard);
  PostedLine line;
  bool onDebit = e.side == 0;
  CopyLimited(onDebit ? line.debit : line.credit, e.account.c_str(), sizeof line.debit);
  CopyLimited(onDebit ? line.credit : line.debit, kCarryForwardAccount, sizeof line.debit);
  (onDebit ? line.debitKind : line.creditKind) = e.kind;
  (onDebit ? line.creditKind : line.debitKind) = kSachkonto;
  line.classByte = 2;
  CopyLimited(line.journalKey, key, sizeof line.journalKey);
  bool credit = (e.kind == kKreditor) == onDebit;
  if (AmountIsNegative(e.amount.c_str())) credit = !credit;
  return CreateOpenItemOfLine(b.data(), line, 0, e.kind, onDebit, credit, e.amount.c_str());
}

bool PostInYear(const OpeningEntry& e) {
  const char* x = e.amount.c_str();
  const char* date = e.date.c_str();
  std::string text = "EB " + e.text;
  bool onDebit = e.side == 0;
  char j[bube::kLayout.recordLength];
  char key[11];
  if (!NextJournalKey(date, key)) return false;
  NewRecord(j, e, key, kCarryForwardRecord, text);
  layouts::SetRawText(j, bube::kDebitAccount, onDebit ? e.account.c_str() : kCarryForwardAccount);
  layouts::SetRawText(j, bube::kCreditAccount, onDebit ? kCarryForwardAccount : e.account.c_str());
  layouts::SetRawText(j, bube::kDebitAmount, x);
  layouts::SetRawText(j, bube::kCreditAmount, x);
  char accountShort[11] = "", counterShort[11] = "";
  if (!UpdateAccountTotals(kCarryForwardAccount, kSachkonto, onDebit ? 1 : 0, x, date, counterShort, nullptr,
                           true) ||
      !AddOpeningBalance(e.account.c_str(), e.kind, e.side, x, accountShort))
    return false;
  layouts::SetRawText(j, bube::kDebitShortCode, onDebit ? accountShort : counterShort);
  layouts::SetRawText(j, bube::kCreditShortCode, onDebit ? counterShort : accountShort);
  if (!Insert(j, kSlotBube)) return false;
  if (!IsPersonal(e.kind)) return true;

  if (!CreateOpeningOpenItem(e, e.text, key)) return false;
  if (Options().suppressCollectiveRecords) return true;
  const char* collective = CollectiveAccountOf(e.kind);
  char collectiveShort[11] = "";
  if (!AddOpeningBalance(collective, kSachkonto, e.side, x, collectiveShort)) return false;
  if (!NextJournalKey(date, key)) return false;
  NewRecord(j, e, key, kCarryForwardRecord | kCollectiveRecord, text);
  layouts::SetRawText(j, onDebit ? bube::kDebitAccount : bube::kCreditAccount, collective);
  layouts::SetRawText(j, onDebit ? bube::kDebitShortCode : bube::kCreditShortCode, collectiveShort);
  layouts::SetRawText(j, onDebit ? bube::kDebitAmount : bube::kCreditAmount, x);
  return Insert(j, kSlotBube);
}

// The previous year's entry in the current year's opening figures.
bool CarryEntryForward(const OpeningEntry& e) {
  const char* x = e.amount.c_str();
  const char* account = e.account.c_str();
  if (IsPersonal(e.kind)) {
    if (!UpdateCarryForward(account, e.kind, e.side, x, true, false, false, nullptr)) return false;
    if (!Options().suppressCollectiveRecords &&
        !UpdateCarryForward(CollectiveAccountOf(e.kind), kSachkonto, e.side, x, true, false, false, nullptr))
      return false;
  } else {
    int type = 0;
    if (!SachkontoType(account, type)) return false;
    bool profitAndLoss = type == 8;
    if (!UpdateCarryForward(account, kSachkonto, e.side, x, !profitAndLoss, true, false, nullptr)) return false;
    if (profitAndLoss && !CarryResultForward(e.side, x)) return false;
  }
  return UpdateCarryForward(kCarryForwardAccount, kSachkonto, e.side == 0 ? 1 : 0, x, false, false, true,
                            e.date.c_str());
}

}  // namespace

bool PostOpeningEntry(const OpeningEntry& e) {
  const MandantValues& m = CurrentMandant();
  std::string year = e.date.size() >= 6 ? std::to_string(1980 + std::atoi(e.date.c_str() + 4)) : "";
  bool previousYear = m.previousYear[0] && year == m.previousYear;
  if (year.empty() || (year != m.currentYear && !previousYear)) {
    ShowMessage(kMessageOutsideYears);
    return false;
  }
  std::string selectedBefore = WorkingYear();
  if (!SwitchWorkingYear(year)) return false;
  bool posted = false;
  {
    OpenItemFiles openItems(previousYear && IsPersonal(e.kind));
    RatesInForceGuard keepRates;
    RatesInForce(e.date.c_str());
    StoreTransaction transaction;
    if (transaction.began() && PostInYear(e) &&
        (!previousYear || (SwitchWorkingYear(m.currentYear) && CarryEntryForward(e))))
      posted = transaction.Commit();
  }
  // Back to the year selected before, also after a failure.
  if (!selectedBefore.empty()) SwitchWorkingYear(selectedBefore);
  return posted;
}

void OpeningEntryToBooking(const OpeningEntry& e, void* b) {
  namespace bl = layouts::bat_line;
  layouts::InitRecord(bat::kLayout, b);
  layouts::SetRawText(b, bat::kPostingDate, e.date.c_str());
  layouts::SetRawText(b, bat::kVoucherDate, e.date.c_str());
  layouts::SetRawText(b, bat::kVoucherNo, "EB");
  layouts::SetText(b, bat::kText, e.text.c_str());
  bool onDebit = e.side == 0;
  auto line = [](const layouts::Field& f) { return bat::kLine.In(0, f); };
  layouts::SetRawText(b, line(bl::kDebitAccount), onDebit ? e.account.c_str() : kCarryForwardAccount);
  layouts::SetRawText(b, line(bl::kCreditAccount), onDebit ? kCarryForwardAccount : e.account.c_str());
  layouts::SetNumber(b, line(onDebit ? bl::kDebitKind : bl::kCreditKind), e.kind);
  layouts::SetNumber(b, line(onDebit ? bl::kCreditKind : bl::kDebitKind), kSachkonto);
  layouts::SetRawText(b, line(bl::kGross), e.amount.c_str());
  layouts::SetRawText(b, line(bl::kNet), e.amount.c_str());
}

OpeningEntry OpeningEntryOfBooking(const void* b) {
  namespace bl = layouts::bat_line;
  auto line = [](const layouts::Field& f) { return bat::kLine.In(0, f); };
  OpeningEntry e;
  e.date = layouts::FieldBytes(b, bat::kPostingDate);
  e.side = std::strcmp(layouts::FieldBytes(b, line(bl::kDebitAccount)), kCarryForwardAccount) == 0 ? 1 : 0;
  bool onDebit = e.side == 0;
  e.account = layouts::FieldBytes(b, line(onDebit ? bl::kDebitAccount : bl::kCreditAccount));
  e.kind = static_cast<int>(layouts::GetNumber(b, line(onDebit ? bl::kDebitKind : bl::kCreditKind)));
  e.amount = layouts::FieldBytes(b, line(bl::kGross));
  e.text = layouts::GetText(b, bat::kText);
  return e;
}

bool PostOpeningBooking(void* booking, bool, long* postingNumber) {
  if (postingNumber) *postingNumber = 0;
  return PostOpeningEntry(OpeningEntryOfBooking(booking));
}

}  // namespace talvera
