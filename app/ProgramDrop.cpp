#include "app/ProgramDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

QString droppedProgramFile(const QList<QUrl> &urls)
{
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QString path = urls.first().toLocalFile();
    if (QFileInfo(path).suffix().compare(QStringLiteral("tpd"), Qt::CaseInsensitive) != 0)
        return QString();
    return path;
}

ProgramDrop::ProgramDrop(QWidget *window, std::function<bool()> mayOpen, std::function<void(const QString &)> open)
    : QObject(window)
    , m_window(window)
    , m_mayOpen(std::move(mayOpen))
    , m_open(std::move(open))
{
    window->setAcceptDrops(true);
    qApp->installEventFilter(this);
}

bool ProgramDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    if (!drop->mimeData()->hasUrls())
        return false;

    const QString path = droppedProgramFile(drop->mimeData()->urls());
    // A modal question or a running transfer owns the window: no file now.
    if (path.isEmpty() || !m_mayOpen() || QApplication::activeModalWidget()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // Opened once the drop has ended, so that a question about unsaved
        // data does not hold the file manager's drag open.
        QTimer::singleShot(0, this, [this, path] { m_open(path); });
    }
    return true;
}
