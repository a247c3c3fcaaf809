// Whole runs of the navigator on a synthetic basin: every reach a binary
// tree node draining to its parent, one section per reach. Measures loading
// (with its full dump) and the two walks over the whole basin.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "navigator/run_navigation.h"

namespace {

namespace fs = std::filesystem;

// Writes the three tables of a basin of n reaches into a fresh folder.
std::string MakeBasin(int n) {
  fs::path dir = fs::temp_directory_path() / ("rill_bench_" + std::to_string(n));
  if (fs::exists(dir / "rchdata.txt")) return dir.string() + "/";
  fs::create_directories(dir);
  std::ofstream rch(dir / "rchdata.txt"), flow(dir / "flowdata.txt"), sec(dir / "secdata.txt");
  char code[32];
  for (int i = 1; i <= n; ++i) {
    const int comId = 1000000 + i;
    const int meters = 100 + (i * 7919) % 4900;
    std::snprintf(code, sizeof code, "%014d", i);
    rch << comId << ',' << code << ",20080317,1," << meters << ',' << i << '\n';
    sec << "0,100," << 2 * i << ',' << (i > 1 ? 2 * (i / 2) : 1) << ',' << comId << ',' << meters << '\n';
    if (i > 1) flow << i - 1 << ',' << comId << ',' << 1000000 + i / 2 << ",0,709," << (i % 2) << '\n';
  }
  return dir.string() + "/";
}

void Run(benchmark::State& state, const char* request) {
  const int n = static_cast<int>(state.range(0));
  const std::string work = MakeBasin(n);
  // The deepest-left leaf of the tree: a long way down to the outlet.
  int leaf = 1;
  while (leaf * 2 <= n) leaf *= 2;
  char leafCode[32];
  std::snprintf(leafCode, sizeof leafCode, "%014d", leaf);
  std::string line = request;
  line.replace(line.find("LEAF"), 4, leafCode);
  line += "," + work + ",out.csv,./,0,0";
  for (auto _ : state) {
    int status = rill::RunNavigation(line, std::cerr);
    if (status != 0) state.SkipWithError("the run failed");
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void LoadOnly(benchmark::State& s) { Run(s, "0,LEAF,0,LEAF,0,D,0,MI,1"); }
void MainstemDown(benchmark::State& s) { Run(s, "1,LEAF,50,LEAF,0,D,0,MI,1"); }
void WholeBasinUp(benchmark::State& s) { Run(s, "2,00000000000001,0,LEAF,0,U,0,MI,1"); }

BENCHMARK(LoadOnly)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(MainstemDown)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(WholeBasinUp)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
