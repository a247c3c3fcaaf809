// The navigation interface: the one header through which every program (the
// single run, the batch, rillgeo, the Python module) reaches the core.
//
// It owns the request in types (navigation/request.h) and its field
// conversions, Navigate, which resolves the points to reaches once and runs
// the walks below it (mainstem/, netwalk/), what a navigation found as
// values (navigation/navigation_result.h: rows, status digits, notes, pieces,
// a refusal) and the one formatter of those values as the text of the
// programs' files (navigation/result_text.h). It re-exports
// what a caller needs from below: loading the tables (network/) and the text
// layer's writers and readers (text/).
//
// Nothing here prints, exits or picks an exit status. Tables that cannot be
// read come back as a Status naming the file; a request that cannot be
// walked comes back as a Navigation whose status digits and notes say why;
// a request that contradicts itself comes back with its `refusal`; only
// running out of memory throws (std::bad_alloc).
#pragma once

#include "navigation/named_request.h"
#include "navigation/navigate.h"
#include "navigation/navigation_result.h"
#include "navigation/request.h"
#include "navigation/result_text.h"
#include "network/table_loader.h"
#include "text/text.h"
