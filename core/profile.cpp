#include "core/profile.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "recman/durable_files.h"

namespace talvera {
namespace {

std::string_view Trim(std::string_view s) {
  const char* ws = " \t\r";
  std::size_t b = s.find_first_not_of(ws);
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(ws);
  return s.substr(b, e - b + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x < 0x80 && y < 0x80) {
      if (std::tolower(x) != std::tolower(y)) return false;
    } else if (x != y) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The section name when the line is a section header.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.size() >= 2 && line.front() == '[') {
    std::size_t close = line.find(']');
    if (close != std::string_view::npos) return Trim(line.substr(1, close - 1));
  }
  return std::nullopt;
}

// Key and value of a "key=value" line; comments and other lines give nothing.
bool SplitEntry(std::string_view line, std::string_view* key, std::string_view* value) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return false;
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(t.substr(0, eq));
  *value = Trim(t.substr(eq + 1));
  return true;
}

struct Found {
  long sectionLine = -1;  // header line of the section
  long keyLine = -1;      // line of the key within it
  long lastEntryLine = -1;  // last non-empty line of the section
  std::string value;
};

Found Find(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
  Found f;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionOf(lines[i])) {
      if (inSection) break;  // the first matching section counts
      inSection = EqualNoCase(*name, section);
      if (inSection) f.sectionLine = f.lastEntryLine = static_cast<long>(i);
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i]).empty()) f.lastEntryLine = static_cast<long>(i);
    std::string_view k, v;
    if (f.keyLine < 0 && SplitEntry(lines[i], &k, &v) && EqualNoCase(k, key)) {
      f.keyLine = static_cast<long>(i);
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      f.value = std::string(v);
    }
  }
  return f;
}

bool WriteWhole(const std::string& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  std::string temp = file + ".tmp" + std::to_string(::getpid());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) {
      ::close(fd);
      ::unlink(temp.c_str());
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  bool ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), file.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // Until its directory is synced, a power cut may still lose the rename.
  return recman::SyncParentDirectory(file);
}

}  // namespace

std::string SettingsDirectory() {
  if (const char* dir = std::getenv("TALVERA_WINDIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::string(xdg) + "/talvera";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.config/talvera";
}

std::string TalviIniPath() { return SettingsDirectory() + "/TALVI.INI"; }
std::string WinIniPath() { return SettingsDirectory() + "/WIN.INI"; }

ProfileSnapshot::ProfileSnapshot(const std::string& file) : lines_(ReadLines(file)) {}

std::string ProfileSnapshot::Get(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  Found f = Find(lines_, section, key);
  if (f.keyLine < 0) return std::string(defaultValue);
  return f.value;
}

int ProfileSnapshot::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  Found f = Find(lines_, section, key);
  if (f.keyLine < 0) return defaultValue;
  return static_cast<int>(std::strtol(f.value.c_str(), nullptr, 10));
}

std::string ProfileGetString(const std::string& file, std::string_view section,
                             std::string_view key, std::string_view defaultValue) {
  return ProfileSnapshot(file).Get(section, key, defaultValue);
}

int ProfileGetInt(const std::string& file, std::string_view section, std::string_view key,
                  int defaultValue) {
  return ProfileSnapshot(file).GetInt(section, key, defaultValue);
}

bool ProfileWriteString(const std::string& file, std::string_view section, std::string_view key,
                        std::optional<std::string_view> value) {
  std::vector<std::string> lines = ReadLines(file);
  Found f = Find(lines, section, key);
  std::string entry = value ? std::string(key) + "=" + std::string(*value) : std::string();
  if (f.keyLine >= 0) {
    if (value)
      lines[f.keyLine] = entry;
    else
      lines.erase(lines.begin() + f.keyLine);
  } else if (!value) {
    return true;
  } else if (f.sectionLine >= 0) {
    lines.insert(lines.begin() + f.lastEntryLine + 1, entry);
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }
  return WriteWhole(file, lines);
}

}  // namespace talvera
