#include "editor/ProfileChart.h"

#include "model/AxisLabels.h"


#include <QChart>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

ProfileChart::ProfileChart(QWidget *parent)
    : QChartView(parent)
{
    setObjectName(QStringLiteral("Chart1"));
    setAccessibleName(QStringLiteral("Profile chart"));
    setRubberBand(QChartView::NoRubberBand);
    setRenderHint(QPainter::Antialiasing, false);
    setFrameShape(QFrame::NoFrame);

    auto *chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    // The chart keeps its own light colours in any theme: its labels and
    // lines are drawn dark on them.
    chart->setBackgroundBrush(QColor(0xC8, 0xC8, 0xC8));
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setAnimationOptions(QChart::NoAnimation);

    m_series = new QLineSeries;
    m_series->setObjectName(QStringLiteral("Series1"));
    QPen pen(Qt::red);
    pen.setWidth(1);
    m_series->setPen(pen);
    m_series->setPointsVisible(false);
    m_series->setPointLabelsVisible(false);
    chart->addSeries(m_series);
    m_highlight = new QLineSeries;
    m_highlight->setObjectName(QStringLiteral("SelectedSegment"));
    QPen thick(Qt::red);
    thick.setWidth(3);
    m_highlight->setPen(thick);
    chart->addSeries(m_highlight);
    setMouseTracking(true);
    // A click reads the chart; the keyboard stays where it was.
    setFocusPolicy(Qt::NoFocus);

    QFont titleFont = font();
    titleFont.setPixelSize(9);
    auto makeAxis = [&](const QString &title) {
        auto *axis = new QValueAxis;
        axis->setTitleText(title);
        axis->setTitleFont(titleFont);
        axis->setLabelsFont(titleFont);
        axis->setLabelFormat(QStringLiteral("%g"));
        QPen line(Qt::black);
        line.setWidth(1);
        axis->setLinePen(line);
        axis->setRange(0, 1);
        return axis;
    };
    m_tempAxis = makeAxis(QStringLiteral("Temp.(deg C)"));
    m_timeAxis = makeAxis(QStringLiteral("Time(minutes)"));
    // Labels at whole multiples of a round step from 0, never at the ends of
    // a range that is only a margin.
    for (QValueAxis *axis : {m_tempAxis, m_timeAxis}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(1);
    }
    chart->addAxis(m_tempAxis, Qt::AlignLeft);
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_series->attachAxis(m_tempAxis);
    m_series->attachAxis(m_timeAxis);
    m_highlight->attachAxis(m_tempAxis);
    m_highlight->attachAxis(m_timeAxis);
    setChart(chart);
}

void ProfileChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    // A top margin of a tenth of the chart's height; the others stay small.
    chart()->setMargins(QMargins(4, std::max(2, height() / 10), 8, 0));
    fitAxes();
}

namespace {
// Gives an axis its new range and label step in the order that never pairs a
// wide range with a small step: the chart builds one label per step at once,
// so a 96,000-minute range at the 5-minute step of a short program would
// build some 19,000 of them.
void setRangeAndStep(QValueAxis *axis, double min, double max, double step)
{
    if (step >= axis->tickInterval()) {
        axis->setTickInterval(step);
        axis->setRange(min, max);
    } else {
        axis->setRange(min, max);
        axis->setTickInterval(step);
    }
}
}

void ProfileChart::fitAxes()
{
    // Both axes start at 0 and reach the largest value drawn, held at what
    // they can label (an empty or flat line still gets a visible range); the
    // plot around them is the margin.
    const QPointF ends = axisEnds(m_series->points());
    const double timeMax = ends.x();
    const double tempMax = ends.y();
    const QRectF plot = chart()->plotArea().isEmpty() ? QRectF(rect()) : chart()->plotArea();
    constexpr double minTimeLabelPixels = 40; // "96000" and a gap
    constexpr double minTempLabelPixels = 15; // one line of the label font and a gap
    constexpr double minTimeStep = 5;         // minutes
    const double tempShare = TempAxisBottom - TempAxisTop;
    setRangeAndStep(m_timeAxis, 0, timeMax / TimeAxisEnd,
                    axisLabelStep(timeMax, plot.width() * TimeAxisEnd, minTimeLabelPixels, minTimeStep));
    setRangeAndStep(m_tempAxis, -tempMax * (1 - TempAxisBottom) / tempShare, tempMax + tempMax * TempAxisTop / tempShare,
                    axisLabelStep(tempMax, plot.height() * tempShare, minTempLabelPixels, 0));
}

