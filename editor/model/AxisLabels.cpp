#include "AxisLabels.h"

#include <algorithm>
#include <cmath>

double axisLabelStep(double maxValue, double axisPixels, double minLabelPixels, double minStep)
{
    // Labels one step apart lie step * axisPixels / maxValue pixels apart.
    const double wanted = std::max(minLabelPixels * maxValue / std::max(axisPixels, 1.0), minStep);
    if (!std::isfinite(wanted) || wanted <= 0)
        return minStep > 0 ? minStep : 1;
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double factor : {1.0, 2.0, 5.0}) {
        // A hair of tolerance: 0.3 / 3 must give 0.1, not 0.2.
        if (factor * decade >= wanted * (1 - 1e-9))
            return factor * decade;
    }
    return 10 * decade;
}
