#include "editor/FixedCellStrip.h"

#include "editor/SegmentGrid.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

FixedCellStrip::FixedCellStrip(Kind kind, SegmentGrid *grid) : QWidget(grid), m_kind(kind), m_grid(grid)
{
    setObjectName(kind == LabelColumn ? QStringLiteral("LabelColumn") : QStringLiteral("NumberRow"));
    setFocusPolicy(Qt::NoFocus);
}

void FixedCellStrip::place()
{
    const QRect viewport = m_grid->viewport()->geometry();
    const QAbstractItemModel *model = m_grid->model();
    const int lastRow = model->rowCount() - 1;
    const int lastCol = model->columnCount() - 1;
    const int labelWidth = m_grid->columnWidth(0);
    if (m_kind == LabelColumn) {
        const int bottom = m_grid->rowViewportPosition(lastRow) + m_grid->rowHeight(lastRow);
        setGeometry(viewport.x(), viewport.y(), labelWidth, std::clamp(bottom, 0, viewport.height()));
    } else {
        const int right = m_grid->columnViewportPosition(lastCol) + m_grid->columnWidth(lastCol);
        setGeometry(viewport.x() + labelWidth, viewport.y(), std::clamp(right - labelWidth, 0, viewport.width()),
                    m_grid->rowHeight(0));
    }
    raise();
    update();
}

void FixedCellStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QAbstractItemModel *model = m_grid->model();
    // Cell rectangles in viewport coordinates, moved into this strip.
    const QPoint origin = mapFrom(m_grid, m_grid->viewport()->geometry().topLeft());
    if (m_kind == LabelColumn) {
        for (int row = model->rowCount() - 1; row >= 0; --row) {
            const QModelIndex index = model->index(row, 0);
            m_grid->paintFixedCell(&painter, index, m_grid->visualRect(index).translated(origin));
        }
    } else {
        for (int col = 1; col < model->columnCount(); ++col) {
            const QModelIndex index = model->index(0, col);
            const QRect rect = m_grid->visualRect(index).translated(origin);
            if (rect.right() >= 0 && rect.left() < width())
                m_grid->paintFixedCell(&painter, index, rect);
        }
    }
}

void FixedCellStrip::contextMenuEvent(QContextMenuEvent *event)
{
    emit m_grid->contextMenuAt(m_grid->viewport()->mapFromGlobal(event->globalPos()));
    event->accept();
}

void FixedCellStrip::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (m_kind != NumberRow || event->button() != Qt::LeftButton || !m_grid->isEnabled())
        return;
    m_grid->setFocus(Qt::MouseFocusReason);
    const int col = m_grid->columnAt(m_grid->viewport()->mapFromGlobal(event->globalPosition().toPoint()).x());
    m_grid->pickSegment(col, event->modifiers() & Qt::ShiftModifier);
}

bool FixedCellStrip::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        // The tip of the segment number under the mouse, as the model gives it.
        const auto *help = static_cast<QHelpEvent *>(event);
        const int col = m_grid->columnAt(m_grid->viewport()->mapFromGlobal(help->globalPos()).x());
        const QModelIndex index = m_kind == NumberRow ? m_grid->model()->index(0, col) : QModelIndex();
        const QString tip = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}
