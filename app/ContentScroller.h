#pragma once

#include <QScrollArea>

class SegmentGrid;

// Below the size the bands need (a small screen, a large scale factor) the
// window's content scrolls, so that every band stays within reach; the cell
// or control a person moves to is brought into view.
class ContentScroller : public QScrollArea
{
    Q_OBJECT
public:
    explicit ContentScroller(QWidget *parent = nullptr);

    // The grid's current cell, into view.
    void showCurrentCell(const SegmentGrid &grid);
    // The control that took the focus comes into view once the focus has
    // settled: whole where it fits.
    void followFocus(QWidget *now);
};
