// The directory command program: one file-system command per process,
// taken from a comma-separated command line. It shares no code with the
// navigator but the text layer's Windows command-line split.
#pragma once

#include "commands/md_command.h"
