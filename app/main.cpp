#include "app/QtPrompts.h"
#include "app/TForm1.h"
#include "app/ToolIcons.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <clocale>

namespace {
// The last line of defence: an error escaping an event handler is shown by
// the default error display instead of crossing Qt's event loop.
class Application : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            QtPrompts(activeWindow()).error(QString::fromUtf8(e.what()));
        }
        return false;
    }
};
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setWindowIcon(makeWindowIcon());
    std::setlocale(LC_NUMERIC, "C");

    QtPrompts prompts;
    TForm1 form(prompts);
    prompts.setParent(&form);
    form.show();
    // A file named on the command line (a double-click in the file manager)
    // opens once the window is up, so its errors show over the window.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        QTimer::singleShot(0, &form, [&form, path = arguments.at(1)] { form.openFromCommandLine(path); });
    return app.exec();
}
