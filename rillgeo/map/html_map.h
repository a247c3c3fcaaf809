// A navigation drawn as one self-contained web page: an inline SVG map and
// a few lines of script, nothing fetched from the network.
#pragma once

#include <string>

#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/navigation_pieces.h"
#include "rillgeo/geometry/results_file.h"
#include "rillgeo/map/sites_on_map.h"

namespace rill::geo {

// The page: `title` at its top, the network's flowlines faint, the
// navigated pieces coloured by travel distance with a legend in `unit` (a
// unit's short name such as "mi", or empty when it is not known), the start
// and end of every navigation marked (with its request's id where there are
// several) and named in the legend, a scale bar (in miles or feet when the
// unit is, else in km), and on hover a piece's code, measures and distance
// with its unit. The sites passed are marked and labelled with their id and
// distance. The view frames the navigation (the whole network when nothing
// was drawn).
std::string HtmlMapPage(const std::string& title, const ResultRows& results, const NavigationPieces& pieces,
                        const FlowlineLines& network, const std::string& unit, const std::vector<SiteMark>& sites = {});

// A figure for a reader: no exponent, thousands grouped by commas, two
// decimals below 10, one below 100, none above ("0.59", "12.3", "50,000").
std::string PlainNumber(double value);

// `value` with `decimals` decimals and its thousands grouped by commas
// ("1,234.5"); "0" for a value that is not finite.
std::string GroupedNumber(double value, int decimals);

// `text` fit for HTML text and attribute values.
std::string HtmlEscaped(const std::string& text);

}  // namespace rill::geo
