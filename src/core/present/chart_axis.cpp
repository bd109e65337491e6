#include "present/chart_axis.h"

#include <cmath>
#include <initializer_list>

namespace tw {

AxisTicks WholeNumberAxis(double low, double high, bool round_up_max, int max_steps) {
  if (!(high - low >= 1)) high = low + 1;  // also catches NaN
  if (max_steps < 1) max_steps = 1;
  const double span = high - low;
  // The smallest of 1, 2, 5, 10, 20, 50 ... that needs no more than max_steps.
  double step = 1;
  for (double decade = 1; step * max_steps < span; decade *= 10) {
    for (const double factor : {1.0, 2.0, 5.0}) {
      step = factor * decade;
      if (step * max_steps >= span) break;
    }
  }
  AxisTicks ticks{low, high, step};
  if (round_up_max) ticks.Max = std::ceil(high / step) * step;
  return ticks;
}

}  // namespace tw
