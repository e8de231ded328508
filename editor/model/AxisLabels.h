#pragma once

// The step between an axis's labels: 1, 2 or 5 times a power of ten, the
// smallest that keeps labels at least minLabelPixels apart on an axis of
// axisPixels showing 0 to maxValue, and never below minStep. The window's
// chart and the chart drawn for paper both label their axes with it.
double axisLabelStep(double maxValue, double axisPixels, double minLabelPixels, double minStep);
