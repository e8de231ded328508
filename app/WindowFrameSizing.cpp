#include "WindowFrameSizing.h"

#include <QEvent>
#include <QWidget>

WindowFrameSizing::WindowFrameSizing(QWidget *window, QSize minimumSize)
    : QObject(window)
    , m_window(window)
    , m_minimum(minimumSize)
{
    m_window->setMinimumSize(m_minimum);
    m_window->installEventFilter(this);
}

void WindowFrameSizing::setWindowSize(QSize size)
{
    m_window->resize(size.expandedTo(m_minimum) - m_frame);
}

QSize WindowFrameSizing::windowSize() const
{
    return m_window->size() + m_frame;
}

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
    m_window->setMinimumSize(m_minimum - m_frame);
    m_window->resize(whole - m_frame);
}
