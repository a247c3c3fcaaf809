// Text layer shared by every part of the navigator and its programs: numbers
// read exactly as the C library reads them and written exactly as printf
// writes them, buffered output, the one RFC 4180 reader of every CSV a
// program reads, and the one way to replace a file only once it is complete.
//
// It owns no navigation concept and calls nothing but the C++ library. A
// failure is an answer (false, an empty value, a flag the caller tests); it
// never prints and never throws but std::bad_alloc.
#pragma once

#include "text/csv_records.h"
#include "text/format.h"
#include "text/letter_case.h"
#include "text/nearest_name.h"
#include "text/number_text.h"
#include "text/opened_file.h"
#include "text/progress_line.h"
#include "text/replace_file.h"
#include "text/stale_file.h"
#include "text/status.h"
#include "text/text_writer.h"
#include "text/windows_command_line.h"
