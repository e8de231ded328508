#include "files/ChartPanelHeight.h"

#include "files/IniDocument.h"
#include "files/IntegerText.h"

#include <algorithm>
#include <cmath>

const QString ChartPanelHeight::Section = QStringLiteral("ChartPanel");

namespace {
const QString HeightKey = QStringLiteral("Height");
const QString WindowKey = QStringLiteral("WindowHeight");

std::optional<int> readInteger(const IniDocument &ini, const QString &key)
{
    const std::optional<QString> text = ini.value(ChartPanelHeight::Section, key);
    return text ? parseIntegerText(*text) : std::nullopt;
}
}

int ChartPanelHeight::chartHeightFor(int window, int area, int lowerMinimum, int fixedHeight) const
{
    // In the window it was set in, the height a person chose stands, even
    // where the bands below then need more than the window holds.
    if (window == windowHeight)
        return std::max(height, fixedHeight);
    // Half of every pixel the window gained or lost since the height was
    // set; an odd pixel goes to the bands below.
    const double wanted = height + (double(window) - windowHeight) / 2;
    const int chart = int(std::floor(std::min(wanted, double(area - lowerMinimum))));
    return std::max(chart, fixedHeight);
}

std::optional<ChartPanelHeight> ChartPanelHeight::fromIni(const IniDocument &ini)
{
    const std::optional<int> height = readInteger(ini, HeightKey);
    const std::optional<int> window = readInteger(ini, WindowKey);
    if (!height || !window || *height <= 0 || *window <= *height || *window > Largest)
        return std::nullopt;
    return ChartPanelHeight{*height, *window};
}

void ChartPanelHeight::toIni(IniDocument &ini) const
{
    ini.setValue(Section, HeightKey, QString::number(height));
    ini.setValue(Section, WindowKey, QString::number(windowHeight));
}
