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

    // Smallest "nice" label step of at least 5 minutes that keeps the labels
    // from crowding the axis.
    static double timeLabelStep(double maxMinutes, double axisPixels);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitAxes();

    QLineSeries *m_series = nullptr;
    QValueAxis *m_timeAxis = nullptr;
    QValueAxis *m_tempAxis = nullptr;
};
