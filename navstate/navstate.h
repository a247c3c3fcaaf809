// The state of one navigation pass and the context every walk works with:
// the passages found, the pieces passed in part, the status flags and the
// next-row memo, and what a walk is asked to do (walk_request.h: the kinds,
// directions, units and points in types). A fresh state is made for every
// pass.
//
// Headers only; it sees the tables (network/) and the text layer. Nothing
// here fails but by running out of memory.
#pragma once

#include "navstate/nav_state.h"
#include "navstate/next_row_memo.h"
#include "navstate/result_list.h"
#include "navstate/walk_request.h"
