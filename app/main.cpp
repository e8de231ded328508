#include "QtPrompts.h"
#include "TForm1.h"

#include <QApplication>
#include <QMessageBox>
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
    std::setlocale(LC_NUMERIC, "C");

    QtPrompts prompts;
    TForm1 form(prompts);
    prompts.setParent(&form);
    form.show();
    return app.exec();
}
