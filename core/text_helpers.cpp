#include "core/text_helpers.h"

#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "recman/durable_files.h"

namespace talvera {
namespace {

void PadWith(char* text, int width, char fill) {
  int n = static_cast<int>(std::strlen(text));
  if (n >= width) return;
  std::memmove(text + (width - n), text, n + 1);
  std::memset(text, fill, width - n);
}

void DropLeading(char* text, std::size_t count) {
  std::memmove(text, text + count, std::strlen(text + count) + 1);
}

}  // namespace

void PadLeft(char* text, int width) { PadWith(text, width, ' '); }
void PadLeftZero(char* text, int width) { PadWith(text, width, '0'); }

bool IsDigitsOnly(const char* text) {
  while (*text == ' ') ++text;
  for (; *text; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

void TrimLeft(char* text) { DropLeading(text, std::strspn(text, " ")); }
void TrimLeftTabs(char* text) { DropLeading(text, std::strspn(text, " \t")); }

void TrimRight(char* text) {
  std::size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ') --n;
  text[n] = '\0';
}

void HalfTrimLeft(char* text) { DropLeading(text, std::strspn(text, " ") / 2); }

void CutAtTab(char* text) {
  if (char* tab = std::strchr(text, '\t')) *tab = '\0';
}

void CopyLimited(char* dst, const char* src, std::size_t n) {
  if (n == 0) return;
  std::size_t len = std::strlen(src);
  if (len > n - 1) len = n - 1;
  std::memmove(dst, src, len);
  dst[len] = '\0';
}

void EnsureTrailingBackslash(std::string& path) {
  if (path.empty() || path.back() != '/') path += '/';
}

bool MakeDirectories(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // The levels that are new: each is durable once its parent is synced.
  std::vector<fs::path> created;
  for (fs::path p = fs::absolute(path, ec); !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    created.push_back(p);
    if (p == p.parent_path()) break;
  }
  fs::create_directories(path, ec);
  if (ec || !fs::is_directory(path, ec)) return false;
  bool synced = true;
  for (auto it = created.rbegin(); it != created.rend(); ++it)
    synced = recman::SyncParentDirectory(it->string()) && synced;
  return synced;
}

long long FreeDiskKilobytes(const std::string& path) {
  std::error_code ec;
  auto info = std::filesystem::space(path, ec);
  if (ec) return 10000;
  return static_cast<long long>(info.available / 1024);
}

}  // namespace talvera
