#include "editor/GridColours.h"

#include "model/ProfilePlot.h"

namespace GridColours {

double contrastRatio(const QColor &a, const QColor &b) { return PlotColours::contrastRatio(a, b); }

QColor inactiveBackground(const QPalette &palette)
{
    // Darker than the editable cells in a light palette and in a dark one:
    // the palette's midlight where it is, else the base colour darkened.
    // Only a black base has no darker shade; there they are lighter.
    const QColor base = palette.color(QPalette::Base);
    const QColor midlight = palette.color(QPalette::Midlight);
    if (PlotColours::luminance(midlight) < PlotColours::luminance(base)
        && contrastRatio(midlight, base) >= InactiveContrast)
        return midlight;
    for (int step = 1; step <= 20; ++step) {
        const QColor darker = PlotColours::mixed(base, Qt::black, step * 0.05);
        if (contrastRatio(darker, base) >= InactiveContrast)
            return darker;
    }
    return PlotColours::mixed(base, Qt::white, 0.25);
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
        background = inactiveBackground(palette);
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
