#include "posting/booking_draft.h"

#include <cstring>

#include "core/amount.h"
#include "core/period_date.h"
#include "core/today.h"

namespace talvera {

bool ParseAmountText(const std::string& typed, int width, bool allowSign, char* out) {
  char buffer[48];
  if (typed.size() >= sizeof buffer - 1) return false;
  std::strcpy(buffer, typed.c_str());
  if (!AmountParse(buffer, width, allowSign)) return false;
  // A negative zero is stored as zero.
  if (AmountIsZero(buffer)) buffer[width - 3] = ',';
  CopyLimited(out, buffer, static_cast<std::size_t>(width) + 1);
  return true;
}

bool ProposeDraftTax(BookingDraft& draft, AccountRef& debit, AccountRef& credit) {
  if (!ResolveAccountText(draft.debit, debit) || !ResolveAccountText(draft.credit, credit))
    return false;
  char date[16];
  CopyLimited(date, draft.documentDate.empty() ? DayToday().text : draft.documentDate.c_str(),
              sizeof date);
  if (ParseDate(date) != kDateOk) {
    CopyLimited(date, DayToday().text, sizeof date);
    ParseDate(date);
  }
  return ProposeTax(debit, credit, date, draft.proposal);
}

}  // namespace talvera
