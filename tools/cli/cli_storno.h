// "talvi-cli stornieren": the storno of a posted booking named by its
// document number, through the storno of the screen (a new booking of the
// same accounts with the amounts negated, the cancelled booking marked,
// its open items removed).
#pragma once

#include <string>

namespace talvera::cli {

// Cancels the one booking of the working year whose document number is
// `documentNumber`; `date` as typed (empty: the booking's own dates). An
// exit status; `error` says why nothing was cancelled when the program's
// own messages have not.
int CancelByDocumentNumber(const std::string& documentNumber, const std::string& date, std::string& error);

}  // namespace talvera::cli
