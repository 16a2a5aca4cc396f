#include "reports/form_buffer.h"

#include <cctype>
#include <cstdlib>

namespace talvera {

void FormBuffer::Clear() {
  items_.clear();
  pitch_ = 0;
}

void FormBuffer::AddText(int x, int y, std::string_view text, unsigned extraFlags) {
  items_.push_back(FormItem{kFormText | (extraFlags & ~kFormPageBreak), x, y, std::string(text)});
}

void FormBuffer::AddPageBreak() { items_.push_back(FormItem{kFormPageBreak, 0, 0, {}}); }

int FormBuffer::FormCount() const {
  int forms = 0;
  bool open = false;
  for (const FormItem& item : items_) {
    if (item.flags & kFormPageBreak) {
      ++forms;
      open = false;
    } else {
      open = true;
    }
  }
  return forms + (open ? 1 : 0);
}

FormBuffer& TheFormBuffer() {
  static FormBuffer buffer;
  return buffer;
}

bool ParseFormOffset(std::string_view text, int* tenths) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = i < text.size() && text[i] == '-';
  if (negative || (i < text.size() && text[i] == '+')) ++i;
  int whole = 0, digits = 0, decimal = 0, decimals = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits)
    whole = whole * 10 + (text[i] - '0');
  if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
    for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
      if (++decimals > 1) return false;
      decimal = text[i] - '0';
    }
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size() || digits + decimals == 0 || digits > 2) return false;
  int value = whole * 10 + decimal;
  if (value > 100) return false;
  *tenths = negative ? -value : value;
  return true;
}

std::string FormatFormOffset(int tenths) {
  std::string sign = tenths < 0 ? "-" : "";
  int magnitude = std::abs(tenths);
  return sign + std::to_string(magnitude / 10) + "," + std::to_string(magnitude % 10);
}

}  // namespace talvera
