// The program's named-option command line beside the legacy single run:
// `rillmark batch`, `--help` and `--version`, and the batch's progress line.
#pragma once

#include "cli/option_command_line.h"
#include "cli/progress_line.h"
