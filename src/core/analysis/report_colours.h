#pragma once

// The colours and sizes of the statistics table and its chart.
//
// Count table: column 0 of rows 1..SliceCount is the legend of the pie, in
// SliceColours order; the remaining rows share one slice in kInfoBackground.
// Time table: the four value columns and the four line series, in the order
// Hits, GoodHits, Hosts, Visits.

#include <array>

#include "analysis/report_chart.h"

namespace tw {

inline constexpr int MaxSlices = 10;

inline constexpr std::array<Rgb, MaxSlices> SliceColours = {
    0x00FF00, 0xFF0000, 0xFFFF00, 0x0000FF, 0x008000,
    0xFF00FF, 0x808080, 0x00FFFF, 0xC0DCC0, 0xA6CAF0,
};
inline constexpr Rgb kRemainderSliceColour = kInfoBackground;

// Fill of columns 2 to 5 of a time table.
inline constexpr std::array<Rgb, 4> kTimeColumnColours = {0x60F060, 0xFFFF00, 0xF05050, 0x8080F0};
// Lines of the time chart.
inline constexpr std::array<Rgb, 4> kTimeLineColours = {0x008000, 0xFFFF00, 0xFF0000, 0x0000FF};

// Layout of the two table modes, in pixels.
inline constexpr int kSidePanelWidth = 200;      // count layout: chart panel on the right
inline constexpr int kTimeTableWidth = 330;      // time layout: table on the left
inline constexpr int kMinLabelColumnWidth = 100;

}  // namespace tw
