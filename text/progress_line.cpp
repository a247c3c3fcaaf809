#include "text/progress_line.h"

#include <string>

namespace rill {

void ProgressLine::Show(std::string_view text) {
  out_ << '\r' << text;
  // Blanks over what a longer earlier text left standing.
  if (text.size() < shownWidth_) out_ << std::string(shownWidth_ - text.size(), ' ');
  out_.flush();
  shownWidth_ = text.size();
  shown_ = true;
}

void ProgressLine::End() {
  if (shown_) out_ << '\n' << std::flush;
  shown_ = false;
  shownWidth_ = 0;
}

}  // namespace rill
