#include "rillgeo/map/html_map.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace rill::geo {

namespace {

constexpr double kWidth = 1000.0;  // SVG units across the map

// Equirectangular drawing at the view's middle latitude: true enough in
// shape for a basin, and cheap for tens of thousands of lines.
class Canvas {
 public:
  explicit Canvas(const OGREnvelope& view)
      : west_(view.MinX), north_(view.MaxY), xScale_(std::cos((view.MinY + view.MaxY) / 2.0 * M_PI / 180.0)) {
    unit_ = kWidth / std::max((view.MaxX - view.MinX) * xScale_, 1e-9);
    height_ = std::ceil((view.MaxY - view.MinY) * unit_);
  }
  double X(double lon) const { return (lon - west_) * xScale_ * unit_; }
  double Y(double lat) const { return (north_ - lat) * unit_; }
  double height() const { return height_; }
  // Kilometres per SVG unit (a degree of latitude is 111.2 km).
  double KmPerUnit() const { return 111.195 / unit_; }

 private:
  double west_, north_, xScale_, unit_ = 1.0, height_ = 1.0;
};

// A coordinate with one decimal, written from whole tenths: a page holds
// hundreds of thousands of them, and printf would take most of the time.
void AppendNumber(std::string& out, double value) {
  long long tenths = std::llround(value * 10.0);
  if (tenths < 0) {
    out += '-';
    tenths = -tenths;
  }
  char text[24];
  const auto end = std::to_chars(text, text + sizeof text, tenths / 10).ptr;
  out.append(text, end);
  out += '.';
  out += static_cast<char>('0' + tenths % 10);
}

// Path data of a line, dropping points closer than half a unit to the last
// one kept (its last point always stays).
void AppendLine(std::string& out, const Canvas& canvas, const OGRLineString& line) {
  const int count = line.getNumPoints();
  double lastX = 0.0, lastY = 0.0;
  for (int i = 0; i < count; ++i) {
    const double x = canvas.X(line.getX(i));
    const double y = canvas.Y(line.getY(i));
    if (i > 0 && i + 1 < count && (x - lastX) * (x - lastX) + (y - lastY) * (y - lastY) < 0.25) continue;
    out += i == 0 ? 'M' : 'L';
    AppendNumber(out, x);
    out += ' ';
    AppendNumber(out, y);
    lastX = x;
    lastY = y;
  }
}

void AppendGeometry(std::string& out, const Canvas& canvas, const OGRGeometry& geometry) {
  if (wkbFlatten(geometry.getGeometryType()) == wkbLineString) {
    AppendLine(out, canvas, *geometry.toLineString());
  } else if (wkbFlatten(geometry.getGeometryType()) == wkbMultiLineString) {
    for (const OGRLineString* part : *geometry.toMultiLineString()) AppendLine(out, canvas, *part);
  }
}

// The distance ramp, near to far (viridis without its palest end, so every
// colour stands out from the faint network).
constexpr std::array<std::array<int, 3>, 5> kRamp = {
    {{0x44, 0x01, 0x54}, {0x3b, 0x52, 0x8b}, {0x21, 0x91, 0x8c}, {0x5e, 0xc9, 0x62}, {0xb5, 0xd4, 0x2c}}};

std::string RampColour(double share) {
  const double at = std::clamp(share, 0.0, 1.0) * (kRamp.size() - 1);
  const std::size_t low = std::min<std::size_t>(static_cast<std::size_t>(at), kRamp.size() - 2);
  const double t = at - static_cast<double>(low);
  char text[8];
  int rgb[3];
  for (int c = 0; c < 3; ++c)
    rgb[c] = static_cast<int>(std::lround(kRamp[low][c] + t * (kRamp[low + 1][c] - kRamp[low][c])));
  std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
  return text;
}

}  // namespace

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

std::string PlainNumber(double value) {
  const double size = std::fabs(value);
  return GroupedNumber(value, size < 10.0 ? 2 : size < 100.0 ? 1 : 0);
}

