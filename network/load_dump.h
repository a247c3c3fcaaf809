// The load dump: one line per loaded record in the run log.
#pragma once

#include <vector>

#include "network/records.h"
#include "text/text_writer.h"

namespace rill {

// Each writes one line per record, in table order. With `concurrent` every
// other chunk of lines is formatted on a second thread; the text is the same.
void DumpSections(const std::vector<SectionRecord>& sections, TextWriter& log, bool concurrent);
void DumpFlows(const std::vector<FlowRecord>& flows, TextWriter& log, bool concurrent);
void DumpReaches(const std::vector<ReachRecord>& reaches, TextWriter& log, bool concurrent);

}  // namespace rill
