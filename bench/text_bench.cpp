// The text layer against the C library it must match: writing measures with
// %10.5f and reading decimal fields.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "text/format.h"
#include "text/number_text.h"

namespace {

// Measures and lengths as they occur in a network: 0 to 100000, a few decimals.
std::vector<double> Measures() {
  std::mt19937_64 random(1);
  std::vector<double> values(4096);
  for (double& v : values) v = static_cast<double>(random() % 100000000) / 1000.0;
  return values;
}

std::vector<std::string> MeasureTexts() {
  std::vector<std::string> texts;
  char buf[64];
  for (double v : Measures()) {
    std::snprintf(buf, sizeof buf, "%.3f", v);
    texts.emplace_back(buf);
  }
  return texts;
}

void BM_AppendFixed(benchmark::State& state) {
  const std::vector<double> values = Measures();
  std::string out;
  std::size_t i = 0;
  for (auto _ : state) {
    out.clear();
    rill::AppendFixed(out, values[i++ & 4095], 10, 5);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_AppendFixed);

void BM_SnprintfFixed(benchmark::State& state) {
  const std::vector<double> values = Measures();
  char buf[512];
  std::size_t i = 0;
  for (auto _ : state) {
    int n = std::snprintf(buf, sizeof buf, "%10.5f", values[i++ & 4095]);
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_SnprintfFixed);

void BM_AppendPrintfLine(benchmark::State& state) {
  const std::vector<double> values = Measures();
  std::string out;
  std::size_t i = 0;
  for (auto _ : state) {
    out.clear();
    const double v = values[i++ & 4095];
    rill::AppendPrintf(out, "%10d,%10.5f,%10.5f,%s\n", static_cast<int>(i), v, v * 0.5, "reach");
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_AppendPrintfLine);

void BM_SnprintfLine(benchmark::State& state) {
  const std::vector<double> values = Measures();
  char buf[512];
  std::size_t i = 0;
  for (auto _ : state) {
    const double v = values[i++ & 4095];
    int n = std::snprintf(buf, sizeof buf, "%10d,%10.5f,%10.5f,%s\n", static_cast<int>(i), v, v * 0.5, "reach");
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_SnprintfLine);

void BM_ReadDecimal(benchmark::State& state) {
  const std::vector<std::string> texts = MeasureTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(rill::ReadDecimal(texts[i++ & 4095].c_str()));
}
BENCHMARK(BM_ReadDecimal);

void BM_Strtod(benchmark::State& state) {
  const std::vector<std::string> texts = MeasureTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(std::strtod(texts[i++ & 4095].c_str(), nullptr));
}
BENCHMARK(BM_Strtod);

void BM_ReadWhole(benchmark::State& state) {
  std::vector<std::string> texts;
  std::mt19937_64 random(2);
  for (int k = 0; k < 4096; ++k) texts.push_back(std::to_string(random() % 100000000));
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(rill::ReadWhole(texts[i++ & 4095].c_str()));
}
BENCHMARK(BM_ReadWhole);

void BM_Atol(benchmark::State& state) {
  std::vector<std::string> texts;
  std::mt19937_64 random(2);
  for (int k = 0; k < 4096; ++k) texts.push_back(std::to_string(random() % 100000000));
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(std::atol(texts[i++ & 4095].c_str()));
}
BENCHMARK(BM_Atol);

}  // namespace