std::string GroupedNumber(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string digits(text);
  const std::size_t sign = digits[0] == '-' ? 1 : 0;
  const std::size_t point = std::min(digits.find('.'), digits.size());
  for (std::size_t at = point; at > sign + 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

namespace {

// A round length of about a fifth of the map's width, in the bar's unit.
double ScaleBarLength(double mapLength) {
  const double target = mapLength / 5.0;
  double step = std::pow(10.0, std::floor(std::log10(target)));
  for (double factor : {5.0, 2.0, 1.0}) {
    if (factor * step <= target) return factor * step;
  }
  return step;
}

// The scale bar's unit: the legend's where a reader of miles or feet would
// look for it, km otherwise. Kilometres per unit as the tables convert them.
struct BarUnit {
  const char* name;
  double km;
};

BarUnit BarUnitFor(const std::string& unit) {
  if (unit == "mi") return {"mi", 1.609};
  if (unit == "ft") return {"ft", 0.0003048};
  return {"km", 1.0};
}

std::string Number(double value, const char* format) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

OGREnvelope ViewOf(const NavigationPieces& pieces, const FlowlineLines& network) {
  OGREnvelope view;
  for (const auto& row : pieces.rows) {
    if (!row) continue;
    OGREnvelope e;
    row->getEnvelope(&e);
    view.Merge(e);
  }
  if (!view.IsInit()) {
    for (const FlowlineLine& f : network.all()) {
      if (f.line->getNumPoints() > 0) view.Merge(f.envelope);
    }
  }
  if (!view.IsInit()) view.Merge(0.0, 0.0);
  const double pad = std::max({view.MaxX - view.MinX, view.MaxY - view.MinY, 0.01}) * 0.08;
  view.MinX -= pad;
  view.MaxX += pad;
  view.MinY -= pad;
  view.MaxY += pad;
  return view;
}

constexpr const char* kScript = R"(<script>
const tip = document.getElementById('tip');
document.querySelector('svg').addEventListener('mousemove', e => {
  const t = e.target.dataset && e.target.dataset.t;
  tip.hidden = !t;
  if (t) { tip.textContent = t; tip.style.left = e.pageX + 12 + 'px'; tip.style.top = e.pageY + 12 + 'px'; }
});
</script>
)";

}  // namespace

std::string HtmlMapPage(const std::string& title, const ResultRows& results, const NavigationPieces& pieces,
                        const FlowlineLines& network, const std::string& unit, const std::vector<SiteMark>& sites) {
  const OGREnvelope view = ViewOf(pieces, network);
  const Canvas canvas(view);
  const double height = canvas.height();
  std::string page;
  page.reserve(1 << 20);
  page += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + HtmlEscaped(title) +
          "</title>\n<style>body{margin:0;font:13px sans-serif;background:#fff}svg{display:block;width:100vw;height:"
          "100vh}#tip{position:absolute;background:#fff;border:1px solid #888;padding:2px 5px;pointer-events:none}"
          "path.p:hover{stroke-width:6}#title{position:absolute;left:10px;top:6px;margin:0;font-size:16px;"
          "background:#fff;opacity:.9}</style></head><body>\n<h1 id=\"title\">" +
          HtmlEscaped(title) + "</h1>\n";
  // The frame is 4:3 (a screen's shape) around the map, so that the legend's
  // size on screen does not depend on the basin's shape.
  const double frameWidth = std::max(kWidth, height * 4.0 / 3.0);
  const double frameHeight = std::max(height, kWidth * 3.0 / 4.0);
  const double left = -(frameWidth - kWidth) / 2.0;
  const double top = -(frameHeight - height) / 2.0;
  page += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" + Number(left, "%.1f") + " " + Number(top, "%.1f") +
          " " + Number(frameWidth, "%.1f") + " " + Number(frameHeight, "%.1f") +
          "\" preserveAspectRatio=\"xMidYMid meet\">\n";

  // The network, faint: one path of every flowline that touches the view.
  page += "<path fill=\"none\" stroke=\"#c5cad3\" stroke-width=\"1\" vector-effect=\"non-scaling-stroke\" d=\"";
  for (const FlowlineLine& f : network.all()) {
    if (f.line->getNumPoints() >= 2 && f.envelope.Intersects(view)) AppendLine(page, canvas, *f.line);
  }
  page += "\"/>\n";

  // The navigated pieces, coloured by travel distance.
  double farthest = 0.0;
  std::vector<double> distances(results.rows.size(), 0.0);
  for (std::size_t i = 0; i < results.rows.size() && results.distance >= 0; ++i) {
    distances[i] = std::strtod(results.rows[i][results.distance].c_str(), nullptr);
    if (std::isfinite(distances[i])) farthest = std::max(farthest, distances[i]);
  }
  page += "<g fill=\"none\" stroke-width=\"3\" stroke-linecap=\"round\" vector-effect=\"non-scaling-stroke\">\n";
  for (std::size_t i = 0; i < results.rows.size(); ++i) {
    if (!pieces.rows[i]) continue;
    const auto& row = results.rows[i];
    std::string label = (results.code >= 0 ? row[results.code] : "Com_id " + row[results.comId]) + ", measures " +
                        row[results.fromMeasure] + " to " + row[results.toMeasure];
    if (results.distance >= 0) label += ", distance " + row[results.distance] + (unit.empty() ? "" : " " + unit);
    page += "<path class=\"p\" vector-effect=\"non-scaling-stroke\" stroke=\"" +
            RampColour(farthest > 0.0 ? distances[i] / farthest : 0.0) + "\" data-t=\"" + HtmlEscaped(label) +
            "\" d=\"";
    AppendGeometry(page, canvas, *pieces.rows[i]);
    page += "\"/>\n";
  }
  page += "</g>\n";

  // Start and end, sized for the whole page.
  const double u = frameWidth / kWidth;
  const auto mark = [&](const std::optional<OGRPoint>& point, const char* colour, const std::string& what) {
    if (!point) return;
    page += "<circle cx=\"" + Number(canvas.X(point->getX()), "%.1f") + "\" cy=\"" +
            Number(canvas.Y(point->getY()), "%.1f") + "\" r=\"" + Number(7 * u, "%.1f") + "\" fill=\"" + colour +
            "\" stroke=\"#fff\" stroke-width=\"" + Number(2 * u, "%.1f") + "\" data-t=\"" + HtmlEscaped(what) +
            "\"/>\n";
  };
  // Ends first, so that a start where another navigation ends stays visible.
  const bool several = pieces.navigations.size() > 1;
  for (const NavigationEnds& n : pieces.navigations) {
    mark(n.end, "#d7191c", several ? "end of request " + n.request : std::string("end"));
  }
  for (const NavigationEnds& n : pieces.navigations) {
    mark(n.start, "#1a9641", several ? "start of request " + n.request : std::string("start"));
  }

  // The sites passed, over the pieces and the ends (a site where the walk
  // began stays visible): a ringed dot and a label with the site's id and
  // distance, haloed to read over the lines.
  for (const SiteMark& site : sites) {
    const double x = canvas.X(site.point.getX());
    const double y = canvas.Y(site.point.getY());
    const std::string distance = PlainNumber(site.distance) + (unit.empty() ? "" : " " + unit);
    const std::string tip =
        HtmlEscaped("site " + site.id + (several ? " passed by request " + site.request : std::string()) +
                    ", distance " + GroupedNumber(site.distance, 4) + (unit.empty() ? "" : " " + unit));
    page += "<circle class=\"site\" cx=\"" + Number(x, "%.1f") + "\" cy=\"" + Number(y, "%.1f") + "\" r=\"" +
            Number(4.5 * u, "%.1f") + "\" fill=\"#fff\" stroke=\"#222\" stroke-width=\"" + Number(2 * u, "%.1f") +
            "\" data-t=\"" + tip + "\"/>\n<text class=\"site\" x=\"" + Number(x + 8 * u, "%.1f") + "\" y=\"" +
            Number(y - 6 * u, "%.1f") + "\" font-size=\"" + Number(12 * u, "%.1f") +
            "\" paint-order=\"stroke\" stroke=\"#fff\" stroke-width=\"" + Number(3 * u, "%.1f") + "\" data-t=\"" + tip +
            "\">" + HtmlEscaped(site.id + ", " + distance) + "</text>\n";
  }

  // Legend and scale bar, bottom left.
  const auto at = [&](double value) { return Number(value * u, "%.1f"); };
  const auto atY = [&](double fromBottom) { return Number(frameHeight - fromBottom * u, "%.1f"); };
  page += "<g transform=\"translate(" + Number(left, "%.1f") + " " + Number(top, "%.1f") +
          ")\" font-family=\"sans-serif\" font-size=\"" + at(13) + "\">\n<defs><linearGradient id=\"ramp\">";
  for (std::size_t s = 0; s < kRamp.size(); ++s) {
    const double share = static_cast<double>(s) / (kRamp.size() - 1);
    page += "<stop offset=\"" + Number(share, "%.2f") + "\" stop-color=\"" + RampColour(share) + "\"/>";
  }
  page += "</linearGradient></defs>\n";
  // A row more for the sites' mark when there are sites.
  const double boxHeight = sites.empty() ? 114 : 136;
  page += "<rect x=\"" + at(6) + "\" y=\"" + atY(boxHeight + 6) + "\" width=\"" + at(290) + "\" height=\"" +
          at(boxHeight) + "\" fill=\"#fff\" fill-opacity=\"0.85\" stroke=\"#bbb\"/>\n";
  // The marks of the map, named: round dots drawn as rounded squares, so that
  // the map's own marks stay its only circles.
  const auto legendMark = [&](double x, double row, const char* colour, const char* name, bool ringed = false) {
    page += "<rect x=\"" + at(x) + "\" y=\"" + atY(row) + "\" width=\"" + at(12) + "\" height=\"" + at(12) +
            "\" rx=\"" + at(6) + "\" fill=\"" + colour + "\"" +
            (ringed ? " stroke=\"#222\" stroke-width=\"" + at(2) + "\"" : std::string()) + "/><text x=\"" + at(x + 18) +
            "\" y=\"" + atY(row - 11) + "\">" + name + "</text>\n";
  };
  legendMark(14, 110, "#1a9641", several ? "start of a request" : "start");
  legendMark(150, 110, "#d7191c", several ? "end of a request" : "end");
  if (!sites.empty()) legendMark(14, 132, "#fff", "site passed: id, distance", true);
  page += "<text x=\"" + at(14) + "\" y=\"" + atY(76) + "\">Travel distance" + " (" +
          (unit.empty() ? std::string("request's units") : HtmlEscaped(unit)) + ")" + "</text>\n";
  page += "<rect x=\"" + at(14) + "\" y=\"" + atY(68) + "\" width=\"" + at(200) + "\" height=\"" + at(10) +
          "\" fill=\"url(#ramp)\"/>\n";
  page += "<text x=\"" + at(14) + "\" y=\"" + atY(42) + "\">0</text><text x=\"" + at(214) + "\" y=\"" + atY(42) +
          "\" text-anchor=\"end\">" + PlainNumber(farthest) + "</text>\n";
  const BarUnit barUnit = BarUnitFor(unit);
  const double barLength = ScaleBarLength(kWidth * canvas.KmPerUnit() / barUnit.km);
  const double barUnits = barLength * barUnit.km / canvas.KmPerUnit();
  page += "<path d=\"M" + at(14) + " " + atY(16) + "v" + at(-6) + "h" + Number(barUnits, "%.1f") + "v" + at(6) +
          "\" fill=\"none\" stroke=\"#222\" stroke-width=\"" + at(2) + "\"/><text x=\"" +
          Number(barUnits + 20 * u, "%.1f") + "\" y=\"" + atY(16) + "\">" +
          (barLength >= 1000.0 ? GroupedNumber(barLength, 0) : Number(barLength, "%g")) + " " + barUnit.name +
          "</text>\n</g>\n";

  page += "</svg>\n<div id=\"tip\" hidden></div>\n";
  page += kScript;
  page += "</body></html>\n";
  return page;
}

}  // namespace rill::geo
