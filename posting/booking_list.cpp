#include "posting/booking_list.h"

#include <cstring>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/layouts/account_balance.h"
#include "core/layouts/bat.h"
#include "core/period_date.h"
#include "core/text_helpers.h"
#include "posting/booking_accounts.h"
#include "posting/journal_search.h"

namespace talvera {
namespace {

namespace bat = layouts::bat;
namespace line_ = layouts::bat_line;

std::string Trimmed(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::string ShownCents(long long cents) {
  AmountDisplayText shown;
  AmountFromCents(shown, cents);
  AmountFormatQuiet(shown);
  return shown;
}

std::string ShownDate(const char* date) {
  char out[11];
  FormatDate(date, out, false);
  return out;
}

long long Cents(const char* amount) {
  long long c = 0;
  if (amount[0]) AmountToCents(amount, &c);
  return c;
}

BookingListRow RowOf(const JournalLine& l) {
  BookingListRow row;
  row.date = ShownDate(l.voucherDate.c_str());
  row.voucher = Cp1252ToUtf8(l.voucherNo);
  row.debit = Trimmed(l.debitAccount);
  row.credit = Trimmed(l.creditAccount);
  row.taxAccount = Trimmed(l.taxAccount);
  row.gross = ShownCents(l.Gross());
  row.tax = l.tax ? ShownCents(l.tax) : std::string();
  row.text = Cp1252ToUtf8(l.text);
  return row;
}

}  // namespace

bool LoadMonthBookings(const PostingMonth& month, std::vector<BookingListEntry>& out) {
  out.clear();
  if (!month.chosen()) return true;
  char first[7], last[7];
  MakePeriodDate(first, 1, month.period, month.yearIndex);
  MakePeriodDate(last, DaysInPeriod(month.period, month.yearIndex), month.period, month.yearIndex);
  // A booking is its first record and as many further ones as that names;
  // collective-account records belong to the booking before them.
  int further = 0;
  return ForEachJournalLine(first, last, [&](const JournalLine& l) {
    if (l.IsCollectiveRecord() && !out.empty()) return true;
    if (out.empty() || l.StartsBooking() || further == 0) {
      BookingListEntry& e = out.emplace_back();
      e.postingNumber = l.postingNo;
      e.voucherDate = l.voucherDate;
      further = l.FurtherRecords();
    } else {
      --further;
    }
    out.back().rows.push_back(RowOf(l));
    return true;
  });
}

BookingListEntry EntryOfBooking(const void* b) {
  BookingListEntry e;
  e.pending = true;
  e.fromThisDialog = true;
  e.voucherDate = layouts::FieldBytes(b, bat::kVoucherDate);
  std::string date = ShownDate(e.voucherDate.c_str());
  std::string voucher = Cp1252ToUtf8(layouts::GetText(b, bat::kVoucherNo));
  std::string text = Cp1252ToUtf8(layouts::GetText(b, bat::kText));
  bool currency = layouts::FieldBytes(b, bat::kCurrency)[0] != '\0';
  for (int i = 0; i < bat::kLineCount; ++i) {
    auto F = [i](const layouts::Field& f) { return bat::kLine.In(i, f); };
    if (layouts::FieldBytes(b, F(line_::kDebitAccount))[0] == '\0') break;
    BookingListRow row;
    row.date = date;
    row.voucher = voucher;
    row.text = text;
    row.debit = Trimmed(layouts::FieldBytes(b, F(line_::kDebitAccount)));
    row.credit = Trimmed(layouts::FieldBytes(b, F(line_::kCreditAccount)));
    long long gross = Cents(layouts::FieldBytes(b, F(line_::kGross)));
    long long tax = gross - Cents(layouts::FieldBytes(b, F(line_::kNet)));
    // A one-line currency booking shows the home amount the engine will post.
    if (currency && i == 0) gross = Cents(layouts::FieldBytes(b, bat::kHomeAmount));
    row.gross = ShownCents(gross);
    if (tax != 0) {
      row.tax = ShownCents(tax);
      row.taxAccount = Trimmed(layouts::FieldBytes(b, F(line_::kListTaxAccount)));
    }
    e.rows.push_back(std::move(row));
  }
  return e;
}

bool ReadAccountBalance(const std::string& number, AccountBalanceLine& out) {
  out = AccountBalanceLine{};
  out.number = Trimmed(number);
  if (out.number.empty()) return true;
  AccountRef a;
  if (!ResolveAccountText(out.number, a)) return false;
  if (!a.found()) return true;
  std::vector<char> record;
  bool found = false;
  if (!ReadAccountRecord(a.number, a.kind, record, found)) return false;
  if (!found) return true;
  out.found = true;
  out.name = a.name;
  AmountText balance;
  char side = 0;
  if (!layouts::AccountBalance(record.data(), a.kind, balance, &side)) return false;
  AmountDisplayText shown;
  CopyLimited(shown, balance, sizeof shown);
  AmountFormatQuiet(shown);
  out.side = side;
  out.balance = shown;
  if (side) out.balance += std::string(" ") + side;
  return true;
}

}  // namespace talvera
