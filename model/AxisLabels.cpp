#include "model/AxisLabels.h"

#include <algorithm>
#include <cmath>
#include <limits>

double axisEnd(double largestValue)
{
    if (std::isnan(largestValue) || largestValue <= 0)
        return 1;
    return std::min(largestValue, AxisLimit);
}

QPointF axisEnds(const QList<QPointF> &points)
{
    double time = 0;
    double temp = 0;
    for (const QPointF &p : points) {
        if (std::isnan(p.x()) || std::isnan(p.y()))
            continue;
        time = std::max(time, p.x());
        temp = std::max(temp, p.y());
    }
    return QPointF(axisEnd(time), axisEnd(temp));
}

double axisLabelStep(double maxValue, double axisPixels, double minLabelPixels, double minStep)
{
    const double end = axisEnd(maxValue);
    // Labels one step apart lie step * axisPixels / end pixels apart.
    const double pixels = std::clamp(axisPixels, 1.0, 1e6);
    const double wanted = std::max({end / pixels * minLabelPixels, minStep, end / MaxAxisSteps});
    if (!std::isfinite(wanted) || wanted <= 0)
        return end;
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double factor : {1.0, 2.0, 5.0}) {
        // A hair of tolerance: 0.3 / 3 must give 0.1, not 0.2.
        if (factor * decade >= wanted * (1 - 1e-9))
            return factor * decade;
    }
    return 10 * decade;
}

int axisLabelCount(double maxValue, double step)
{
    constexpr int most = 2 * MaxAxisSteps + 1;
    if (!(step > 0) || !std::isfinite(step) || !(maxValue > 0))
        return 1;
    // The same hair of tolerance: an axis ending on a label shows it.
    const double steps = std::floor(maxValue / step * (1 + 1e-9));
    return steps >= most - 1 ? most : int(steps) + 1;
}

QPointF drawnPoint(QPointF point, QPointF ends)
{
    // Infinity as the largest double, so that a share of it is a number.
    constexpr double largest = std::numeric_limits<double>::max();
    const double x = std::clamp(point.x(), -largest, largest);
    const double y = std::clamp(point.y(), -largest, largest);
    // The share of the way from the origin that stays within reach on both axes.
    const double reachX = DrawnReach * ends.x();
    const double reachY = DrawnReach * ends.y();
    double share = 1;
    if (std::abs(x) > reachX)
        share = reachX / std::abs(x);
    if (std::abs(y) > reachY)
        share = std::min(share, reachY / std::abs(y));
    return QPointF(x * share, y * share);
}

QList<QPointF> drawnPoints(const QList<QPointF> &points, QPointF ends)
{
    QList<QPointF> drawn;
    drawn.reserve(points.size());
    for (const QPointF &p : points)
        if (!std::isnan(p.x()) && !std::isnan(p.y()))
            drawn.append(drawnPoint(p, ends));
    return drawn;
}
