#include "model/ProfilePlot.h"

#include "model/AxisLabels.h"
#include "model/Numbers.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

const QColor ProfilePlot::LineColour = Qt::red;
const QColor ProfilePlot::BackgroundLineColour = QColor(150, 150, 150);

namespace {
const QString TimeTitle = QStringLiteral("Time(minutes)");
const QString TempTitle = QStringLiteral("Temp.(deg C)");
// Labels of the time axis stand at least this far apart (minutes).
constexpr double MinTimeStep = 5;

QString labelText(double value, double step)
{
    // As many decimals as the step needs: 0.5 steps show one.
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return formatFixed(value, decimals);
}

QStringList labels(double end, double step)
{
    QStringList texts;
    const int count = axisLabelCount(end, step);
    for (int i = 0; i < count; ++i)
        texts << labelText(i * step, step);
    return texts;
}
}

QColor PlotColours::mixed(const QColor &base, const QColor &over, double share)
{
    auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(base.red(), over.red()), channel(base.green(), over.green()),
                  channel(base.blue(), over.blue()));
}

double PlotColours::luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

double PlotColours::contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor PlotColours::lineOn(const QColor &background)
{
    const QColor red = ProfilePlot::LineColour;
    // Red on white is about 4:1; graphics need 3:1.
    const double wanted = std::max(3.0, contrastRatio(red, Qt::white) - 0.01);
    if (contrastRatio(red, background) >= wanted)
        return red;
    const QColor toward = luminance(background) < luminance(red) ? QColor(Qt::white) : QColor(Qt::black);
    QColor line = red;
    for (int step = 1; step <= 20 && contrastRatio(line, background) < wanted; ++step)
        line = mixed(red, toward, step * 0.05);
    return line;
}

PlotColours PlotColours::fromPalette(const QPalette &palette)
{
    PlotColours colours;
    colours.panel = palette.color(QPalette::Base);
    colours.plot = palette.color(QPalette::Base);
    colours.line = lineOn(colours.plot);
    colours.text = palette.color(QPalette::WindowText);
    colours.grid = mixed(colours.plot, palette.color(QPalette::Text), 0.18);
    colours.crossHair = mixed(colours.plot, palette.color(QPalette::Text), 0.55);
    colours.readoutBox = palette.color(QPalette::ToolTipBase);
    colours.readoutText = palette.color(QPalette::ToolTipText);
    return colours;
}

QPalette PlotColours::paperPalette()
{
    QPalette palette;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::ToolTipBase})
        palette.setColor(role, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ToolTipText})
        palette.setColor(role, Qt::black);
    return palette;
}

ProfilePlot::ProfilePlot(const Profile &profile, const QRectF &frame, const QFont &font, QPaintDevice *device,
                         const PlotColours &colours, const QList<QPointF> &background)
    : m_profile(profile)
    , m_frame(frame)
    , m_font(font)
    , m_colours(colours)
{
    // Axes from 0 to the largest values, held at what they can label; a
    // value beyond (a file may hold 1e308) is drawn just past the axis's end.
    const QPointF ends = axisEnds(profile.points + background);
    m_maxTime = ends.x();
    m_maxTemp = ends.y();
    m_drawn = drawnPoints(profile.points, ends);
    m_background = drawnPoints(background, ends);
    m_timeEnd = m_maxTime / TimeAxisEnd;
    m_tempTop = m_maxTemp * TempAxisBottom / (TempAxisBottom - TempAxisTop);

    const QFontMetricsF metrics(font, device);
    const double line = metrics.height();
    // Whole device pixels, so that lines on a screen stay sharp.
    m_lineWidth = std::max(1.0, std::round(line / 14));
    const double pad = std::max(2.0, std::round(line * 0.3));

    // Height first: the temperature labels' step, and so their width,
    // depends on it. Below the plot: the tick gap, the time labels, a gap and
    // the title.
    const double top = std::max(frame.height() * TopMargin, line * 0.6);
    const double bottom = m_lineWidth + line * 0.2 + line + line * 0.15 + line + pad;
    const double plotTop = std::round(frame.top() + top);
    const double plotBottom = std::max(plotTop + 1, std::round(frame.bottom() - bottom));
    const double plotHeight = plotBottom - plotTop;
    m_tempStep = axisLabelStep(m_tempTop, plotHeight * TempAxisBottom, line * 1.4, 0);
    const QStringList temps = tempLabels();
    double tempLabelWidth = 0;
    for (const QString &text : temps)
        tempLabelWidth = std::max(tempLabelWidth, metrics.horizontalAdvance(text));

    // Left of the plot: the title turned on its side, a gap, the labels and
    // the tick gap; the gap leaves room for labels that a print preview at a
    // small zoom draws wider than they measure. Right: half the widest time
    // label, which may stand on the right edge.
    const double timeLabelWidth = std::max(metrics.horizontalAdvance(QStringLiteral("000")),
                                           metrics.horizontalAdvance(labelText(std::floor(m_timeEnd), 1)));
    const double left = pad + line + line * 0.8 + tempLabelWidth + line * 0.3;
    const double right = timeLabelWidth / 2 + pad;
    const double plotLeft = std::round(frame.left() + left);
    const double plotRight = std::max(plotLeft + 1, std::round(frame.right() - right));
    m_plot = QRectF(plotLeft, plotTop, plotRight - plotLeft, plotHeight);
    m_timeStep = axisLabelStep(m_timeEnd, m_plot.width(), timeLabelWidth + line, MinTimeStep);
}

