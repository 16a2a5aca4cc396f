// Profile files (TALVI.INI, WIN.INI): UTF-8 INI files in the settings
// directory, read and written with the semantics of the Windows profile
// calls. Sections and keys are found case-insensitively, a missing key gives
// the default, writing a key keeps every other line of the file. A file is
// rewritten through a temporary file and a rename, so a crash never leaves a
// cut file behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvera {

// $TALVERA_WINDIR, else $XDG_CONFIG_HOME/talvera, else ~/.config/talvera.
std::string SettingsDirectory();
std::string TalviIniPath();  // <settings directory>/TALVI.INI
std::string WinIniPath();    // <settings directory>/WIN.INI
inline constexpr char kTalviSection[] = "TALVI";

// A profile file read once, for reading many keys of it (start-up reads
// every setting). Reading follows the rules of ProfileGetString/ProfileGetInt.
class ProfileSnapshot {
 public:
  explicit ProfileSnapshot(const std::string& file);
  std::string Get(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

 private:
  std::vector<std::string> lines_;
};

std::string ProfileGetString(const std::string& file, std::string_view section,
                             std::string_view key, std::string_view defaultValue);
// The leading decimal number of the value (0 when it has none); the default
// when the key is missing.
int ProfileGetInt(const std::string& file, std::string_view section, std::string_view key,
                  int defaultValue);
// Writes key=value; no value removes the key. Creates file and section as
// needed. False when the file cannot be written.
bool ProfileWriteString(const std::string& file, std::string_view section, std::string_view key,
                        std::optional<std::string_view> value);

}  // namespace talvera
