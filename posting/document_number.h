// Document numbers (Belegnummern) of the entry dialogs: the number after a
// booking ("IncBelnr") and the last number kept per Mandant ("Belnr").
#pragma once

#include <string>
#include <string_view>

namespace talvera {

constexpr int kDocumentNumberWidth = 8;

// The next number: the trailing digits plus one in their width (RE0099 ->
// RE0100, 9999999 -> 10000000); a number without trailing digits gets "1"
// appended; a result longer than 8 characters restarts at "1".
std::string IncrementDocumentNumber(std::string_view number);

// The Mandant's last document number ("Belnr" with the Mandant suffix).
const std::string& LastDocumentNumber();
// Keeps a number as the Mandant's last one, at most 8 characters, as the
// field takes it.
void StoreLastDocumentNumber(std::string_view number);

}  // namespace talvera
