#include "report/ReportExport.h"

#include "model/SegmentTable.h"

#include "files/AtomicFile.h"
#include "report/ProgramSheet.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>

namespace ReportExport {

QFont chartFont(QSize size) { return ProfilePlot::labelFont(QSizeF(size)); }

ProfilePlot chartPlot(const Profile &profile, QSize size, QPaintDevice *device)
{
    return ProfilePlot(profile, QRectF(QPointF(0, 0), QSizeF(size)), chartFont(size), device);
}

namespace {
void paintChart(QPainter &painter, const Profile &profile, QSize size)
{
    chartPlot(profile, size, painter.device()).paint(painter);
}
}

QPageSize::PageSizeId defaultPageSize()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QByteArray pdf(const ProgramReport &report, QPageSize::PageSizeId pageSize)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(pageSize));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("Temperature program"));
        writer.setCreator(report.version);
        QPainter painter(&writer);
        ProgramSheet::paint(painter, QRectF(0, 0, writer.width(), writer.height()), report);
    }
    return buffer.data();
}

QByteArray png(const Profile &profile, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        paintChart(painter, profile, size);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    // Qt's quality 80 is zlib's fastest level: a chart's flat colours then
    // take a sixth more bytes and about 40 per cent less time than at the
    // default level, which is most of what an export of the chart costs.
    QImageWriter writer(&buffer, "PNG");
    writer.setQuality(80);
    writer.write(image);
    return buffer.data();
}

QByteArray svg(const Profile &profile, QSize size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QStringLiteral("Temperature profile"));
        QPainter painter(&generator);
        paintChart(painter, profile, size);
    }
    return buffer.data();
}

QByteArray csv(const Profile &profile)
{
    QByteArray text = "Time(minutes),Temp.(deg C)\n";
    for (const QPointF &p : profile.points) {
        // QByteArray::number is locale-independent.
        text += QByteArray::number(p.x(), 'g', QLocale::FloatingPointShortest) + ','
            + QByteArray::number(p.y(), 'g', QLocale::FloatingPointShortest) + '\n';
    }
    return text;
}

QByteArray segmentsCsv(const TemperatureProgram &program)
{
    return SegmentTable::write(program, 1, SegmentTable::lastSetColumn(program), SegmentTable::Comma).toUtf8();
}

bool write(const QString &path, const QByteArray &bytes, QString *reason)
{
    if (bytes.isEmpty()) {
        if (reason)
            *reason = QStringLiteral("nothing could be drawn");
        return false;
    }
    return writeFileAtomically(path, bytes, reason);
}

}
