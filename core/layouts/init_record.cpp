// A new record: zero-filled, then the defaults its layout lists.
#include <cstring>

#include "core/layouts/layout.h"
#include "core/period_date.h"
#include "core/today.h"

namespace talvera::layouts {
namespace {

// Today as a period date of the open Mandant's fiscal year.
void TodayPeriodDate(char* out) {
  char text[16];
  std::memcpy(text, DayToday().text, sizeof DayToday().text);
  text[sizeof DayToday().text] = '\0';
  if (ParseDate(text) == kDateOk) {
    std::memcpy(out, text, 7);
  } else {
    out[0] = '\0';
  }
}

void ApplyDefault(void* record, const FieldDefault& d) {
  for (int i = 0; i < d.field.count; ++i) {
    Field element = d.field.At(i);
    switch (d.kind) {
      case FieldDefault::kText: SetRawText(record, element, d.text); break;
      case FieldDefault::kNumber: SetNumber(record, element, d.number); break;
      case FieldDefault::kToday: {
        PeriodDate today;
        TodayPeriodDate(today);
        SetRawText(record, element, today);
        break;
      }
    }
  }
}

}  // namespace

void InitRecord(const Layout& layout, void* record) {
  std::memset(record, 0, layout.recordLength);
  for (const FieldDefault& d : layout.defaults) ApplyDefault(record, d);
}

bool InitRecord(int slot, void* record) {
  const Layout* layout = LayoutForSlot(slot);
  if (!layout) return false;
  InitRecord(*layout, record);
  return true;
}

}  // namespace talvera::layouts
