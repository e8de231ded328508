#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>

class QWidget;

// The one program file a drag carries: a single local file whose name ends
// in ".tpd" (any case). Empty for anything else, several files included.
QString droppedProgramFile(const QList<QUrl> &urls);

// Lets a program file be dropped anywhere on a window. Watches the drag
// events of every widget of `window` (the comment and the fields would
// otherwise take a file's name as text): a drag of one program file is
// accepted and its drop opens it, after the drop has finished; a drag of any
// other files is refused. Text drags are left to the widgets.
class ProgramDrop : public QObject
{
    Q_OBJECT
public:
    // `mayOpen` tells whether the window takes a file now (not during a
    // transfer); `open` opens it as Open does, questions included.
    ProgramDrop(QWidget *window, std::function<bool()> mayOpen, std::function<void(const QString &)> open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<bool()> m_mayOpen;
    std::function<void(const QString &)> m_open;
};
