#pragma once

#include <QList>
#include <QPointF>

// How a profile plot fits its axes to the values drawn. A program file may hold
// any number a double can (1e308 reads as a number), so every rule here
// keeps the axes, their labels and the drawing's coordinates bounded
// whatever the values are.

// The farthest an axis reaches from 0: labels up to ten digits. A larger
// value lies beyond the axis's end.
inline constexpr double AxisLimit = 1e9;
// The most steps an axis is ever divided into.
inline constexpr int MaxAxisSteps = 100;
// How far from 0 a line is drawn, in axis lengths. A point farther out is
// drawn where the way from the axes' origin to it leaves that reach: a line
// from the plot towards it keeps its direction within a degree, and the
// drawing's coordinates stay within a hundred plot sizes.
inline constexpr double DrawnReach = 100;

// The end of an axis from 0 that shows largestValue: the value itself,
// AxisLimit for anything larger (infinity too), and 1 for 0, a negative
// value or NaN, so that an empty or flat line still gets an axis.
double axisEnd(double largestValue);

// The largest time (x) and temperature (y) among the points, each as the end
// of its axis (axisEnd); NaN coordinates are left out.
QPointF axisEnds(const QList<QPointF> &points);

// The step between an axis's labels: 1, 2 or 5 times a power of ten, the
// smallest that keeps labels at least minLabelPixels apart on an axis of
// axisPixels showing 0 to axisEnd(maxValue), never below minStep and never
// so small that the axis holds more than MaxAxisSteps steps.
double axisLabelStep(double maxValue, double axisPixels, double minLabelPixels, double minStep);

// The labels at 0, step, 2 step ... up to maxValue: how many there are, at
// least 1 (the label at 0) and never more than 2 * MaxAxisSteps + 1, which
// leaves room for an axis that ends on a label a little above its value.
int axisLabelCount(double maxValue, double step);

// The points as the plot draws them on axes ending at ends.x() (time) and
// ends.y() (temperature), as axisEnds() gives them: points with a NaN
// coordinate left out, the others brought within DrawnReach.
QList<QPointF> drawnPoints(const QList<QPointF> &points, QPointF ends);
QPointF drawnPoint(QPointF point, QPointF ends);
