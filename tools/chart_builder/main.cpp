// talvi-charts SOURCE_DIR OUTPUT_DIR [LETTERS]
//
// Builds the chart templates <file>.bt<letter> from the text tables in
// SOURCE_DIR (resources/charts) into OUTPUT_DIR, for every chart or the
// letters given ("34AG"). Every rule a chart breaks is printed with file
// and line; then nothing is written and the exit status is 1.
#include <cstdio>
#include <filesystem>
#include <string>

#include "recman/recman.h"
#include "tools/chart_builder/chart_rules.h"
#include "tools/chart_builder/template_writer.h"

using namespace talvera::charts;

namespace {

bool Wanted(const ChartDefinition& chart, const char* letters) {
  return !letters || std::string(letters).find(chart.letter) != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "Aufruf: talvi-charts QUELLVERZEICHNIS ZIELVERZEICHNIS [34AG]\n");
    return 2;
  }
  const std::string sourceRoot = argv[1], target = argv[2];
  const char* letters = argc == 4 ? argv[3] : nullptr;

  std::vector<std::pair<const ChartDefinition*, ChartTemplate>> prepared;
  Diagnostics diagnostics;
  for (const ChartDefinition& chart : AllCharts()) {
    if (!Wanted(chart, letters)) continue;
    ChartTemplate content;
    if (PrepareChart(sourceRoot, chart, content, diagnostics))
      prepared.emplace_back(&chart, std::move(content));
  }
  if (!diagnostics.empty()) {
    for (const std::string& line : diagnostics.lines()) std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
  }

  std::error_code error;
  std::filesystem::create_directories(target, error);
  bool ok = true;
  for (const auto& [chart, content] : prepared) {
    ok = WriteChartTemplate(content, chart->letter, target);
    if (!ok) {
      std::fprintf(stderr, "Vorlage %s kann nicht geschrieben werden\n", chart->name);
      break;
    }
    std::printf("%-20s %4zu Konten, %2zu Steuersätze -> %s\n", chart->name,
                content.source.accounts.size(), content.source.rates.size(),
                TemplatePath(target, "*", chart->letter).c_str());
  }
  recman::Shutdown();
  return ok ? 0 : 1;
}
