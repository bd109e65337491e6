#pragma once

// Ticks of a chart axis that counts things: whole numbers at steps of 1, 2 or
// 5 times a power of ten, so the labels read 0, 20, 40 ... and never 0, 0, 1.
//
//   WholeNumberAxis(0, 0)    ->  0 to 1, step 1
//   WholeNumberAxis(0, 7)    ->  0 to 7, step 1
//   WholeNumberAxis(0, 93)   ->  0 to 100, step 20
//   WholeNumberAxis(1, 31)   ->  1 to 31, step 5 (ticks at 5, 10, ...: the low end stays)

namespace tw {

struct AxisTicks {
  double Min = 0;
  double Max = 1;
  double Step = 1;  // whole, at least 1; ticks lie at the multiples of Step
};

// The axis over [low, high] with at most `max_steps` steps. With
// `round_up_max` the top grows to the next tick (a value axis); without it
// the ends stay as given (an axis of day or hour numbers). A span of less
// than 1 becomes 1.
AxisTicks WholeNumberAxis(double low, double high, bool round_up_max = true, int max_steps = 6);

}  // namespace tw
