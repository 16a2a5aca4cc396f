// A Mandant with the files the bank and currency administration use: the
// Sachkonten 1200 "Bank" and 1800 "Post", Debitor 10000, fiscal year 1996
// from January, today 15.05.1996.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "accounts/currency_rates.h"
#include "core/layouts/create_file.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "recman/recman.h"
#include "support/temp_dir.h"

namespace talvera::testing {

class AccountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "15.05.1996", 1);
    ResetDayToday();
    CurrentSettings() = Settings{};
    CurrentMandant() = MandantValues{};
    SetDataRoot(data_.path());
    SetMandantNumber(1);
    SetFiscalYears("1996", "");
    dir_ = YearDirectory("1996");
    std::filesystem::create_directories(dir_);
    for (const char* file : {"sako", "debi", "kred", "bank", "ueberw", "kurse", "stapel"})
      ASSERT_TRUE(layouts::CreateFile(dir_, file)) << file;
    AddSachkonto("   1200", "Bank");
    AddSachkonto("   1800", "Post");
    namespace p = layouts::personal;
    std::vector<char> d(p::kLayout.recordLength);
    layouts::InitRecord(p::kLayout, d.data());
    layouts::SetRawText(d.data(), p::kAccountNo, "  10000");
    ASSERT_TRUE(Insert(d.data(), kSlotDebi));
    CurrentRateTable().Clear();
  }
  void TearDown() override {
    SetMainFilesSeams({});
    SetRateEntryOpener(nullptr);
    CurrentRateTable().Clear();
    Transaction(kAbort);
    CloseAll();
    recman::Shutdown();
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
  }
  void AddSachkonto(const char* number, const char* code) {
    namespace s = layouts::sako;
    std::vector<char> r(s::kLayout.recordLength);
    layouts::InitRecord(s::kLayout, r.data());
    layouts::SetRawText(r.data(), s::kAccountNo, number);
    layouts::SetText(r.data(), s::kShortCode, code);
    ASSERT_TRUE(Insert(r.data(), kSlotSako));
  }
  // "15.03.1996" as DDPPYY.
  static std::string Date(const char* shown) {
    char text[16];
    std::snprintf(text, sizeof text, "%s", shown);
    EXPECT_EQ(ParseDate(text), kDateOk) << shown;
    return text;
  }

  TempSettingsDir settings_;
  TempDir data_;
  std::string dir_;
  MessageRecorder messages_;
};

}  // namespace talvera::testing
