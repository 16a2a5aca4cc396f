#include "reports/report_templates.h"

#include <cctype>
#include <sstream>

namespace talvera {
namespace {

// Objects are written width:tab followed by L (starts at the tab) or R (ends
// at the tab); "/" is a line break. The count is the number of objects.
const std::vector<TemplateEntry> kObjects = {
    {"TQANAOBJ", 4, "8:0L 16:1R 16:2R 16:3R"},
    {"TQBEXPOBJ", 10, "12:0L 28:1L 5:4L 8:5L 9:6L 10:7L / 20:0L 28:2L 8:6L 16:8R"},
    {"TQBILOBJ0", 15, "34:0L 34:1L 34:2L 17:3R 17:4R 17:5R 12:6R 12:7R 12:8R 17:9R 17:10R 17:11R 12:12R 12:13R 12:14R"},
    {"TQBILOBJ1", 15, "34:0L 34:1L 34:2L 17:3R 17:4R 17:5R 12:6R 12:7R 12:8R 17:9R 17:10R 17:11R 12:12R 12:13R 12:14R"},
    {"TQBJOUOBJ0", 10, "8:0R 8:1L 8:2L 36:3L 8:4R 15:5R 8:6R 15:7R 8:8R 15:9R"},
    {"TQGUVOBJ0", 15, "34:0L 34:1L 34:2L 17:3R 17:4R 17:5R 12:6R 12:7R 12:8R 17:9R 17:10R 17:11R 12:12R 12:13R 12:14R"},
    {"TQGUVOBJ1", 15, "34:0L 34:1L 34:2L 17:3R 17:4R 17:5R 12:6R 12:7R 12:8R 17:9R 17:10R 17:11R 12:12R 12:13R 12:14R"},
    {"TQKBLAOBJ0", 7, "8:0L 8:1L 18:2L 14:4R 14:7R 8:8R 7:9L"},
    {"TQKBLAOBJ1", 7, "8:0L 8:1L 35:2L 14:4R 14:7R 8:8R 5:9L"},
    {"TQKBLAOBJ2", 9, "8:0L 8:1L 35:2L 14:4R 14:7R 8:8R 5:9L 7:11R 7:12R"},
    {"TQKHAUOBJ0", 14, "7:1R 25:2L 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L"},
    {"TQKHAUOBJ1", 14, "7:1R 25:2L 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L"},
    {"TQKOJOUOBJ", 9, "9:0L 10:1L 35:2L 7:4L 7:5L 7:6L 15:7R 15:8R 1:9L"},
    {"TQKOSALOBJ", 4, "9:0L 9:1L 30:2L 15:4R"},
    {"TQKOSTAUFTOBJ", 8, "7:1R 30:2L 15:4R 15:6R 15:8R 15:9R 15:11R 15:12R"},
    {"TQKOSTOBJ", 3, "8:0L 8:1L 30:2L"},
    {"TQKPLAGOBJ0", 12, "7:3R 7:4R 7:5R 25:6L 25:7L 25:8L 20:9L 20:10L 20:11L 14:12R 14:13R 14:14R"},
    {"TQKPLANOBJ0", 10, "7:1R 9:2L 25:4L 7:5L 20:8R / 2:1R 5:2L 14:4L 25:5L 14:8R"},
    {"TQKPLANOBJ1", 8, "7:1R 9:2L 25:4L 14:5L 20:8R / 25:4L 25:6L 14:8R"},
    {"TQKPLANOBJ2", 12, "7:1R 9:2L 25:4L 14:5L 20:8R / 25:4L 25:6L 14:8R / 30:4L / 3:2R 6:3L 30:4L"},
    {"TQKSALOBJ0", 5, "7:1R 9:2L 25:3L 15:4R 5:5L"},
    {"TQKSALOBJ1", 14, "7:1R 25:2L 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L / 15:3R 15:4R 15:5L"},
    {"TQOPLIOBJ0", 10, "7:0L 8:1L 8:2L 8:3L 8:4L 14:5R 14:6R 14:7R 14:8R 2:9L"},
    {"TQOPLIOBJ1", 10, "8:0L 7:1L 8:2L 8:3L 8:4L 14:5R 14:6R 14:7R 14:8R 2:9L"},
    {"TQOPLIOBJ2", 10, "8:0L 7:1L 8:2L 8:3L 8:4L 14:5R 14:6R 14:7R 14:8R 2:9L"},
    {"TQPROBOBJ", 3, "3:1R 8:2R 15:3R"},
    {"TQSTAPELOBJ", 12, "8:0R 8:1L 25:2L 8:3R 15:4R 5:5L 8:6R 15:7R 5:8L 8:9R 15:10R 5:11L"},
    {"TQSVOROBJ0", 0, ""},
    {"TQUMSTATOBJ", 4, "8:1R 25:2L 34:3R 8:4R"},
    {"TQZMOBJ0", 3, "14:0L 12:1R 2:2L"},
};

const std::vector<TemplateEntry> kTabs = {
    {"TQANATAB", 4, "1 26 50 66"},
    {"TQBEXPTAB", 9, "1 12 19 35 43 48 57 67 79"},
    {"TQBILTAB0", 15, "1 5 9 48 52 56 66 70 74 84 88 92 100 104 108"},
    {"TQBILTAB1", 15, "1 5 9 48 52 56 66 70 74 84 88 92 100 104 108"},
    {"TQBJOUTAB0", 10, "10 11 21 31 74 90 99 115 123 137"},
    {"TQGUVTAB0", 15, "1 5 9 48 52 56 66 70 74 84 88 92 100 104 108"},
    {"TQGUVTAB1", 15, "1 5 9 48 52 56 66 70 74 84 88 92 100 104 108"},
    {"TQKBLATAB0", 11, "0 10 20 28 52 54 60 67 75 76 84"},
    {"TQKBLATAB1", 11, "0 10 20 44 78 80 86 93 101 102 108"},
    {"TQKBLATAB2", 13, "0 10 20 52 78 80 86 93 101 102 108 116 124"},
    {"TQKHAUTAB0", 7, "0 8 9 48 62 64 80"},
    {"TQKHAUTAB1", 7, "0 8 9 48 62 64 80"},
    {"TQKOJOUTAB", 10, "0 10 21 52 57 65 73 96 111 112"},
    {"TQKOSALTAB", 5, "0 10 20 30 50"},
    {"TQKOSTAUFTTAB", 13, "0 10 11 37 51 59 66 67 81 96 97 111 125"},
    {"TQKOSTTAB", 5, "0 10 20 21 50"},
    {"TQKPLAGTAB0", 15, "1 5 9 7 11 15 16 20 24 53 53 53 90 90 90"},
    {"TQKPLAGTAB1", 15, "1 5 9 7 11 15 16 20 24 53 53 53 82 82 82"},
    {"TQKPLANTAB0", 9, "1 7 9 12 20 40 46 66 80"},
    {"TQKPLANTAB1", 9, "1 7 9 12 20 40 46 66 80"},
    {"TQKSALTAB0", 7, "1 7 10 21 60 63 80"},
    {"TQKSALTAB1", 7, "1 7 9 48 62 64 80"},
    {"TQOPLITAB0", 10, "0 9 18 28 38 63 78 93 108 110"},
    {"TQOPLITAB1", 10, "0 10 18 28 38 63 78 93 108 110"},
    {"TQOPLITAB2", 10, "1 10 18 28 38 63 78 93 108 110"},
    {"TQPROBTAB", 4, "0 8 20 36"},
    {"TQSTAPELTAB", 12, "9 11 21 54 68 69 81 95 96 108 120 121"},
    {"TQSVORTAB0", 6, "0 38 58 72 90 92"},
    {"TQSVORTAB1", 7, "0 54 60 81 91 98 118"},
    {"TQUMSTATTAB", 5, "1 8 9 51 68"},
    {"TQZMTAB0", 4, "0 42 51 53"},
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

const TemplateEntry* Find(const std::vector<TemplateEntry>& table, std::string_view name) {
  for (const TemplateEntry& e : table)
    if (SameName(e.name, name)) return &e;
  return nullptr;
}

std::vector<TemplateObject> ParseObjects(const char* contents) {
  std::vector<TemplateObject> objects;
  std::istringstream in(contents);
  std::string word;
  while (in >> word) {
    if (word == "/") {
      objects.push_back(TemplateObject{});
      continue;
    }
    TemplateObject o;
    std::size_t colon = word.find(':');
    o.width = std::stoi(word.substr(0, colon));
    o.tab = std::stoi(word.substr(colon + 1));
    o.align = word.back() == 'R' ? kAlignRight : kAlignLeft;
    objects.push_back(o);
  }
  return objects;
}

}  // namespace

std::optional<std::vector<TemplateObject>> FindObjectTemplate(std::string_view name) {
  const TemplateEntry* e = Find(kObjects, name);
  if (!e) return std::nullopt;
  return ParseObjects(e->contents);
}

std::optional<std::vector<int>> FindTabTemplate(std::string_view name) {
  const TemplateEntry* e = Find(kTabs, name);
  if (!e) return std::nullopt;
  std::vector<int> tabs;
  std::istringstream in(e->contents);
  int position = 0;
  while (in >> position) tabs.push_back(position);
  return tabs;
}

std::string TemplateVariant(std::string_view name, int variant) {
  std::string result(name);
  if (!result.empty() && std::isdigit(static_cast<unsigned char>(result.back())))
    result.pop_back();
  result += static_cast<char>('0' + variant % 10);
  return result;
}

const std::vector<TemplateEntry>& ObjectTemplateTable() { return kObjects; }
const std::vector<TemplateEntry>& TabTemplateTable() { return kTabs; }

}  // namespace talvera
