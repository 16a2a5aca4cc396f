// zivaout: the notifier that stands between TALVERA and its dependent
// applications. It reads 940-byte notices on standard input, answers each
// with one byte, and appends every notice as one readable line to
// notices.log in the settings directory, where dependent applications can
// follow it. A stop notice (first byte 0) ends it.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "core/cp1252.h"
#include "core/profile.h"

namespace {

constexpr std::size_t kNoticeSize = 940;

bool ReadNotice(unsigned char* m) {
  std::size_t got = 0;
  while (got < kNoticeSize) {
    ssize_t n = ::read(STDIN_FILENO, m + got, kNoticeSize - got);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::int32_t Int(const unsigned char* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// A text field of the payload, cut at its NUL or width, leading blanks dropped.
std::string Text(const unsigned char* p, std::size_t width) {
  std::size_t n = 0;
  while (n < width && p[n]) ++n;
  std::string s(reinterpret_cast<const char*>(p), n);
  s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
  return talvera::Cp1252ToUtf8(s);
}

const char* OperationName(std::int32_t op) {
  switch (op) {
    case 1: return "neu";
    case 2: return "geaendert";
    case 3: return "geloescht";
    default: return "?";
  }
}

std::string Describe(const unsigned char* m) {
  std::int32_t op = Int(m + 1), kind = Int(m + 5);
  const unsigned char* p = m + 9;
  std::string line = std::string(OperationName(op)) + "\t";
  if (kind == 16) {
    line += "Buchung\tMandant=" + std::to_string(Int(p)) + "\tStapel=" + std::to_string(Int(p + 4)) +
            "\tDatum=" + Text(p + 8, 7) + "\tBeleg=" + Text(p + 15, 9) + "\tText=" + Text(p + 24, 30);
    std::int32_t lines = Int(p + 55);
    line += "\tZeilen=" + std::to_string(lines);
    for (int i = 0; i < lines && i < 10; ++i) {
      const unsigned char* l = p + 59 + 84 * i;
      line += "\t" + Text(l, 8) + " an " + Text(l + 12, 8) + " " + Text(l + 24, 13);
      std::string tax = Text(l + 43, 13);
      if (!tax.empty()) line += " USt " + Text(l + 37, 6) + "% " + tax;
    }
    return line;
  }
  const char* kindName = kind == 1 ? "Sachkonto" : kind == 2 ? "Kreditor" : kind == 4 ? "Debitor" : "?";
  line += std::string(kindName) + "\tMandant=" + std::to_string(Int(p)) + "\tKonto=" + Text(p + 4, 8) +
          "\tKuerzel=" + Text(p + 12, 9) + "\tName=" + Text(p + 21, 26);
  return line;
}

}  // namespace

int main() {
  std::string log = talvera::SettingsDirectory() + "/notices.log";
  unsigned char m[kNoticeSize];
  while (ReadNotice(m)) {
    if (m[0] != 0) {
      if (std::FILE* f = std::fopen(log.c_str(), "a")) {
        std::fprintf(f, "%s\n", Describe(m).c_str());
        std::fclose(f);
      }
    }
    const unsigned char ack = 1;
    if (::write(STDOUT_FILENO, &ack, 1) != 1) return 1;
    if (m[0] == 0) return 0;
  }
  return 0;
}
