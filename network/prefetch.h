#pragma once

namespace rill {

// Starts fetching the cache line at `p` for a read that comes soon. The
// loops of a load that look ids up at random ask a few steps ahead, so that
// the memory's latency is paid for many lookups at once.
inline void PrefetchRead(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

}  // namespace rill
