// Splitting a reach that others join in its interior into its sections, so
// that an upstream walk outputs it section by section.
#pragma once

#include <cstdint>

#include "navstate/nav_state.h"

namespace rill {

// Records the sections of the reach as pieces, chained upward from measure
// 0, each next section starting exactly where the last one ended (the
// shortest one where several start there). With a measure (anything but
// exactly -1.0) the chain begins at that measure and the first section must
// reach it. Only an upstream walk records anything; nothing at all happens
// unless some row joins the reach in its interior.
// `id` is the reach's dense id; the short form looks it up.
void AddSections(NavContext& ctx, std::int32_t comId, std::int32_t id, double measure, bool upstream);
inline void AddSections(NavContext& ctx, std::int32_t comId, double measure, bool upstream) {
  AddSections(ctx, comId, ctx.tables.IdOf(comId), measure, upstream);
}

}  // namespace rill
