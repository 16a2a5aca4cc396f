// The small SKR 03 Mandant in 1996 with the previous year 1995, its trees
// included, open, in a data root and settings folder of its own; Debitor
// 10000, Kreditor 70000 ("Lief"), cost centres 100 ("Verw") and 200.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "recman/recman.h"
#include "support/small_mandant.h"
#include "support/temp_dir.h"

namespace talvera::testing {

class SmallAccountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "15.05.1996", 1);
    ResetDayToday();
    SetDataRoot(data_.path());
    SetSmallMandantValues("1996", "1995");
    std::strcpy(CurrentMandant().currentYear, "1996");
    std::strcpy(CurrentMandant().previousYear, "1995");
    CurrentSettings() = Settings{};
    CurrentSettings().land = "D";
    for (const char* year : {"1996", "1995"}) {
      ASSERT_TRUE(BuildSmallMandantYear(TALVERA_CHARTS, year));
      for (const char* f : {"guvauf", "bilaktau", "bilpasau"})
        ASSERT_EQ(recman::CopyFile(std::string(TALVERA_CHARTS) + "/" + f + ".bt3",
                                   YearDirectory(year) + "/" + f + ".btr"), 0);
    }
    ASSERT_TRUE(OpenMainFiles());
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
  }

  TempSettingsDir settings_;
  TempDir data_;
  MessageRecorder messages_;
};

}  // namespace talvera::testing
