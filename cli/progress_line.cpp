#include "cli/progress_line.h"

#include <cstdio>

namespace rill {

void ProgressLine::Show(const BatchProgress& p) {
  const double rate = p.seconds > 0.0 ? static_cast<double>(p.done) / p.seconds : 0.0;
  if (p.total > 0) {
    const double left = rate > 0.0 && p.total > p.done ? static_cast<double>(p.total - p.done) / rate : 0.0;
    std::fprintf(stderr, "\r%zu of %zu requests, %.0f/s, %.0f s left   ", p.done, p.total, rate, left);
  } else {
    std::fprintf(stderr, "\r%zu requests, %.0f/s   ", p.done, rate);
  }
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::End() {
  if (shown_) std::fputc('\n', stderr);
  shown_ = false;
}

}  // namespace rill
