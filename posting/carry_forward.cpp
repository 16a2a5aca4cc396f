#include "posting/carry_forward.h"

#include <cstring>
#include <string>

#include "core/layouts/bube.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/today.h"
#include "posting/booking_lines.h"
#include "posting/posting_engine.h"
#include "posting/posting_state.h"

namespace talvera {

using namespace posting;

namespace {

namespace bube = layouts::bube;
namespace sako = layouts::sako;
namespace personal = layouts::personal;

struct CarryFields {
  layouts::Field shortCode, unposted, prevDebit, prevCredit, prevBalance, prevSide, openingDebit,
      openingCredit, postingCount;
};

CarryFields FieldsOf(int kind) {
  if (kind == kSachkonto)
    return {sako::kShortCode, sako::kUnposted, sako::kPrevDebitTurnover, sako::kPrevCreditTurnover,
            sako::kPrevClosingBalance, sako::kPrevClosingSide, sako::kOpeningDebit,
            sako::kOpeningCredit, sako::kPostingCount};
  return {personal::kShortCode, personal::kUnposted, personal::kPrevDebitTurnover,
          personal::kPrevCreditTurnover, personal::kPrevClosingBalance, personal::kPrevClosingSide,
          personal::kOpeningDebit, personal::kOpeningCredit, personal::kPostingCount};
}

long long Cents(const char* amount) {
  long long c = 0;
  AmountToCents(amount, &c);
  return c;
}

// The opening balance stays on one side: debit minus credit, moved by the amount.
bool MoveOpeningBalance(void* r, const CarryFields& f, int side, long long amount) {
  long long balance = Cents(layouts::FieldBytes(r, f.openingDebit)) -
                      Cents(layouts::FieldBytes(r, f.openingCredit));
  balance += side == 0 ? amount : -amount;
  return AmountFromCents(layouts::FieldBytes(r, f.openingDebit), balance > 0 ? balance : 0) &&
         AmountFromCents(layouts::FieldBytes(r, f.openingCredit), balance < 0 ? -balance : 0);
}

// The previous-year balance (a magnitude with its side byte) moved by the
// amount; when the amount is larger, the side flips.
bool MovePreviousBalance(void* r, const CarryFields& f, int side, long long amount) {
  long long magnitude = Cents(layouts::FieldBytes(r, f.prevBalance));
  int balanceSide = static_cast<int>(layouts::GetNumber(r, f.prevSide));
  long long value = (balanceSide == 0 ? magnitude : -magnitude) + (side == 0 ? amount : -amount);
  if (value != 0) layouts::SetNumber(r, f.prevSide, value > 0 ? 0 : 1);
  return AmountFromCents(layouts::FieldBytes(r, f.prevBalance), value < 0 ? -value : value);
}

// The account's carry-forward record in the current year's journal: found by
// the side the balance stood on before, written from the side it stands on now.
bool KeepCarryForwardRecord(const char* account, const char* shortCode, int sideBefore,
                            void* accountRecord, const CarryFields& f, bool countPostings,
                            int period) {
  char j[bube::kLayout.recordLength];
  FileId byAccount = MakeFileId(kSlotBube, sideBefore == 0 ? 1 : 2);
  layouts::Field accountField = sideBefore == 0 ? bube::kDebitAccount : bube::kCreditAccount;
  bool found = false;
  bool ok = GetGreaterOrEqualFound(j, KeyValue(account, kAccountNoWidth + 1), found, byAccount);
  while (ok && found && std::strcmp(layouts::FieldBytes(j, accountField), account) == 0 &&
         !(layouts::GetNumber(j, bube::kFlags) & kCarryForwardRecord))
    ok = GetNextFound(j, found, byAccount);
  if (!ok) return false;
  bool exists = found && std::strcmp(layouts::FieldBytes(j, accountField), account) == 0;

  const char* balance = layouts::FieldBytes(accountRecord, f.prevBalance);
  layouts::Field count = f.postingCount.At(period - 1);
  if (exists && AmountIsZero(balance)) {
    if (countPostings && layouts::GetNumber(accountRecord, count) > 0)
      layouts::SetNumber(accountRecord, count, layouts::GetNumber(accountRecord, count) - 1);
    return Delete(kSlotBube);
  }
  if (!exists) {
    const MandantValues& m = CurrentMandant();
    PeriodDate date;
    MakePeriodDate(date, 1, 1, std::atoi(m.currentYear) - 1980);
    char key[11];
    if (!NextJournalKey(date, key)) return false;
    layouts::InitRecord(bube::kLayout, j);
    layouts::SetRawText(j, bube::kPostingKey, key);
    layouts::SetRawText(j, bube::kPostingDate, date);
    layouts::SetNumber(j, bube::kFlags, kCarryForwardRecord);
    layouts::SetText(j, bube::kText, "Saldovortragsbuchung");
  }
  bool debitSide = layouts::GetNumber(accountRecord, f.prevSide) == 0;
  layouts::SetRawText(j, bube::kDebitAccount, debitSide ? account : kCarryForwardAccount);
  layouts::SetRawText(j, bube::kDebitShortCode, debitSide ? shortCode : "SVKto");
  layouts::SetRawText(j, bube::kCreditAccount, debitSide ? kCarryForwardAccount : account);
  layouts::SetRawText(j, bube::kCreditShortCode, debitSide ? "SVKto" : shortCode);
  layouts::SetRawText(j, bube::kDebitAmount, balance);
  layouts::SetRawText(j, bube::kCreditAmount, balance);
  // The amounts are magnitudes: the side is in the accounts.
  layouts::FieldBytes(j, bube::kDebitAmount)[kAmountSignPos] = ',';
  layouts::FieldBytes(j, bube::kCreditAmount)[kAmountSignPos] = ',';
  if (exists) return Update(j, byAccount);
  if (countPostings) layouts::SetNumber(accountRecord, count, layouts::GetNumber(accountRecord, count) + 1);
  return Insert(j, kSlotBube);
}

}  // namespace

bool UpdateCarryForward(const char* account, int kind, int side, const char* amount, bool balance,
                        bool writeRecord, bool addTotals, const char* periodDate) {
  if (!account || account[0] == '\0') return true;
  char r[personal::kLayout.recordLength];
  if (!ReadExistingAccount(kind, account, r)) return false;
  CarryFields f = FieldsOf(kind);
  long long cents = Cents(amount);
  if (balance && !MoveOpeningBalance(r, f, side, cents)) return false;
  if (addTotals && !AmountAddInPlace(layouts::FieldBytes(r, side == 0 ? f.prevDebit : f.prevCredit), amount)) {
    return false;
  }
  int sideBefore = static_cast<int>(layouts::GetNumber(r, f.prevSide));
  if (!MovePreviousBalance(r, f, side, cents)) return false;
  layouts::SetNumber(r, f.unposted, 0);
  if (writeRecord && kind == kSachkonto) {
    long type = layouts::GetNumber(r, sako::kAccountClass);
    if ((type == 2 || type == 4) &&
        !KeepCarryForwardRecord(account, layouts::FieldBytes(r, f.shortCode), sideBefore, r, f, true,
                                PeriodOf(periodDate)))
      return false;
  }
  if (!Update(r, MakeFileId(SlotOfKind(kind), 0))) return false;
  NotifyBalanceChange(account, 1u | (balance ? (1u << 13) : 0u));
  return true;
}

bool CarryResultForward(int side, const char* amount) {
  const char* account = CurrentMandant().carryForwardAccount;
  char r[sako::kLayout.recordLength];
  if (!ReadExistingAccount(kSachkonto, account, r)) return false;
  CarryFields f = FieldsOf(kSachkonto);
  long long cents = Cents(amount);
  int sideBefore = static_cast<int>(layouts::GetNumber(r, f.prevSide));
  if (!MoveOpeningBalance(r, f, side, cents) || !MovePreviousBalance(r, f, side, cents)) return false;
  layouts::SetNumber(r, f.unposted, 0);
  if (!KeepCarryForwardRecord(account, layouts::FieldBytes(r, f.shortCode), sideBefore, r, f, false, 1))
    return false;
  if (!Update(r, kSlotSako)) return false;
  NotifyBalanceChange(account, 1u | (1u << 13));
  return true;
}

bool AddOpeningBalance(const char* account, int kind, int side, const char* amount, char* shortCodeOut) {
  char r[personal::kLayout.recordLength];
  if (!ReadExistingAccount(kind, account, r)) return false;
  CarryFields f = FieldsOf(kind);
  if (!MoveOpeningBalance(r, f, side, Cents(amount))) return false;
  if (shortCodeOut) CopyLimited(shortCodeOut, layouts::FieldBytes(r, f.shortCode), 11);
  if (!Update(r, MakeFileId(SlotOfKind(kind), 0))) return false;
  NotifyBalanceChange(account, 1u | (1u << 13));
  return true;
}

namespace posting {

namespace {

bool BalanceSide(int kind, int type) { return kind != kSachkonto || type == 2 || type == 4; }

// The two sides of one journal line, its tax, its collective accounts and,
// for P&L accounts, the result.
bool CarryLineForward(const PostedLine& l) {
  const MandantValues& m = CurrentMandant();
  if (!UpdateCarryForward(l.debit, l.debitKind, 0, l.debitAmount, BalanceSide(l.debitKind, l.debitType),
                          true, true, nullptr) ||
      !UpdateCarryForward(l.credit, l.creditKind, 1, l.creditAmount,
                          BalanceSide(l.creditKind, l.creditType), true, true, nullptr))
    return false;
  unsigned taxSide = l.taxSideFlags & 6;
  if (taxSide && !UpdateCarryForward(l.taxAccount, kSachkonto, taxSide == 2 ? 0 : 1, l.taxAmount,
                                     true, true, true, nullptr))
    return false;
  auto collective = [&](int kind) { return kind == kDebitor ? m.receivablesAccount : m.payablesAccount; };
  if ((l.debitKind == kDebitor || l.debitKind == kKreditor) &&
      !UpdateCarryForward(collective(l.debitKind), kSachkonto, 0, l.gross, true, true, true, nullptr))
    return false;
  if ((l.creditKind == kDebitor || l.creditKind == kKreditor) &&
      !UpdateCarryForward(collective(l.creditKind), kSachkonto, 1, l.gross, true, true, true, nullptr))
    return false;
  if (l.debitKind == kSachkonto && l.debitType == 8 && !CarryResultForward(0, l.debitAmount)) return false;
  if (l.creditKind == kSachkonto && l.creditType == 8 && !CarryResultForward(1, l.creditAmount)) return false;
  return true;
}

}  // namespace

// Every account total the booking changed in the previous year moves the
// current year's opening figures: the lines with their tax and collective
// accounts, and the reverse-charge records.
bool CarryBookingForward(const PostedBooking& posted) {
  for (int i = 0; i < posted.lineCount; ++i)
    if (!CarryLineForward(posted.lines[i])) return false;
  for (int i = 0; i < posted.reverseChargeCount; ++i)
    if (!CarryLineForward(posted.reverseCharges[i])) return false;
  return true;
}

}  // namespace posting

}  // namespace talvera
