// The three tables of a river network: their records, loading from text
// (lines outside the format skipped and said so, duplicates dropped, the
// dump of what was kept), the indexes built once at load, the classification
// of reaches (branched, divergent), junction measures, and the special-case
// list of pieces with its recorders.
//
// The layer calls the text layer only. A table that cannot be read is a
// Status (InputMissing, naming it) with the reason in the log too; lines outside the format are skipped with a line in
// the log. Loaded tables are read only; nothing here prints and nothing throws but std::bad_alloc.
#pragma once

#include "network/classify.h"
#include "network/id_index.h"
#include "network/network_tables.h"
#include "network/piece_list.h"
#include "network/recorders.h"
#include "network/records.h"
#include "network/table_loader.h"
