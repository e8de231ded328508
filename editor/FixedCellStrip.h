#pragma once

#include <QWidget>

class SegmentGrid;

// The grid's fixed cells, laid over the edge of its viewport so they stay in
// view however far the segment columns are scrolled: the label column
// (column 0, with the corner) or the number row (row 0 of the slot columns).
// A click on a segment number picks that segment (Shift+click stretches the
// block); a right-click goes to the grid's context menu as if it fell on the
// cell itself.
class FixedCellStrip : public QWidget
{
public:
    enum Kind { LabelColumn, NumberRow };
    FixedCellStrip(Kind kind, SegmentGrid *grid);

    // Follows the viewport's place and the columns' extent.
    void place();

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    Kind m_kind;
    SegmentGrid *m_grid;
};
