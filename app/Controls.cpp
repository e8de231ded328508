#include "app/Controls.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

TSpinEdit::TSpinEdit(QWidget *parent) : QSpinBox(parent) {}

void TSpinEdit::keyPressEvent(QKeyEvent *event)
{
    // Only the arrows change the number; typing into it is off.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QSpinBox::keyPressEvent(event);
        break;
    default:
        event->ignore();
    }
}

void TSpinEdit::wheelEvent(QWheelEvent *event) { event->ignore(); }

PanelCaption::PanelCaption(const QString &text, int gapEnd, QWidget *parent) : QLabel(text, parent), m_gapEnd(gapEnd)
{
    setAccessibleName(text.simplified());
}

void PanelCaption::paintEvent(QPaintEvent *)
{
    const QString caption = text();
    const int gap = caption.indexOf(QLatin1String("  "), caption.indexOf(QLatin1Char('.')));
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QRect r = contentsRect();
    if (gap < 0) {
        p.drawText(r, int(alignment()), caption);
        return;
    }
    p.drawText(r, int(alignment()), caption.left(gap));
    const int after = std::max(m_gapEnd - x(), QFontMetrics(font()).horizontalAdvance(caption.left(gap)));
    p.drawText(r.adjusted(after, 0, 0, 0), int(alignment()), caption.mid(gap).trimmed());
}
