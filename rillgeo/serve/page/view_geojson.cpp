#include "rillgeo/serve/page/view_geojson.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rill::geo {
namespace {

// Decimals enough to place a point within half a pixel, 1 to 7.
int DecimalsFor(double pixelSpan) {
  const double wanted = std::ceil(-std::log10(pixelSpan / 2.0));
  return static_cast<int>(std::clamp(wanted, 1.0, 7.0));
}

// `value` with `decimals` decimals, trailing zeros dropped ("-76.5", "43").
void AppendFigure(std::string& out, double value, int decimals) {
  char text[48];
  const int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
  int end = length;
  while (end > 0 && text[end - 1] == '0') --end;
  if (end > 0 && text[end - 1] == '.') --end;
  if (end == 2 && text[0] == '-' && text[1] == '0') {
    out += '0';  // no "-0"
    return;
  }
  out.append(text, static_cast<std::size_t>(end));
}

void AppendPoint(std::string& out, double x, double y, int decimals) {
  out += '[';
  AppendFigure(out, x, decimals);
  out += ',';
  AppendFigure(out, y, decimals);
  out += ']';
}

void AppendLine(std::string& out, const OGRLineString& line, double pixelSpan, int decimals) {
  const int count = line.getNumPoints();
  const double least = pixelSpan * pixelSpan;
  double lastX = line.getX(0);
  double lastY = line.getY(0);
  AppendPoint(out, lastX, lastY, decimals);
  for (int i = 1; i < count; ++i) {
    const double x = line.getX(i);
    const double y = line.getY(i);
    const double dx = x - lastX;
    const double dy = y - lastY;
    if (i + 1 < count && dx * dx + dy * dy < least) continue;
    out += ',';
    AppendPoint(out, x, y, decimals);
    lastX = x;
    lastY = y;
  }
}

}  // namespace

std::string ViewGeoJson(const FlowlineLines& lines, const ViewLines& found, double pixelSpan) {
  const int decimals = DecimalsFor(pixelSpan);
  std::string out = "{\"type\":\"FeatureCollection\",\"thinned\":";
  out += found.thinned ? "true" : "false";
  out += ",\"features\":[";
  bool first = true;
  for (const std::size_t position : found.found) {
    const FlowlineLine& line = lines.all()[position];
    if (!first) out += ',';
    first = false;
    out += "{\"type\":\"Feature\",\"properties\":{\"nhdplus_comid\":";
    out += std::to_string(line.comId);
    out += "},\"geometry\":{\"type\":\"LineString\",\"coordinates\":[";
    AppendLine(out, *line.line, pixelSpan, decimals);
    out += "]}}";
  }
  out += "]}";
  return out;
}

}  // namespace rill::geo
