#pragma once

#include <QString>

#include <optional>

class IniDocument;

// The height a person gave the chart panel by dragging the handle under it,
// together with the whole window's height (frame included, as the "Window"
// section keeps it) at that moment. Kept in the settings file in a section of
// its own, "ChartPanel" (keys Height and WindowHeight); a file without it
// starts the window with the chart at its fixed height.
//
// When the window grows or shrinks, the chart takes half of the change: it
// never goes below its fixed height, and the bands below it (initial
// temperature, grid, comment) keep their minimum while the chart can give way.
// In the window it was set in, the height stands as set: a person may drag the
// chart taller than the bands' minimum leaves room for (the window's content
// then scrolls).
// The whole window's height is the measure because it stays the same while
// the window manager puts a frame around a window that was just shown.
struct ChartPanelHeight
{
    static const QString Section;          // "ChartPanel"
    static constexpr int Largest = 100000; // pixels; a larger value is not ours

    int height = 0;
    int windowHeight = 0;

    // The chart's height in a window `window` pixels high, where the chart
    // and the bands below share `area` pixels and those bands need at least
    // `lowerMinimum`; `fixedHeight` is the chart's own height.
    int chartHeightFor(int window, int area, int lowerMinimum, int fixedHeight) const;

    // Empty when the section is missing or its values are not whole numbers
    // with 0 < Height < WindowHeight <= Largest.
    static std::optional<ChartPanelHeight> fromIni(const IniDocument &ini);
    void toIni(IniDocument &ini) const;

    bool operator==(const ChartPanelHeight &) const = default;
};
