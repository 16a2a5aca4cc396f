// The column templates reports are laid out with. Each report variant has an
// object template (the fields of one template line: width, tab index,
// alignment, with line breaks between rows) and a tab template (the tab
// positions in character widths from the left edge).
//
// Names follow "TQ" + the report's short name + "OBJ" or "TAB" + an optional
// variant digit ("TQKSALOBJ1"); they are matched without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvera {

enum ObjectAlignment : unsigned char {
  kAlignLeft = 2,   // the value starts at its tab
  kAlignRight = 3,  // the value ends at its tab, leading blanks ignored
};

// One word of an object template: a field, or a line break (width 0).
struct TemplateObject {
  int width = 0;  // most characters of the value; longer values are cut
  int tab = 0;    // index into the tab template, 0..31
  ObjectAlignment align = kAlignLeft;
  bool IsLineBreak() const { return width == 0; }
};

constexpr int kMaxTabs = 32;

std::optional<std::vector<TemplateObject>> FindObjectTemplate(std::string_view name);
std::optional<std::vector<int>> FindTabTemplate(std::string_view name);

// The name with its variant digit replaced (or appended): ("TQKSALOBJ0", 1)
// gives "TQKSALOBJ1".
std::string TemplateVariant(std::string_view name, int variant);

// Every template name with its declared object or tab count, for checks.
struct TemplateEntry {
  const char* name;
  int count;
  const char* contents;
};
const std::vector<TemplateEntry>& ObjectTemplateTable();
const std::vector<TemplateEntry>& TabTemplateTable();

}  // namespace talvera
