// Foreign amounts of a booking in home currency. The entry paths convert at
// the document date when a booking is confirmed; the conversion itself (the
// rate in force at that date, asking the user for a missing rate) belongs
// to the currency rates, which install it here.
#pragma once

#include <functional>
#include <string>

namespace talvera {

// Converts `foreignAmount` (an AmountText) of `currency` at `documentDate`
// (DDPPYY) into `homeOut` (13 bytes). Returns false after the user was told
// why not (no rate at that date, an amount too large).
using HomeAmountConverter =
    std::function<bool(const std::string& currency, const char* documentDate,
                       const char* foreignAmount, char* homeOut)>;

void SetHomeAmountConverter(HomeAmountConverter converter);
// Converts with the installed converter; without one the booking cannot be
// converted: message 428, and false.
bool ConvertToHome(const std::string& currency, const char* documentDate,
                   const char* foreignAmount, char* homeOut);

}  // namespace talvera
