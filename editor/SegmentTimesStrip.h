#pragma once

#include <QFrame>
#include <QList>

class QLabel;
class SegmentGrid;

// Under the grid, aligned with its columns: when each set segment starts and
// ends (h:mm:ss) and the temperature it ends at, from the profile last drawn,
// so they are in view without hovering. Read-only; each column's text is also
// its accessible name ("Segment 3: 0:11:00 to 1:45:00, ends at 150.0 °C").
class SegmentTimesStrip : public QFrame
{
    Q_OBJECT
public:
    explicit SegmentTimesStrip(SegmentGrid *grid, QWidget *parent = nullptr);

    // The label of the slot in grid column `col` (1 to 32).
    QLabel *columnLabel(int col) const { return m_columns.value(col - 1); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fill();
    void place();
    void showLines();

    SegmentGrid *m_grid;
    QLabel *m_captions;
    QList<QLabel *> m_columns;
};
