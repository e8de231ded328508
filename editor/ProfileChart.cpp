#include "ProfileChart.h"

#include "GridColours.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

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
    chart->setBackgroundBrush(scrollBarColour());
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
    setChart(chart);
}

void ProfileChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    // A top margin of a tenth of the chart's height; the others stay small.
    chart()->setMargins(QMargins(4, std::max(2, height() / 10), 8, 0));
    fitAxes();
}

double ProfileChart::labelStep(double maxValue, double axisPixels, double minLabelPixels, double minStep)
{
    // Labels one step apart lie step * axisPixels / maxValue pixels apart.
    const double wanted = std::max(minLabelPixels * maxValue / std::max(axisPixels, 1.0), minStep);
    if (!std::isfinite(wanted) || wanted <= 0)
        return minStep > 0 ? minStep : 1;
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double factor : {1.0, 2.0, 5.0}) {
        // A hair of tolerance: 0.3 / 3 must give 0.1, not 0.2.
        if (factor * decade >= wanted * (1 - 1e-9))
            return factor * decade;
    }
    return 10 * decade;
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
    const auto pts = m_series->points();
    double maxTime = 0;
    double maxTemp = 0;
    // A value too large to be a number (a pasted 1e308 not yet checked)
    // cannot be placed on an axis; the axes fit the rest.
    for (const QPointF &p : pts) {
        if (std::isfinite(p.x()))
            maxTime = std::max(maxTime, p.x());
        if (std::isfinite(p.y()))
            maxTemp = std::max(maxTemp, p.y());
    }
    // Both axes start at 0 and reach the largest value drawn (an empty or flat
    // line still gets a visible range); the plot around them is the margin.
    const double timeMax = maxTime > 0 ? maxTime : 1;
    const double tempMax = maxTemp > 0 ? maxTemp : 1;
    const QRectF plot = chart()->plotArea().isEmpty() ? QRectF(rect()) : chart()->plotArea();
    constexpr double minTimeLabelPixels = 40; // "96000" and a gap
    constexpr double minTempLabelPixels = 15; // one line of the label font and a gap
    constexpr double minTimeStep = 5;         // minutes
    const double tempShare = TempAxisBottom - TempAxisTop;
    setRangeAndStep(m_timeAxis, 0, timeMax / TimeAxisEnd,
                    labelStep(timeMax, plot.width() * TimeAxisEnd, minTimeLabelPixels, minTimeStep));
    setRangeAndStep(m_tempAxis, -tempMax * (1 - TempAxisBottom) / tempShare, tempMax + tempMax * TempAxisTop / tempShare,
                    labelStep(tempMax, plot.height() * tempShare, minTempLabelPixels, 0));
}

void ProfileChart::setPoints(const QList<QPointF> &points)
{
    m_series->replace(points);
    fitAxes();
}

void ProfileChart::clearPoints()
{
    m_series->clear();
    fitAxes();
}

QList<QPointF> ProfileChart::points() const
{
    return m_series->points();
}
