// Many navigations per load: the one batch engine of every front end (the
// batch command, the Python and R packages, and those to come). Requests come from
// a source (a CSV file, or columns in memory), are navigated on tables
// loaded once per folder, on every core, each exactly as a single run would,
// and their outcomes go, as values, in request order, to a sink: the
// batch's files (RESULTS, STATUS, LOG) are one sink, a data frame another.
//
// The layer owns the requests table's columns and their reading into the
// navigation interface's request, the cache of loaded table folders, the
// worker threads and the ordering of outcomes. It calls the navigation
// interface and the text layer. A line that cannot be a request, a folder
// whose tables cannot be read, a failed navigation: each becomes that
// request's status and message; what stops the whole batch comes back as
// the Status of its summary. Nothing here prints, exits or parses options.
#pragma once

#include "batch/batch_engine.h"
#include "batch/batch_files.h"
#include "batch/columns_sink.h"
#include "batch/features_file.h"
#include "batch/network_handle.h"
#include "batch/outcome_sink.h"
#include "batch/request_columns.h"
#include "batch/request_outcome.h"
#include "batch/request_source.h"
#include "batch/row_columns.h"
#include "batch/run_batch.h"
#include "batch/site_table.h"
#include "batch/site_values.h"
#include "batch/sites_passed.h"
#include "batch/table_cache.h"
