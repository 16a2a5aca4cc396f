#include "posting/booking_currency.h"

#include <utility>

#include "core/message.h"

namespace talvera {
namespace {

constexpr int kMessageCannotConvert = 428;

HomeAmountConverter& Converter() {
  static HomeAmountConverter converter;
  return converter;
}

}  // namespace

void SetHomeAmountConverter(HomeAmountConverter converter) { Converter() = std::move(converter); }

bool ConvertToHome(const std::string& currency, const char* documentDate,
                   const char* foreignAmount, char* homeOut) {
  if (!Converter()) {
    ShowMessage(kMessageCannotConvert);
    return false;
  }
  return Converter()(currency, documentDate, foreignAmount, homeOut);
}

}  // namespace talvera
