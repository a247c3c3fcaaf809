// Writes a synthetic basin: gen_basin <reaches> <folder/> [seed]. Prints the
// outlet's code and the code of the farthest headwater.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/basin/basin_generator.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: gen_basin <reaches> <folder/> [seed]\n");
    return 2;
  }
  rill::bench::BasinShape shape;
  shape.reaches = static_cast<std::int32_t>(std::atol(argv[1]));
  if (argc > 3) shape.seed = std::strtoull(argv[3], nullptr, 10);
  const auto ends = rill::bench::WriteBasin(shape, argv[2]);
  if (!ends) {
    std::fprintf(stderr, "gen_basin: the tables could not be written into %s\n", argv[2]);
    return 1;
  }
  std::printf("outlet %s\nheadwater %s\n", ends->outlet.c_str(), ends->headwater.c_str());
  return 0;
}
