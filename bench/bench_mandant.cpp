// bench-mandant: creating a Mandant from each chart template.
//
// The built templates (build/charts) are put into a fresh data root; then
// Mandanten are created from SKR 03, SKR 04, the RLG chart and the basic
// chart, several of each, the way the creation dialog does it: master
// record, year directory, file set with the chart's five files copied, and
// the settings. The slowest creation of each chart is the figure (target:
// under 2 s).
//
//   bench-mandant [rounds]
//
// Prints "FIGURE mandant_create_<chart>_s <seconds>" lines.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
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
#include "recman/recman.h"
#include "temp_directory.h"

namespace {

using namespace talvera;
using Clock = std::chrono::steady_clock;

std::string TemplatePath(const std::string& dir, const char* file, char letter) {
  return dir + "/" + file + ".bt" + letter;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
  std::string settings = TempDirectory("bench-mandant-ini");
  std::string root = TempDirectory("bench-mandant");
  if (settings.empty() || root.empty()) {
    std::fprintf(stderr, "no temporary directory\n");
    return 1;
  }
  ::setenv("TALVERA_WINDIR", settings.c_str(), 1);
  ::setenv("TALVERA_TODAY", "02.01.2026", 1);

  SetDataRoot(root);
  for (const charts::ChartDefinition& chart : charts::AllCharts())
    for (const char* file : {"sako", "steke", "guvauf", "bilaktau", "bilpasau"})
      if (recman::CopyFile(TemplatePath(TALVERA_CHARTS, file, chart.letter),
                           TemplatePath(root, file, chart.letter)) != recman::kOk) {
        std::fprintf(stderr, "template %s.bt%c missing in %s\n", file, chart.letter, TALVERA_CHARTS);
        return 1;
      }
  MessageRecorder messages;
  if (!ConvertMasterFile()) {
    std::fprintf(stderr, "master file cannot be created\n");
    return 1;
  }
  CurrentSpecialAccounts() = DefaultSpecialAccounts();
  SetMandantSeams({});
  SetMainFilesSeams({});

  bool ok = true;
  int serial = 0;
  for (const charts::ChartDefinition& chart : charts::AllCharts()) {
    double slowest = 0;
    for (int i = 0; i < rounds && ok; ++i) {
      NewMandant in;
      in.year = "2026";
      in.name = std::string("Firma ") + chart.letter + " " + std::to_string(++serial);
      in.taxOffice = "Finanzamt Mitte";
      in.taxNumber = "12/345/67890";
      in.chart = chart.letter;
      int number = 0;
      Clock::time_point start = Clock::now();
      ok = CreateMandant(in, &number);
      slowest = std::max(slowest, std::chrono::duration<double>(Clock::now() - start).count());
      CloseAll();
    }
    if (!ok) {
      std::fprintf(stderr, "creating a Mandant from %s failed\n", chart.name);
      break;
    }
    std::string name = chart.folder;
    std::printf("FIGURE mandant_create_%s_s %.4f\n", name.c_str(), slowest);
  }
  recman::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  std::filesystem::remove_all(settings, ec);
  return ok ? 0 : 1;
}
