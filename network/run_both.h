// Two independent pieces of a load's work, on two threads when the load may
// use a second one.
#pragma once

#ifdef RILL_THREADS
#include <future>
#endif

namespace rill {

// Runs `first` and `second`, side by side when `concurrent`, `first` always
// on the calling thread (so it may write what only that thread writes).
// Both are done when it returns, also when one of them throws (the first
// exception is passed on).
template <typename First, typename Second>
void RunBoth(bool concurrent, First first, Second second) {
#ifdef RILL_THREADS
  if (concurrent) {
    std::future<void> other = std::async(std::launch::async, std::move(second));
    first();
    other.get();
    return;
  }
#else
  (void)concurrent;
#endif
  first();
  second();
}

}  // namespace rill
