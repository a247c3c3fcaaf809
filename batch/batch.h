// Many navigations per load: a table of requests navigated on tables loaded
// once per folder, on every core, each request's rows exactly those of a
// single run, gathered in one table in request order.
//
// The layer owns the requests table's columns and their reading into the
// navigation interface's request, the cache of loaded table folders, the
// worker threads and the ordered writing of RESULTS, STATUS and LOG. It
// calls the navigation interface and the text layer (the CSV reader). A line
// that cannot be a request, a folder whose tables cannot be read, a failed
// navigation: each becomes that request's status and message in STATUS; what
// stops the whole batch comes back as BatchResult's status and message,
// which the program prints. Nothing here prints or exits.
#pragma once

#include "batch/batch_command.h"
#include "batch/request_columns.h"
#include "batch/request_outcome.h"
#include "batch/run_batch.h"
#include "batch/table_cache.h"
