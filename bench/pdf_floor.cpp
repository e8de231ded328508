// The least a one-page export costs: a process that starts Qt's GUI on the
// offscreen platform, writes one PDF page with one line of text into memory
// and exits. `vantrel export` is measured against it (see the README).
#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        painter.drawText(QPointF(100, 100), QStringLiteral("Temperature program"));
    }
    return buffer.size() > 0 ? 0 : 1;
}
