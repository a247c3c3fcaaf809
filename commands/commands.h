// The directory command program: one file-system command per process,
// taken from a comma-separated command line. It shares no code with the
// navigator.
#pragma once

#include "commands/md_command.h"
