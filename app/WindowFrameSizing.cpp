#include "app/WindowFrameSizing.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

WindowFrameSizing::WindowFrameSizing(QWidget *window, QSize minimumSize)
    : QObject(window)
    , m_window(window)
    , m_minimum(minimumSize)
{
    applyMinimum();
    m_window->installEventFilter(this);
}

QSize WindowFrameSizing::clampedMinimum(QSize minimum, QSize contentsMinimum, QSize frame, QSize available)
{
    const QSize wanted = minimum.expandedTo(contentsMinimum.isValid() ? contentsMinimum + frame : QSize(0, 0));
    return available.isValid() && !available.isEmpty() ? wanted.boundedTo(available) : wanted;
}

QSize WindowFrameSizing::clampedSize(QSize size, QSize minimum, QSize available)
{
    const QSize wanted = size.expandedTo(minimum);
    return available.isValid() && !available.isEmpty() ? wanted.boundedTo(available) : wanted;
}

QPoint WindowFrameSizing::clampedPosition(QPoint topLeft, QSize size, const QRect &available)
{
    if (!available.isValid())
        return topLeft;
    const int x =
        std::max(available.left(), std::min(topLeft.x(), available.left() + available.width() - size.width()));
    const int y =
        std::max(available.top(), std::min(topLeft.y(), available.top() + available.height() - size.height()));
    return {x, y};
}

void WindowFrameSizing::setWindowGeometry(QPoint topLeft, QSize size)
{
    setWindowSize(size);
    // The screen the stored corner lies on, else the primary one.
    const QScreen *screen =
        QGuiApplication::screenAt(topLeft) ? QGuiApplication::screenAt(topLeft) : QGuiApplication::primaryScreen();
    m_window->move(screen ? clampedPosition(topLeft, windowSize(), screen->availableGeometry()) : topLeft);
}

QSize WindowFrameSizing::availableSize() const
{
    const QScreen *screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

QSize WindowFrameSizing::wholeMinimum() const
{
    return clampedMinimum(m_minimum, m_window->minimumSizeHint(), m_frame, availableSize());
}

void WindowFrameSizing::applyMinimum() { m_window->setMinimumSize(wholeMinimum() - m_frame); }

void WindowFrameSizing::setWindowSize(QSize size)
{
    applyMinimum();
    m_window->resize(clampedSize(size, wholeMinimum(), availableSize()) - m_frame);
}

QSize WindowFrameSizing::windowSize() const { return m_window->size() + m_frame; }

bool WindowFrameSizing::eventFilter(QObject *watched, QEvent *event)
{
    // The frame may become known, or change, whenever the window is shown,
    // moved or resized.
    if (watched == m_window
        && (event->type() == QEvent::Show || event->type() == QEvent::Move || event->type() == QEvent::Resize))
        fitToFrame();
    return false;
}

void WindowFrameSizing::fitToFrame()
{
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    if (frame == m_frame || !frame.isValid())
        return;
    const QSize whole = windowSize();
    m_frame = frame;
    applyMinimum();
    m_window->resize(clampedSize(whole, wholeMinimum(), availableSize()) - m_frame);
}
