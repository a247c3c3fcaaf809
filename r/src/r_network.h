// The objects R holds: a network's loaded tables and a site table placed on
// them, each behind an external pointer. A pointer that R restored from a
// saved session or received from another process is empty; using it is an
// R error naming the argument, never a crash.
#pragma once

#include <Rcpp.h>

#include "batch/batch.h"

namespace rill::r {

// The network behind `net`'s pointer; an R error naming `net` when empty.
const NetworkHandle& NetworkOf(SEXP pointer);

// The sites behind `features`'s pointer, placed on `network`; nullptr for
// R's NULL; an R error naming `features` when empty or placed elsewhere.
const NetworkSites* SitesOf(SEXP pointer, const NetworkHandle& network);

// "exact" or "reach"; an R error naming feature_match otherwise.
FeatureMatch MatchOf(const std::string& word);

}  // namespace rill::r
