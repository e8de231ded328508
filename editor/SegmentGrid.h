#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

class SegmentGridModel;

// StringGrid1: the segment table as a grid of text cells. Row 0 and column 0
// are fixed cells drawn by the grid itself; Qt's header views stay hidden.
class SegmentGrid : public QTableView
{
    Q_OBJECT
public:
    explicit SegmentGrid(SegmentGridModel *model, QWidget *parent = nullptr);

    SegmentGridModel *gridModel() const { return m_model; }
    QString cell(int row, int col) const;

    // GridExited: the grid lost the focus and was not clicked since; the
    // current cell is then painted without the selection colour.
    bool gridExited() const { return m_gridExited; }
    void setGridExited(bool exited);

    // Whether a cell is drawn as not used by its slot's mode.
    bool isInactiveCell(int row, int col) const;

    static constexpr int RowHeight = 20;
    static constexpr int LabelColumnWidth = 100;
    static constexpr int SlotColumnWidth = 64;

private:
    void applyColumnWidths();

    SegmentGridModel *m_model;
    bool m_gridExited = false;
};

// Paints one cell of the segment grid: fixed cells, alignment by row,
// inactive cells of a slot in the scroll-bar colour.
class SegmentGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit SegmentGridDelegate(SegmentGrid *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    SegmentGrid *m_grid;
};
