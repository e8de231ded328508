#include "editor/GridColours.h"

#include "model/ProfilePlot.h"

#include <cmath>

namespace GridColours {

namespace {

double channel(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor legibleText(const QColor &wanted, const QColor &background)
{
    if (contrastRatio(wanted, background) >= MinimumContrast)
        return wanted;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

Colours of(Cell cell, const QPalette &palette)
{
    QColor background;
    QColor text;
    switch (cell) {
    case Cell::Fixed:
        background = palette.color(QPalette::Button);
        text = palette.color(QPalette::ButtonText);
        break;
    case Cell::Value:
        background = palette.color(QPalette::Base);
        text = palette.color(QPalette::Text);
        break;
    case Cell::Current:
        background = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
        break;
    case Cell::Inactive:
        background = palette.color(QPalette::Midlight);
        text = palette.color(QPalette::ButtonText);
        break;
    case Cell::Differs:
        // Amber over the base colour: marked in a light theme and a dark one.
        background = PlotColours::mixed(palette.color(QPalette::Base), QColor(255, 176, 0), 0.45);
        text = palette.color(QPalette::Text);
        break;
    }
    return {background, legibleText(text, background)};
}

} // namespace GridColours
