// A small Mandant of two fiscal years (2025 and 2026, made from the chart
// templates) in a fresh data root with its own settings folder, for the
// benchmarks of the screen's windows and dialogs. Both directories are
// removed when it goes.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "core/record_store.h"
#include "support/small_mandant.h"
#include "temp_directory.h"

class SmallMandantRoot {
 public:
  SmallMandantRoot() = default;
  SmallMandantRoot(const SmallMandantRoot&) = delete;
  SmallMandantRoot& operator=(const SmallMandantRoot&) = delete;
  ~SmallMandantRoot() {
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    if (!settings_.empty()) std::filesystem::remove_all(settings_, ec);
  }

  // Makes the directories (named after the benchmark), points the program
  // at them and builds both years; false when any of it fails.
  bool Make(const std::string& name) {
    root_ = TempDirectory(name);
    settings_ = TempDirectory(name + "-ini");
    if (root_.empty() || settings_.empty()) return false;
    ::setenv("TALVERA_WINDIR", settings_.c_str(), 1);
    talvera::SetDataRoot(root_);
    talvera::testing::SetSmallMandantValues("2026", "2025");
    for (const char* year : {"2025", "2026"})
      if (!talvera::testing::BuildSmallMandantYear(TALVERA_CHARTS, year)) return false;
    return true;
  }

 private:
  std::string root_, settings_;
};
