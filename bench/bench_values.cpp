// Times the value-text operations that reports and postings run per line.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/amount.h"
#include "core/period_date.h"
#include "figure_reporter.h"

using namespace talvera;

static void BM_AmountAdd(benchmark::State& state) {
  AmountText sum = "000000000,00";
  for (auto _ : state) {
    AmountAdd(sum, "000001234,56", "000000012-30");
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AmountAdd);

static void BM_AmountParse(benchmark::State& state) {
  char buf[32];
  for (auto _ : state) {
    std::strcpy(buf, "-1.234.567,8");
    AmountParseWith(buf, kAmountWidth, true, false);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_AmountParse);

static void BM_AmountFormat(benchmark::State& state) {
  AmountDisplayText buf;
  for (auto _ : state) {
    std::strcpy(buf, "001234567-89");
    AmountFormat(buf);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_AmountFormat);

static void BM_ParseDate(benchmark::State& state) {
  char buf[16];
  for (auto _ : state) {
    std::strcpy(buf, "15.03.1997");
    ParseDate(buf);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_ParseDate);

TALVERA_BENCHMARK_MAIN()