QFont ProfilePlot::labelFont(QSizeF frame)
{
    // The window's own face (Noto Sans CJK JP stands in for MS UI Gothic),
    // growing with the chart's height from the window's 12 pixels.
    QFont font;
    font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::clamp(int(frame.height()) / 30, 12, 48));
    return font;
}

QStringList ProfilePlot::timeLabels() const { return labels(m_timeEnd, m_timeStep); }

QStringList ProfilePlot::tempLabels() const { return labels(m_tempTop, m_tempStep); }

QList<QPointF> ProfilePlot::selectedSegment() const
{
    for (const ProfileSegment &segment : m_profile.segments)
        if (segment.column == m_selectedColumn && segment.takesTime())
            return {segment.start, segment.end};
    return {};
}

QPointF ProfilePlot::toDevice(QPointF value) const
{
    const QPointF drawn = drawnPoint(value, QPointF(m_maxTime, m_maxTemp));
    const double tempShare = TempAxisBottom - TempAxisTop;
    return QPointF(m_plot.left() + drawn.x() / m_timeEnd * m_plot.width(),
                   m_plot.top() + m_plot.height() * (TempAxisBottom - drawn.y() / m_maxTemp * tempShare));
}

double ProfilePlot::minutesAt(double x) const { return (x - m_plot.left()) / m_plot.width() * m_timeEnd; }

double ProfilePlot::crisp(double coordinate) const
{
    // An odd width centred on a pixel's middle, an even one on its edge.
    return int(m_lineWidth) % 2 ? std::floor(coordinate) + 0.5 : std::round(coordinate);
}

void ProfilePlot::paint(QPainter &painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(m_font);
    painter.setBrush(Qt::NoBrush);
    const QFontMetricsF metrics(m_font, painter.device());
    const double w = m_lineWidth;

    painter.fillRect(m_frame, m_colours.panel);
    painter.fillRect(m_plot, m_colours.plot);
    paintGrid(painter, metrics);
    paintAxes(painter, metrics.height());

    painter.setClipRect(m_plot.adjusted(-w, -w, w, w));
    paintLine(painter, m_background, w, BackgroundLineColour);
    paintLine(painter, m_drawn, w, m_colours.line);
    paintLine(painter, selectedSegment(), 3 * w, m_colours.line);
    painter.restore();
}

// Grid lines and labels at whole steps from 0; the time axis's own line
// stands where its 0 would.
void ProfilePlot::paintGrid(QPainter &painter, const QFontMetricsF &metrics) const
{
    const double line = metrics.height();
    const double w = m_lineWidth;
    const QPen gridPen(m_colours.grid, w, Qt::SolidLine, Qt::FlatCap);
    const QPen textPen(m_colours.text, w, Qt::SolidLine, Qt::FlatCap);
    const QStringList times = timeLabels();
    const double timeLabelTop = m_plot.bottom() + w + line * 0.2;
    for (int i = 0; i < times.size(); ++i) {
        const double x = toDevice(QPointF(i * m_timeStep, 0)).x();
        if (i > 0) {
            const double gridX = std::min(crisp(x), m_plot.right() - w / 2);
            painter.setPen(gridPen);
            painter.drawLine(QPointF(gridX, m_plot.top()), QPointF(gridX, m_plot.bottom()));
        }
        painter.setPen(textPen);
        const double width = metrics.horizontalAdvance(times[i]) + line;
        painter.drawText(QRectF(x - width / 2, timeLabelTop, width, line), Qt::AlignCenter, times[i]);
    }
    const QStringList temps = tempLabels();
    const double tempLabelRight = m_plot.left() - w - line * 0.3;
    for (int i = 0; i < temps.size(); ++i) {
        const double y = toDevice(QPointF(0, i * m_tempStep)).y();
        painter.setPen(gridPen);
        painter.drawLine(QPointF(m_plot.left(), crisp(y)), QPointF(m_plot.right(), crisp(y)));
        painter.setPen(textPen);
        painter.drawText(QRectF(m_frame.left(), y - line / 2, tempLabelRight - m_frame.left(), line),
                         Qt::AlignRight | Qt::AlignVCenter, temps[i]);
    }
}

