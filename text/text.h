// Text layer shared by every part of the navigator: numbers read exactly as the
// C library reads them, and numbers written exactly as printf writes them.
#pragma once

#include "text/format.h"
#include "text/letter_case.h"
#include "text/number_text.h"
#include "text/stale_file.h"
#include "text/text_writer.h"
#include "text/windows_command_line.h"
