#pragma once

#include <QObject>
#include <QSize>

class QWidget;

// Sizes that name the whole window, frame and title bar included, as the
// settings file and the window's minimum size do. Qt sizes a window by its
// client area and learns the frame only once the window manager has put one
// around it: until then the frame counts as nothing, and when it becomes
// known the client area shrinks by it, so the whole window keeps its size.
class WindowFrameSizing : public QObject
{
public:
    WindowFrameSizing(QWidget *window, QSize minimumSize);

    // The whole window's size, at least the minimum.
    void setWindowSize(QSize size);
    QSize windowSize() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitToFrame();

    QWidget *m_window;
    QSize m_minimum;
    QSize m_frame{0, 0}; // the frame's share of the size, as last seen
};
