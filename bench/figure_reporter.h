// Console output of Google Benchmark plus one "FIGURE <name> <ns>" line per
// benchmark, the form our measurement scripts read.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ostream>
#include <string>

class FigureReporter : public benchmark::ConsoleReporter {
 public:
  FigureReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      std::string name = run.benchmark_name();
      for (char& c : name)
        if (c == '/' || c == ' ') c = '_';
      char line[256];
      std::snprintf(line, sizeof line, "FIGURE %s_ns %.2f\n", name.c_str(),
                    run.GetAdjustedRealTime());
      GetOutputStream() << line;
    }
  }
};

#define TALVERA_BENCHMARK_MAIN()                            \
  int main(int argc, char** argv) {                         \
    benchmark::Initialize(&argc, argv);                     \
    FigureReporter reporter;                                \
    benchmark::RunSpecifiedBenchmarks(&reporter);           \
    benchmark::Shutdown();                                  \
    return 0;                                               \
  }
