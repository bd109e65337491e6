#pragma once

// The series of a report's chart, as plain data: the window draws them and an
// export writes them; nothing here paints.

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// Colours are 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kInfoBackground = 0xFFFFE1;  // the tooltip background of the tables and tree
inline constexpr Rgb kSelectedRowColour = 0x000080;

struct PieSlice {
  double Value = 0;
  Rgb Colour = 0;
};

struct LinePoint {
  double X = 0;
  double Y = 0;
  std::string Label;
};

struct LineSeries {
  Rgb Colour = 0;
  std::vector<LinePoint> Points;
};

// The series of Chart1: one pie, or four line series, or none.
struct ChartSeries {
  bool HasPie = false;
  std::vector<PieSlice> Pie;
  std::vector<LineSeries> Lines;
  bool AxesVisible = false;
  bool Empty() const { return !HasPie && Lines.empty(); }
};

}  // namespace tw
