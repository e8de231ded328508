#pragma once

#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

// Sizes that name the whole window, frame and title bar included, as the
// settings file and the window's minimum size do. Qt sizes a window by its
// client area and learns the frame only once the window manager has put one
// around it: until then the frame counts as nothing, and when it becomes
// known the client area shrinks by it, so the whole window keeps its size.
// No size goes past the screen's available area (a large scale factor or a
// small screen), so the whole window, status bar included, stays reachable.
class WindowFrameSizing : public QObject
{
public:
    WindowFrameSizing(QWidget *window, QSize minimumSize);

    // The whole window's size, at least the minimum, at most the screen's
    // available area.
    void setWindowSize(QSize size);
    // Position and size of the whole window, moved into the available area
    // when it would stand partly outside it.
    void setWindowGeometry(QPoint topLeft, QSize size);
    QSize windowSize() const;

    // The whole window's minimum for a screen area: the given minimum, or the
    // contents' own minimum with the frame when that is larger, never past
    // the area. Sizes are the window's whole size, frame included.
    static QSize clampedMinimum(QSize minimum, QSize contentsMinimum, QSize frame, QSize available);
    // A size for the whole window that honours the minimum and fits the area.
    static QSize clampedSize(QSize size, QSize minimum, QSize available);
    // A top-left corner that keeps a window of this size inside the area.
    static QPoint clampedPosition(QPoint topLeft, QSize size, const QRect &available);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitToFrame();
    QSize availableSize() const;
    // The whole window's minimum now (frame as last seen).
    QSize wholeMinimum() const;
    void applyMinimum();

    QWidget *m_window;
    QSize m_minimum;
    QSize m_frame{0, 0}; // the frame's share of the size, as last seen
};
