#pragma once

#include "model/Profile.h"
#include "model/ProfileReadout.h"

#include <QChartView>
#include <QList>
#include <QPointF>
#include <optional>

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
    // The profile's points, and its segments for the read-out, the
    // highlighted segment and clicks.
    void setProfile(const Profile &profile);
    const Profile &profile() const { return m_profile; }

    // Draws the segment of a grid column thicker; a column without a segment
    // that takes time (or 0) draws none.
    void highlightColumn(int column);
    int highlightedColumn() const { return m_highlightColumn; }

    // The cross-hair read-out at a point of the view (view coordinates);
    // empty outside the plot or without a profile.
    QString readoutAt(QPoint viewPos) const;
    QString readout() const { return m_readout; }

    // Where the axes lie in the plot, as shares of its size: time runs from
    // the left edge to 98 per cent of the width; temperature from 98 per cent
    // of the height (0 deg C, counted from the top) up to 10 per cent (the
    // largest temperature). The end of the line stays clear of the borders.
    static constexpr double TimeAxisEnd = 0.98;
    static constexpr double TempAxisTop = 0.10;
    static constexpr double TempAxisBottom = 0.98;


signals:
    // A click on the plot at a time that a segment runs.
    void segmentClicked(int column);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    void fitAxes();
    // The profile reading under a view point; nullopt outside the plot.
    std::optional<ProfileReading> readingAt(QPoint viewPos) const;
    void showHighlight();

    QLineSeries *m_series = nullptr;
    QLineSeries *m_highlight = nullptr;
    Profile m_profile;
    int m_highlightColumn = 0;
    QPoint m_mouse;        // last mouse point over the view
    QString m_readout;     // what the cross-hair shows; empty: none
    QValueAxis *m_timeAxis = nullptr;
    QValueAxis *m_tempAxis = nullptr;
};
