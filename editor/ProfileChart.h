#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>

class QLineSeries;
class QValueAxis;

// Chart1: the temperature-over-time line of the program. It only shows the
// points it is given; the profile computation decides them.
class ProfileChart : public QChartView
{
    Q_OBJECT
public:
    explicit ProfileChart(QWidget *parent = nullptr);

    // Replaces every point of the line and fits both axes to them.
    void setPoints(const QList<QPointF> &points);
    void clearPoints();
    QList<QPointF> points() const;

    // Where the axes lie in the plot, as shares of its size: time runs from
    // the left edge to 98 per cent of the width; temperature from 98 per cent
    // of the height (0 deg C, counted from the top) up to 10 per cent (the
    // largest temperature). The end of the line stays clear of the borders.
    static constexpr double TimeAxisEnd = 0.98;
    static constexpr double TempAxisTop = 0.10;
    static constexpr double TempAxisBottom = 0.98;

    // The label step of an axis from 0 to maxValue drawn over axisPixels: the
    // smallest 1, 2 or 5 times a power of ten, at least minStep, that keeps
    // labels minLabelPixels apart.
    static double labelStep(double maxValue, double axisPixels, double minLabelPixels, double minStep);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitAxes();

    QLineSeries *m_series = nullptr;
    QValueAxis *m_timeAxis = nullptr;
    QValueAxis *m_tempAxis = nullptr;
};