// The axes' titles, and the axis lines just outside the plot, along its left
// and bottom edges.
void ProfilePlot::paintAxes(QPainter &painter, double line) const
{
    const double w = m_lineWidth;
    const double timeLabelTop = m_plot.bottom() + w + line * 0.2;
    painter.setPen(QPen(m_colours.text, w, Qt::SolidLine, Qt::FlatCap));
    painter.drawText(QRectF(m_plot.left(), timeLabelTop + line * 1.15, m_plot.width(), line), Qt::AlignCenter,
                     TimeTitle);
    painter.save();
    const double pad = std::max(2.0, std::round(line * 0.3));
    painter.translate(m_frame.left() + pad, m_plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-m_plot.height() / 2, 0, m_plot.height(), line), Qt::AlignCenter, TempTitle);
    painter.restore();

    const double axisX = m_plot.left() - w / 2;
    const double axisY = m_plot.bottom() + w / 2;
    painter.drawLine(QPointF(axisX, m_plot.top()), QPointF(axisX, m_plot.bottom() + w));
    painter.drawLine(QPointF(m_plot.left() - w, axisY), QPointF(m_plot.right(), axisY));
}

void ProfilePlot::paintLine(QPainter &painter, const QList<QPointF> &values, double width, const QColor &colour) const
{
    if (values.isEmpty())
        return;
    QPainterPath path(toDevice(values.first()));
    for (qsizetype i = 1; i < values.size(); ++i)
        path.lineTo(toDevice(values[i]));
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

void ProfilePlot::paintReadout(QPainter &painter, QPointF at, const ProfileReading &reading, const QString &text) const
{
    if (text.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(m_frame);
    const double w = m_lineWidth;
    painter.setPen(QPen(m_colours.crossHair, w, Qt::DashLine, Qt::FlatCap));
    const double x = crisp(std::clamp(at.x(), m_plot.left(), m_plot.right()));
    painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
    // The point read: on the line, or where the mouse is past its ends.
    const QPointF onLine = reading.onProfile() ? toDevice(QPointF(reading.minutes, reading.temperature)) : at;
    if (reading.onProfile()) {
        painter.drawLine(QPointF(m_plot.left(), crisp(onLine.y())), QPointF(m_plot.right(), crisp(onLine.y())));
        painter.setPen(QPen(m_colours.text, w));
        painter.drawEllipse(onLine, 3 * w, 3 * w);
    }

    // The text in a box in the corner of the plot away from the point read,
    // so it never hides it; shortened when the plot is narrower than it.
    painter.setFont(m_font);
    const QFontMetricsF metrics(m_font, painter.device());
    const double line = metrics.height();
    const double inset = 2 * w;
    const double room = std::max(1.0, m_plot.width() - 2 * inset - line * 0.6);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, room);
    const QSizeF size(std::round(metrics.horizontalAdvance(shown) + line * 0.6), std::round(line * 1.2));
    const bool left = at.x() > m_plot.center().x();
    const bool top = onLine.y() > m_plot.center().y();
    const QRectF box(QPointF(left ? m_plot.left() + inset : m_plot.right() - inset - size.width(),
                             top ? m_plot.top() + inset : m_plot.bottom() - inset - size.height()),
                     size);
    painter.fillRect(box, m_colours.readoutBox);
    painter.setPen(QPen(m_colours.crossHair, w));
    painter.drawRect(box.adjusted(w / 2, w / 2, -w / 2, -w / 2));
    painter.setPen(m_colours.readoutText);
    painter.drawText(box, Qt::AlignCenter, shown);
    painter.restore();
}
