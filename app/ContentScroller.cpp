#include "app/ContentScroller.h"

#include "editor/SegmentGrid.h"

#include <QPointer>
#include <QTimer>

ContentScroller::ContentScroller(QWidget *parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("ContentScroller"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
}

void ContentScroller::showCurrentCell(const SegmentGrid &grid)
{
    const QRect cell = grid.visualRect(grid.currentIndex());
    if (!cell.isValid())
        return;
    const QPoint centre = grid.viewport()->mapTo(widget(), cell.center());
    ensureVisible(centre.x(), centre.y(), cell.width() / 2 + 2, cell.height() / 2 + 2);
}

void ContentScroller::followFocus(QWidget *now)
{
    if (!now || !widget()->isAncestorOf(now))
        return;
    QTimer::singleShot(0, this, [this, control = QPointer<QWidget>(now)] {
        if (!control || control->window()->focusWidget() != control)
            return;
        const QRect rect(control->mapTo(widget(), QPoint(0, 0)), control->size());
        if (rect.height() <= viewport()->height())
            ensureVisible(rect.center().x(), rect.center().y(), rect.width() / 2 + 1, rect.height() / 2 + 1);
        else
            ensureWidgetVisible(control);
    });
}
