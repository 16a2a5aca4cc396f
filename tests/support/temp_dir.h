// A fresh temporary directory per test, removed afterwards, and the settings
// directory pointed at it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace talvera::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvera-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    path_ = made ? made : pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Points TALVERA_WINDIR at a temporary settings directory for one test.
class TempSettingsDir : public TempDir {
 public:
  TempSettingsDir() { ::setenv("TALVERA_WINDIR", path().c_str(), 1); }
  ~TempSettingsDir() { ::unsetenv("TALVERA_WINDIR"); }
};

}  // namespace talvera::testing
