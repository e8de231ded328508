#pragma once

#include <QColor>
#include <QPalette>

// The colours the segment grid paints with, taken from the palette so that a
// light or a dark desktop theme reads alike: fixed cells in the button face
// with the button text, inactive cells a shade darker than the value cells
// (the palette's midlight where that is darker, as the scroll-bar colour is),
// value cells in the base colour with the text colour. A text
// colour that would stand out by less than the 4.5:1 contrast that legible
// text needs gives way to black or white, whichever reads better.
namespace GridColours {

enum class Cell {
    Fixed,    // the labels and the segment numbers
    Value,    // a value or Mode cell its mode uses
    Current,  // the current cell while the grid does not have the focus
    Inactive, // a cell its mode does not use, and the columns past the slots
    Differs,  // a cell that differs from the program compared with
};

struct Colours
{
    QColor background;
    QColor text;
};

Colours of(Cell cell, const QPalette &palette);

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// The text colour to use on a background: the wanted one when it reads well
// enough, else black or white.
QColor legibleText(const QColor &wanted, const QColor &background);

// The background of cells a slot's mode does not use: darker than the base
// colour by at least InactiveContrast, in light and dark palettes alike.
QColor inactiveBackground(const QPalette &palette);

inline constexpr double MinimumContrast = 4.5;
inline constexpr double InactiveContrast = 1.2;

} // namespace GridColours
