#pragma once

#include <QColor>

// The system colours the editor paints with: the scroll-bar grey of inactive
// cells and of the chart's panel, and the menu colour of fixed cells.
inline QColor scrollBarColour() { return QColor(0xC8, 0xC8, 0xC8); }
inline QColor menuColour() { return QColor(0xF0, 0xF0, 0xF0); }
