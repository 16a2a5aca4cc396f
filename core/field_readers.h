// Readers for dialog fields. Each reads one control, reports an unacceptable
// entry itself (the message names the control, which gets the focus with
// its text selected) and returns false; the dialog then stays open.
#pragma once

#include "core/dialog_fields.h"
#include "core/text_helpers.h"

namespace talvera {

// Up to 14 characters, trailing non-digits dropped. Empty: 22; malformed: 15
// for rates (width 5), 23 for amounts. out holds width + 1 bytes.
bool ReadAmountField(DialogFields& d, int control, char* out, int width);
// The same with a sign allowed; a negative zero is stored as zero.
bool ReadSignedAmountField(DialogFields& d, int control, char* out, int width);
// Up to 10 characters through ParseDate. Empty: 22; bad day, month, year: 6, 7, 8.
bool ReadDateField(DialogFields& d, int control, char* out);
// Up to 4 characters, a year as ParseDate reads it (empty: 2, bad: 8). With a
// month before the fiscal start month the year is the one before. out gets
// 0101YY, the first day of that fiscal year.
bool ReadYearField(DialogFields& d, int control, char* out, int month);
// Up to 7 characters; empty: 22; non-digits: 3 when digitsOnly. The number
// right-aligned to 7 is looked up among Sachkonten, Debitoren and Kreditoren;
// when absent, notFoundMessage (none when 0). kind receives what was found.
bool ReadAccountField(DialogFields& d, int control, char* out, AccountKind& kind,
                      int notFoundMessage, bool digitsOnly);
// Up to 11 characters; the same search by the accounts' short codes.
bool ReadShortCodeField(DialogFields& d, int control, char* out, AccountKind& kind,
                        int notFoundMessage);
// Sums up to three amount fields (0 for none; empty counts as zero, bad: 23,
// overflow: 745) and shows the sum in `target`.
bool SumAmountFields(DialogFields& d, int a, int b, int c, int target);
bool SumTwoSignedFields(DialogFields& d, int a, int b, int target);
// Shows in `target` the tax of the amount at the rate: the percentage of a
// net amount, or gross minus net of a gross amount. A zero rate shows "0,00"
// and disables the target.
bool TaxOfFields(DialogFields& d, int amountControl, int rateControl, int target,
                 bool amountIsGross);

}  // namespace talvera
