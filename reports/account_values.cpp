#include "reports/account_values.h"

#include <cstring>
#include <vector>

#include "core/amount.h"
#include "core/cp1252.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/period_date.h"
#include "core/record_store.h"

namespace talvera {
namespace {

namespace sako = layouts::sako;
namespace personal = layouts::personal;

struct Fields {
  layouts::Field number, shortCode, name, openingDebit, openingCredit, periodDebit, periodCredit,
      closingDebit, closingCredit;
};

constexpr Fields kSako{sako::kAccountNo,     sako::kShortCode,     sako::kName,
                       sako::kOpeningDebit,  sako::kOpeningCredit, sako::kPeriodDebit,
                       sako::kPeriodCredit,  sako::kClosingDebit,  sako::kClosingCredit};
constexpr Fields kPersonal{personal::kAccountNo,    personal::kShortCode,
                           personal::kName,         personal::kOpeningDebit,
                           personal::kOpeningCredit, personal::kPeriodDebit,
                           personal::kPeriodCredit, personal::kClosingDebit,
                           personal::kClosingCredit};

std::string Raw(const void* record, const layouts::Field& f) {
  const char* bytes = layouts::FieldBytes(record, f);
  return std::string(bytes, strnlen(bytes, f.width));
}

// A never-written amount field (all zero bytes) counts as zero.
bool Cents(const void* record, const layouts::Field& f, long long& out) {
  const char* text = layouts::FieldBytes(record, f);
  out = 0;
  if (text[0] == '\0') return true;
  return AmountToCents(text, &out);
}

}  // namespace

int AccountSlot(AccountKind kind) {
  switch (kind) {
    case kSachkonto: return kSlotSako;
    case kKreditor: return kSlotKred;
    case kDebitor: return kSlotDebi;
    default: return -1;
  }
}

bool ReadAccountValues(AccountKind kind, const void* record, AccountValues& out) {
  const Fields& f = kind == kSachkonto ? kSako : kPersonal;
  out = AccountValues{};
  out.kind = kind;
  out.record = record;
  out.number = Raw(record, f.number);
  out.shortCode = Raw(record, f.shortCode);
  out.name = Raw(record, f.name);
  if (kind == kSachkonto) out.accountClass = static_cast<int>(layouts::GetNumber(record, sako::kAccountClass));
  bool ok = Cents(record, f.openingDebit, out.openingDebit) &&
            Cents(record, f.openingCredit, out.openingCredit) &&
            Cents(record, f.closingDebit, out.closingDebit) &&
            Cents(record, f.closingCredit, out.closingCredit);
  for (int p = 0; ok && p < 12; ++p)
    ok = Cents(record, f.periodDebit.At(p), out.periodDebit[p]) &&
         Cents(record, f.periodCredit.At(p), out.periodCredit[p]);
  return ok;
}

bool ForEachAccount(AccountKind kind, bool byNumber,
                    const std::function<bool(const AccountValues&)>& visit) {
  int slot = AccountSlot(kind);
  if (slot < 0) return false;
  FileId id = MakeFileId(slot, byNumber ? 0 : 2);
  std::vector<char> record(personal::kLayout.recordLength > sako::kLayout.recordLength
                               ? personal::kLayout.recordLength
                               : sako::kLayout.recordLength);
  bool found = false;
  bool ok = GetFirstFound(record.data(), found, id);
  AccountValues values;
  while (ok && found) {
    if (!ReadAccountValues(kind, record.data(), values)) return false;
    if (!visit(values)) return false;
    ok = GetNextFound(record.data(), found, id);
  }
  return ok;
}

bool NoAccountsOf(AccountKind kind) {
  int slot = AccountSlot(kind);
  return slot < 0 || RecordCount(slot) <= 0;
}

std::string DisplayAmount(long long cents) {
  AmountDisplayText text = "";
  if (!AmountFromCents(text, cents)) return "*****";
  AmountFormatQuiet(text);
  return text;
}

std::string DisplayAmountBlankZero(long long cents) {
  return cents == 0 ? std::string() : DisplayAmount(cents);
}

std::string DisplayDate(const char* date, bool fourDigitYear) {
  char out[11] = "";
  if (date && date[0]) FormatDate(date, out, fourDigitYear);
  return out;
}

std::string ReportText(std::string_view utf8) { return Utf8ToCp1252(utf8); }

}  // namespace talvera
