// A navigation drawn as one self-contained web page: an inline SVG map and
// a few lines of script, nothing fetched from the network.
#pragma once

#include <string>

#include "rillgeo/flowline_lines.h"
#include "rillgeo/navigation_pieces.h"
#include "rillgeo/results_file.h"

namespace rill::geo {

// The page: the network's flowlines faint, the navigated pieces coloured
// by travel distance with a legend, the start and end marked, a scale bar,
// and on hover a piece's code, measures and distance. The view frames the
// navigation (the whole network when nothing was drawn).
std::string HtmlMapPage(const std::string& title, const ResultRows& results, const NavigationPieces& pieces,
                        const FlowlineLines& network);

}  // namespace rill::geo
