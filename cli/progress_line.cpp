#include "cli/progress_line.h"

#include <cstdio>

namespace rill {

void BatchProgressLine::Show(const BatchProgress& p) {
  const double rate = p.seconds > 0.0 ? static_cast<double>(p.done) / p.seconds : 0.0;
  char text[160];
  if (p.total > 0) {
    const double left = rate > 0.0 && p.total > p.done ? static_cast<double>(p.total - p.done) / rate : 0.0;
    std::snprintf(text, sizeof text, "%zu of %zu requests, %.0f/s, %.0f s left", p.done, p.total, rate, left);
  } else {
    std::snprintf(text, sizeof text, "%zu requests, %.0f/s", p.done, rate);
  }
  line_.Show(text);
}

}  // namespace rill
