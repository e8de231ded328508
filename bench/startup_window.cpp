// One start-up of a window, to be timed from outside (farm-bench): the
// process starts, shows its window, and exits as soon as the window has been
// painted on the screen. Built twice: as the editor's main window, started as
// app/main.cpp starts it, and as a bare Qt Widgets window of the same size,
// the floor the editor is measured against.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>

#ifdef VANTREL_STARTUP_EDITOR
#include "app/QtPrompts.h"
#include "app/TForm1.h"
#include "app/ToolIcons.h"
#include <clocale>
#else
#include <QMainWindow>
#endif

namespace {
// Ends the event loop once the window's first paint is on the screen: the
// paint that follows the window's first exposure is drawn and flushed in one
// go, so the next turn of the event loop comes after it.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaint firstPaint;
#ifdef VANTREL_STARTUP_EDITOR
    QApplication::setApplicationName(applicationTitle());
    QApplication::setWindowIcon(makeWindowIcon());
    std::setlocale(LC_NUMERIC, "C");
    QtPrompts prompts;
    TForm1 window(prompts);
    prompts.setParent(&window);
#else
    QMainWindow window;
    window.resize(770, 490);
#endif
    window.installEventFilter(&firstPaint);
    window.show();
    // A window that is never exposed (no display) must not hang the bench.
    QTimer::singleShot(30000, &app, [] { QCoreApplication::exit(1); });
    const int result = app.exec();
    std::fflush(stdout);
    return result;
}
