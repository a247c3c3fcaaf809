// The I/O floor of a run: io_floor <out-file> <bytes> <table>... reads the
// tables whole and writes as many bytes as the run wrote, with plain
// buffered copies and no formatting at all.
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: io_floor <out-file> <bytes> <table>...\n");
    return 2;
  }
  std::vector<char> block(1 << 16);
  std::size_t read = 0;
  for (int i = 3; i < argc; ++i) {
    std::FILE* in = std::fopen(argv[i], "rb");
    if (in == nullptr) return 1;
    std::vector<char> whole;
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), in)) > 0)
      whole.insert(whole.end(), block.data(), block.data() + got);
    read += whole.size();
    std::fclose(in);
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  unsigned long long left = std::strtoull(argv[2], nullptr, 10);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('a' + (i + read) % 26);
  while (left > 0) {
    const std::size_t n = left < block.size() ? static_cast<std::size_t>(left) : block.size();
    if (std::fwrite(block.data(), 1, n, out) != n) return 1;
    left -= n;
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
