// A data root with the four chart templates, a settings directory and a
// message recorder per test; the templates are built once per program.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/charts/chart_catalog.h"
#include "core/mandant/create_mandant.h"
#include "core/mandant/data_conversion.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant/special_accounts.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "recman/recman.h"
#include "support/temp_dir.h"
#include "tools/chart_builder/chart_rules.h"
#include "tools/chart_builder/template_writer.h"

namespace talvera::testing {

class ChartTemplates : public ::testing::Environment {
 public:
  static inline std::unique_ptr<TempDir> dir;
  void SetUp() override {
    dir = std::make_unique<TempDir>();
    for (const charts::ChartDefinition& chart : charts::AllCharts()) {
      charts::ChartTemplate prepared;
      charts::Diagnostics diagnostics;
      ASSERT_TRUE(charts::PrepareChart(TALVERA_CHART_SOURCES, chart, prepared, diagnostics));
      ASSERT_TRUE(charts::WriteChartTemplate(prepared, chart.letter, dir->path()));
    }
    recman::Shutdown();
  }
  void TearDown() override {
    recman::Shutdown();
    dir.reset();
  }
};

// Notices shown through the Mandant seams, in order.
inline std::vector<std::string>& ShownNotices() {
  static std::vector<std::string> notices;
  return notices;
}

class MandantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "15.05.1996", 1);
    ResetDayToday();
    SetDataRoot(data_.path());
    for (const charts::ChartDefinition& chart : charts::AllCharts())
      for (const char* file : {"sako", "steke", "guvauf", "bilaktau", "bilpasau"})
        ASSERT_EQ(recman::CopyFile(charts::TemplatePath(ChartTemplates::dir->path(), file, chart.letter),
                                   charts::TemplatePath(data_.path(), file, chart.letter)),
                  recman::kOk);
    ASSERT_TRUE(ConvertMasterFile());  // creates the empty master file
    CurrentMandant() = MandantValues{};
    CurrentMandantSettings() = MandantSettings{};
    CurrentSpecialAccounts() = DefaultSpecialAccounts();
    ShownNotices().clear();
    MandantSeams seams;
    seams.showNotice = [](const char*, const std::string& text) { ShownNotices().push_back(text); };
    SetMandantSeams(seams);
    SetMainFilesSeams({});
  }
  void TearDown() override {
    CloseAll();
    SetMandantSeams({});
    recman::Shutdown();
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
    SetMandantNumber(1);
  }

  // Creates a Mandant; its number, 0 on failure.
  int Create(const std::string& name, char chart = '3', const std::string& year = "1996",
             int startMonth = 1) {
    NewMandant in;
    in.year = year;
    in.startMonth = startMonth;
    in.name = name;
    in.taxOffice = "Finanzamt Mitte";
    in.taxNumber = "12/345/67890";
    in.chart = chart;
    int number = 0;
    return CreateMandant(in, &number) ? number : 0;
  }

  TempSettingsDir settings_;
  TempDir data_;
  MessageRecorder messages_;
};

}  // namespace talvera::testing
