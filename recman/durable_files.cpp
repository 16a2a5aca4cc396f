#include "durable_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace recman {
namespace {

void (*g_observer)(const std::string&) = nullptr;
// Far longer than any commit takes from creating its super-journal to
// naming it in the child journals.
constexpr std::chrono::seconds kSettled{60};

// The child journals a super-journal lists: NUL-terminated UTF-8 names.
std::vector<std::string> ChildJournals(const std::string& superJournal) {
  std::ifstream in(superJournal, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> names;
  std::string::size_type start = 0;
  while (start < content.size()) {
    std::string::size_type end = content.find('\0', start);
    if (end == std::string::npos) end = content.size();
    if (end > start) names.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace

bool SyncDirectory(const std::string& directory) {
  if (g_observer) g_observer(directory);
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

bool SyncParentDirectory(const std::string& path) {
  fs::path parent = fs::path(path).parent_path();
  return SyncDirectory(parent.empty() ? "." : parent.string());
}

void SetDirectorySyncObserver(void (*observer)(const std::string&)) { g_observer = observer; }

int RemoveStaleSuperJournals(const std::string& database) {
  fs::path db(database);
  std::string prefix = db.filename().string() + "-mj";
  std::error_code ec;
  int removed = 0;
  for (const auto& entry : fs::directory_iterator(db.parent_path(), ec)) {
    std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) != 0 || !entry.is_regular_file(ec)) continue;
    // A fresh one may belong to a commit that has not written its names yet.
    auto age = fs::file_time_type::clock::now() - entry.last_write_time(ec);
    if (ec || age < kSettled) continue;
    bool referable = false;
    for (const std::string& journal : ChildJournals(entry.path().string()))
      referable = referable || fs::exists(journal, ec);
    if (!referable && fs::remove(entry.path(), ec)) ++removed;
  }
  if (removed) SyncDirectory(db.parent_path().string());
  return removed;
}

}  // namespace recman
