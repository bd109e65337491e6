#pragma once

// Builds the chart beside the statistics table from the core's Chart1: a pie
// of coloured slices without labels, or four coloured line series on value
// axes. No title, no legend, silver background, white plot area.

#include <QtCharts/QChart>

#include "form/stat_grid.h"

// A new chart the caller owns; an empty chart when there are no series.
QChart* buildChart(const tw::ChartSeries& series);
