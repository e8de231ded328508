#include "report/ProfilePlot.h"

#include "model/Numbers.h"
#include "model/AxisLabels.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

const QColor ProfilePlot::LineColour = Qt::red;

namespace {
const QString TimeTitle = QStringLiteral("Time(minutes)");
const QString TempTitle = QStringLiteral("Temp.(deg C)");

QString labelText(double value, double step)
{
    // As many decimals as the step needs: 0.5 steps show one.
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return formatFixed(value, decimals);
}
}

ProfilePlot::ProfilePlot(const QList<QPointF> &points, const QRectF &frame, const QFont &font, QPaintDevice *device)
    : m_frame(frame)
    , m_font(font)
{
    // Axes from 0 to the largest values, held at what they can label; a
    // value beyond (a file may hold 1e308) lies past the axis's end.
    const QPointF ends = axisEnds(points);
    m_maxTime = std::max(1.0, ends.x());
    m_maxTemp = std::max(1.0, ends.y());
    m_points = drawnPoints(points, QPointF(m_maxTime, m_maxTemp));
    const QFontMetricsF metrics(font, device);
    const double lineHeight = metrics.height();
    // Room for the temperature labels and the title beside them, and for the
    // time labels and the title below.
    const double tempLabelWidth = metrics.horizontalAdvance(labelText(m_maxTemp * 1.2, 1)) + lineHeight * 0.5;
    // Time labels as wide as "00000", or as the widest one when longer; the
    // last may stand on the right edge, half of it beyond.
    const double timeLabelWidth = std::max(metrics.horizontalAdvance(QStringLiteral("00000")),
                                           metrics.horizontalAdvance(labelText(m_maxTime, 1)));
    const double left = lineHeight * 1.4 + tempLabelWidth;
    const double bottom = lineHeight * 2.6;
    const double right = std::max(metrics.horizontalAdvance(QStringLiteral("0000")) * 0.7, timeLabelWidth / 2);
    const double top = lineHeight * 0.8;
    m_plot = QRectF(frame.left() + left, frame.top() + top, std::max(1.0, frame.width() - left - right),
                    std::max(1.0, frame.height() - top - bottom));

    m_timeStep = axisLabelStep(m_maxTime, m_plot.width(), timeLabelWidth, 0);
    m_tempStep = axisLabelStep(m_maxTemp, m_plot.height(), lineHeight * 2, 0);
    // The temperature axis ends on a label a little above the highest point.
    m_maxTemp = std::ceil(m_maxTemp * 1.05 / m_tempStep) * m_tempStep;
    m_lineWidth = std::max(1.0, frame.height() / 200);
}

QPointF ProfilePlot::toDevice(QPointF value) const
{
    const QPointF drawn = drawnPoint(value, QPointF(m_maxTime, m_maxTemp));
    return QPointF(m_plot.left() + drawn.x() / m_maxTime * m_plot.width(),
                   m_plot.bottom() - drawn.y() / m_maxTemp * m_plot.height());
}

void ProfilePlot::paint(QPainter &painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(m_font);
    const QFontMetricsF metrics(m_font, painter.device());
    const double thin = m_lineWidth / 2;

    painter.fillRect(m_plot, Qt::white);
    // Grid lines and labels at whole steps from 0.
    const int timeLabels = axisLabelCount(m_maxTime, m_timeStep);
    for (int i = 0; i < timeLabels; ++i) {
        const double t = i * m_timeStep;
        const double x = toDevice(QPointF(t, 0)).x();
        painter.setPen(QPen(QColor(215, 215, 215), thin));
        painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
        painter.setPen(QPen(Qt::black, thin));
        const QString text = labelText(t, m_timeStep);
        const double w = metrics.horizontalAdvance(text);
        painter.drawText(QRectF(x - w, m_plot.bottom() + metrics.height() * 0.2, 2 * w, metrics.height()),
                         Qt::AlignCenter, text);
    }
    const int tempLabels = axisLabelCount(m_maxTemp, m_tempStep);
    for (int i = 0; i < tempLabels; ++i) {
        const double v = i * m_tempStep;
        const double y = toDevice(QPointF(0, v)).y();
        painter.setPen(QPen(QColor(215, 215, 215), thin));
        painter.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
        painter.setPen(QPen(Qt::black, thin));
        painter.drawText(QRectF(m_frame.left(), y - metrics.height() / 2, m_plot.left() - m_frame.left() - metrics.height() * 0.3,
                                metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, labelText(v, m_tempStep));
    }
    painter.setPen(QPen(Qt::black, thin));
    painter.drawText(QRectF(m_plot.left(), m_frame.bottom() - metrics.height() * 1.2, m_plot.width(), metrics.height()),
                     Qt::AlignCenter, TimeTitle);
    painter.save();
    painter.translate(m_frame.left() + metrics.height() * 0.1, m_plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-m_plot.height() / 2, 0, m_plot.height(), metrics.height()), Qt::AlignCenter, TempTitle);
    painter.restore();
    painter.setPen(QPen(Qt::black, m_lineWidth));
    painter.drawLine(m_plot.bottomLeft(), m_plot.bottomRight());
    painter.drawLine(m_plot.bottomLeft(), m_plot.topLeft());

    if (!m_points.isEmpty()) {
        QPainterPath path(toDevice(m_points.first()));
        for (qsizetype i = 1; i < m_points.size(); ++i)
            path.lineTo(toDevice(m_points[i]));
        painter.setClipRect(m_plot.adjusted(-m_lineWidth, -m_lineWidth, m_lineWidth, m_lineWidth));
        painter.setPen(QPen(LineColour, m_lineWidth * 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    painter.restore();
}
