// Which fiscal years a date may be posted to or evaluated in. Postable
// ("bebuchbar") are the current fiscal year and, while it is open, the
// previous one. While an archived year is open for viewing, dates must lie
// in that year.
#pragma once

#include <string>

namespace talvera {

// The archived year open for viewing ("1993"), empty for none. The archive
// dialog sets it; opening a Mandant clears it.
void SetArchiveViewYear(const std::string& year);
const std::string& ArchiveViewYear();

// Passes when the date lies in a postable year and switches the record
// store to that year's files. Otherwise shows message 85 (88 while viewing
// an archived year, for a date outside it) with the focus on `control`.
bool CheckPostableYear(const char* date, int control);
// For posting code: the same check with message 83 instead of 85.
bool CheckPostingDate(const char* date, int control);
// For date-range dialogs: 86 when `first` is later than `last`, 87 when the
// two lie in different fiscal years; then CheckPostableYear on `first`.
bool CheckDateRange(const char* first, const char* last, int control);

}  // namespace talvera
