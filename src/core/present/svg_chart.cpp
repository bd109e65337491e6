#include "present/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/text_format.h"
#include "present/chart_axis.h"

namespace tw {
namespace {

constexpr double kWidth = 900, kHeight = 260;
constexpr double kLeft = 56, kRight = 330, kTop = 14, kBottom = 30;  // the plot's margins

std::string Colour(Rgb rgb) { return FormatText("#%06X", {static_cast<int>(rgb)}); }
std::string Number(double v) { return FormatText("%.1f", {v}); }

// A legend's room holds about 40 characters; a longer name is cut at a
// character's start, and the whole name is the entry's tooltip.
std::string Shortened(const std::string& name) {
  constexpr std::size_t kMost = 40;
  std::size_t chars = 0, i = 0;
  for (; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80 && chars++ == kMost) break;
  }
  return i < name.size() ? name.substr(0, i) + "\xE2\x80\xA6" : name;
}

std::string LegendEntry(int i, Rgb colour, const std::string& name) {
  const double y = kTop + 18.0 * i;
  return "<rect x=\"" + Number(kWidth - kRight + 12) + "\" y=\"" + Number(y) +
         "\" width=\"12\" height=\"12\" fill=\"" + Colour(colour) + "\" stroke=\"#808080\"/>" +
         "<text x=\"" + Number(kWidth - kRight + 30) + "\" y=\"" + Number(y + 10) + "\"><title>" +
         HtmlEscaped(name) + "</title>" + HtmlEscaped(Shortened(name)) + "</text>";
}

std::string Open(const std::vector<std::string>& names) {
  std::string label;
  for (const std::string& n : names) label += (label.empty() ? "" : ", ") + n;
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + Number(kWidth) + " " +
         Number(kHeight) + "\" role=\"img\" aria-label=\"" + HtmlEscaped(label) + "\">";
}

std::string Lines(const ChartSeries& chart, const std::vector<std::string>& names) {
  double top = 0, count = 0;
  for (const LineSeries& s : chart.Lines) {
    count = std::max(count, static_cast<double>(s.Points.size()));
    for (const LinePoint& p : s.Points) top = std::max(top, p.Y);
  }
  const AxisTicks y = WholeNumberAxis(0, top);
  const double plot_w = kWidth - kLeft - kRight, plot_h = kHeight - kTop - kBottom;
  const auto px = [&](double x) { return kLeft + (count <= 1 ? 0 : (x - 1) / (count - 1) * plot_w); };
  const auto py = [&](double v) { return kTop + plot_h - (v - y.Min) / (y.Max - y.Min) * plot_h; };
  std::string svg = Open(names);
  for (double v = y.Min; v <= y.Max + 1e-9; v += y.Step) {
    svg += "<line class=\"grid\" x1=\"" + Number(kLeft) + "\" x2=\"" + Number(kLeft + plot_w) +
           "\" y1=\"" + Number(py(v)) + "\" y2=\"" + Number(py(v)) + "\"/><text class=\"tick\" x=\"" +
           Number(kLeft - 6) + "\" y=\"" + Number(py(v) + 4) + "\">" + FormatText("%.0f", {v}) + "</text>";
  }
  const AxisTicks x = WholeNumberAxis(1, std::max(count, 1.0), false, 10);
  for (double v = x.Step; v <= count; v += x.Step) {
    svg += "<text class=\"xtick\" x=\"" + Number(px(v)) + "\" y=\"" + Number(kHeight - 10) + "\">" +
           FormatText("%.0f", {v}) + "</text>";
  }
  for (std::size_t s = 0; s < chart.Lines.size(); ++s) {
    std::string points;
    for (const LinePoint& p : chart.Lines[s].Points) points += Number(px(p.X)) + "," + Number(py(p.Y)) + " ";
    svg += "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"" + Colour(chart.Lines[s].Colour) +
           "\" points=\"" + points + "\"/>";
    if (s < names.size()) svg += LegendEntry(static_cast<int>(s), chart.Lines[s].Colour, names[s]);
  }
  return svg + "</svg>";
}

std::string Slice(double cx, double cy, double r, double from, double to, Rgb colour) {
  const std::string fill = "\" fill=\"" + Colour(colour) + "\" stroke=\"#FFFFFF\"/>";
  if (to - from >= 2 * std::numbers::pi - 1e-9) {
    return "<circle cx=\"" + Number(cx) + "\" cy=\"" + Number(cy) + "\" r=\"" + Number(r) + fill;
  }
  const auto at = [&](double a) { return Number(cx + r * std::sin(a)) + " " + Number(cy - r * std::cos(a)); };
  return "<path d=\"M" + Number(cx) + " " + Number(cy) + " L" + at(from) + " A" + Number(r) + " " +
         Number(r) + " 0 " + (to - from > std::numbers::pi ? "1" : "0") + " 1 " + at(to) + " Z" + fill;
}

std::string Pie(const ChartSeries& chart, const ChartNames& names) {
  double total = 0;
  for (const PieSlice& s : chart.Pie) total += s.Value;
  std::vector<std::string> legend = names.names;
  legend.push_back(names.other);
  std::string svg = Open(legend);
  const double r = (kHeight - kTop - 10) / 2, cx = kLeft + 200, cy = kTop + r;
  double angle = 0;
  for (std::size_t i = 0; i < chart.Pie.size(); ++i) {
    const PieSlice& s = chart.Pie[i];
    if (s.Value <= 0 || total <= 0) continue;
    const double to = angle + s.Value / total * 2 * std::numbers::pi;
    svg += Slice(cx, cy, r, angle, to, s.Colour);
    angle = to;
  }
  for (std::size_t i = 0; i < chart.Pie.size() && i < legend.size(); ++i) {
    const bool rest = i + 1 == chart.Pie.size();
    svg += LegendEntry(static_cast<int>(i), chart.Pie[i].Colour, rest ? names.other : legend[i]);
  }
  return svg + "</svg>";
}

}  // namespace

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string SvgChart(const ReportResult& result, const ChartNames& names) {
  if (result.chart.HasPie && !result.chart.Pie.empty()) return Pie(result.chart, names);
  if (!result.chart.Lines.empty()) return Lines(result.chart, names.names);
  return {};
}

}  // namespace tw
