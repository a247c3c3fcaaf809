// Many navigations per load: a table of requests navigated on tables loaded
// once per folder, on every core, each request's rows exactly those of a
// single run, gathered in one table in request order.
#pragma once

#include "batch/batch_command.h"
#include "batch/csv_records.h"
#include "batch/request_columns.h"
#include "batch/request_outcome.h"
#include "batch/run_batch.h"
#include "batch/table_cache.h"
