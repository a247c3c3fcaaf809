// The single run of rillmark: the legacy 14-field command line read into
// the navigation interface's request, the run itself (tables loaded,
// navigated, the result CSV, ccode.txt and message.out written) and the
// exit statuses it ends with.
//
// A program: it reaches the core through navigation/navigation.h alone.
// Complaints go to the error stream it is given, the run log says what a
// caller reads afterwards, and RunNavigation returns the exit status.
#pragma once

#include "navigator/command_line.h"
#include "navigator/exit_status.h"
#include "navigator/result_files.h"
#include "navigator/run_navigation.h"
#include "navigator/run_summary.h"