void ProfileChart::setPoints(const QList<QPointF> &points)
{
    // A value beyond the axes (a pasted or loaded 1e308) is drawn just
    // beyond them, where the chart's coordinates stay small.
    m_series->replace(drawnPoints(points, axisEnds(points)));
    fitAxes();
}

void ProfileChart::clearPoints()
{
    m_profile = Profile();
    m_readout.clear();
    m_series->clear();
    showHighlight();
    fitAxes();
}

void ProfileChart::setProfile(const Profile &profile)
{
    m_profile = profile;
    setPoints(profile.points);
    showHighlight();
    if (!m_readout.isEmpty()) // the mouse is over the chart: read the new line
        m_readout = readoutAt(m_mouse);
}

void ProfileChart::highlightColumn(int column)
{
    m_highlightColumn = column;
    showHighlight();
}

void ProfileChart::showHighlight()
{
    for (const ProfileSegment &segment : m_profile.segments) {
        if (segment.column == m_highlightColumn && segment.takesTime()) {
            m_highlight->replace(drawnPoints({segment.start, segment.end}, axisEnds(m_series->points())));
            return;
        }
    }
    m_highlight->clear();
}

std::optional<ProfileReading> ProfileChart::readingAt(QPoint viewPos) const
{
    if (m_profile.segments.isEmpty())
        return std::nullopt;
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewPos));
    if (!chart()->plotArea().contains(inChart))
        return std::nullopt;
    return readProfile(m_profile, chart()->mapToValue(inChart, m_series).x());
}

QString ProfileChart::readoutAt(QPoint viewPos) const
{
    const auto reading = readingAt(viewPos);
    return reading ? readoutText(m_profile, *reading) : QString();
}

void ProfileChart::mouseMoveEvent(QMouseEvent *event)
{
    QChartView::mouseMoveEvent(event);
    m_mouse = event->position().toPoint();
    m_readout = readoutAt(m_mouse);
    viewport()->update();
}

void ProfileChart::mousePressEvent(QMouseEvent *event)
{
    QChartView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const auto reading = readingAt(event->position().toPoint());
    if (reading && reading->onProfile())
        emit segmentClicked(m_profile.segments[reading->segment].column);
}

void ProfileChart::leaveEvent(QEvent *event)
{
    QChartView::leaveEvent(event);
    m_readout.clear();
    viewport()->update();
}

void ProfileChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    const auto reading = readingAt(m_mouse);
    if (m_readout.isEmpty() || !reading)
        return;
    const QRectF plot = chart()->mapToScene(chart()->plotArea()).boundingRect();
    const QPointF mouse = mapToScene(m_mouse);
    painter->save();
    painter->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    painter->drawLine(QPointF(mouse.x(), plot.top()), QPointF(mouse.x(), plot.bottom()));
    // The point read: on the line, or where the mouse is past its ends.
    const QPointF onLine = reading->onProfile()
        ? chart()->mapToScene(chart()->mapToPosition(QPointF(reading->minutes, reading->temperature), m_series))
        : mouse;
    if (reading->onProfile()) {
        painter->drawLine(QPointF(plot.left(), onLine.y()), QPointF(plot.right(), onLine.y()));
        painter->setPen(QPen(Qt::black, 1));
        painter->drawEllipse(onLine, 3, 3);
    }
    // The text in a white box in a corner of the plot away from the point
    // read, so it never hides it.
    QFont textFont = font();
    textFont.setPixelSize(11);
    painter->setFont(textFont);
    const QFontMetricsF metrics(textFont);
    const QSizeF size(metrics.horizontalAdvance(m_readout) + 8, metrics.height() + 4);
    const bool left = mouse.x() > plot.center().x();
    const bool top = onLine.y() > plot.center().y();
    QRectF box(QPointF(left ? plot.left() + 2 : plot.right() - size.width() - 2,
                       top ? plot.top() + 2 : plot.bottom() - size.height() - 2),
               size);
    painter->setPen(Qt::darkGray);
    painter->setBrush(QColor(255, 255, 255, 230));
    painter->drawRect(box);
    painter->setPen(Qt::black);
    painter->drawText(box, Qt::AlignCenter, m_readout);
    painter->restore();
}

QList<QPointF> ProfileChart::points() const
{
    return m_series->points();
}
