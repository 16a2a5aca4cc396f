#include "posting/document_number.h"

#include "core/mandant_values.h"
#include "core/settings.h"

namespace talvera {

std::string IncrementDocumentNumber(std::string_view number) {
  std::size_t digits = number.size();
  while (digits > 0 && number[digits - 1] >= '0' && number[digits - 1] <= '9') --digits;
  std::string out(number.substr(0, digits));
  std::string tail(number.substr(digits));
  if (tail.empty()) {
    out += '1';
  } else {
    // Decimal increment of the digit text; a carry out of the first digit
    // widens the number.
    int i = static_cast<int>(tail.size()) - 1;
    for (; i >= 0; --i) {
      if (tail[i] != '9') {
        ++tail[i];
        break;
      }
      tail[i] = '0';
    }
    if (i < 0) tail.insert(tail.begin(), '1');
    out += tail;
  }
  if (out.size() > static_cast<std::size_t>(kDocumentNumberWidth)) return "1";
  return out;
}

const std::string& LastDocumentNumber() { return CurrentMandantSettings().belnr; }

void StoreLastDocumentNumber(std::string_view number) {
  // Eight characters of the record's code page: cut UTF-8 at a character.
  std::size_t end = 0;
  for (int chars = 0; end < number.size() && chars < kDocumentNumberWidth; ++chars) {
    ++end;
    while (end < number.size() && (static_cast<unsigned char>(number[end]) & 0xC0) == 0x80) ++end;
  }
  std::string kept(number.substr(0, end));
  CurrentMandantSettings().belnr = kept;
  WriteSetting(MandantKey(keys::kBelnr, CurrentMandant().number), kept);
}

}  // namespace talvera
