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
    m_timeAxis->setTickType(QValueAxis::TicksDynamic);
    m_timeAxis->setTickAnchor(0);
    m_timeAxis->setTickInterval(5);
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

double ProfileChart::timeLabelStep(double maxMinutes, double axisPixels)
{
    // Labels need about 40 pixels each; steps run 5, 10, 20, 50, 100, 200, ...
    constexpr double minLabelPixels = 40;
    const double maxLabels = std::max(1.0, std::floor(axisPixels / minLabelPixels));
    static const double factors[] = {1, 2, 5};
    double step = 5;
    for (double decade = 10; maxMinutes / step > maxLabels; decade *= 10) {
        for (double f : factors) {
            step = f * decade;
            if (maxMinutes / step <= maxLabels)
                break;
        }
    }
    return step;
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
    // Both axes start at 0 and end at the largest value drawn; an empty or
    // flat line still gets a visible range.
    m_tempAxis->setRange(0, maxTemp > 0 ? maxTemp : 1);
    const double plotWidth = chart()->plotArea().width() > 0 ? chart()->plotArea().width() : width();
    setRangeAndStep(m_timeAxis, 0, maxTime > 0 ? maxTime : 1, timeLabelStep(maxTime, plotWidth));
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
