// Ranges of the posting journal by period. A journal key is YYPPDDnnnn, so
// the postings of periods first..last of fiscal year YY lie between
// YY first DD 0000 and YY last 31 9999.
#pragma once

#include "core/period_date.h"

namespace talvera {

// The key range of a period selector (a period, a quarter or the whole
// year) in the fiscal year whose index is the first two characters of
// `base`; `day` is the first day ("01"; nullptr or empty for "01").
// Positions the journal (key 0) on the first posting at or after the first
// key and returns whether one lies in the range. firstKeyOut gets that
// posting's key, or the last key when there is none; `posting`, when
// given, receives the posting. False also when the store failed (reported).
bool PeriodKeyRange(const char* base, PeriodSelector selector, const char* day,
                    char* firstKeyOut, char* lastKeyOut, void* posting = nullptr);

// The same for the periods from the one of `first` to the one of `last`,
// both given by their first four characters (YYPP): YYPP000000 to
// YYPP999999.
bool YearRangeKeys(const char* first, const char* last, char* firstKeyOut, char* lastKeyOut,
                   void* posting = nullptr);

}  // namespace talvera
