// The state of one navigation pass and the context every walk works with:
// the passages found, the pieces passed in part, the status flags and the
// next-row memo. A fresh state is made for every pass.
#pragma once

#include "navstate/nav_state.h"
#include "navstate/next_row_memo.h"
#include "navstate/result_list.h"
