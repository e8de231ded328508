#include "app/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
template<typename Draw> QIcon drawIcon(Draw draw)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

void page(QPainter &p)
{
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
    p.drawPolyline(QPolygon({{10, 1}, {10, 4}, {13, 4}}));
}
}

QList<QIcon> makeToolIcons()
{
    QList<QIcon> icons;
    icons << drawIcon([](QPainter &p) { page(p); });
    icons << drawIcon([](QPainter &p) {
        p.setPen(QColor(120, 90, 20));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 4, 13, 10);
        p.drawRect(1, 2, 5, 2);
        p.setBrush(QColor(250, 225, 130));
        p.drawPolygon(QPolygon({{3, 7}, {15, 7}, {13, 14}, {1, 14}}));
    });
    icons << drawIcon([](QPainter &p) {
        p.setPen(QColor(20, 40, 90));
        p.setBrush(QColor(50, 90, 170));
        p.drawRect(1, 1, 13, 13);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 7, 5);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(4, 9, 7, 5);
    });
    icons << drawIcon([](QPainter &p) {
        p.setPen(QColor(40, 40, 40));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(2, 4, 11, 7);
        for (int x = 4; x <= 11; x += 2)
            p.drawPoint(x, 7);
    });
    icons << drawIcon([](QPainter &p) {
        p.setPen(QColor(20, 90, 20));
        p.setBrush(QColor(60, 170, 60));
        p.drawPolygon(QPolygon({{1, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {1, 10}}));
    });
    icons << drawIcon([](QPainter &p) {
        p.setPen(QColor(120, 0, 0));
        p.setBrush(QColor(210, 30, 30));
        p.drawRect(2, 2, 11, 11);
    });
    return icons;
}

QIcon makeWindowIcon()
{
    // The application's icon, the same pictures the desktop shows.
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/vantrel-assistant-%1.png").arg(size), QSize(size, size));
    return icon;
}
