#pragma once

#include "model/Profile.h"
#include "model/ProfilePlot.h"
#include "model/ProfileReadout.h"

#include <QList>
#include <QPointF>
#include <QWidget>
#include <optional>

// Chart1: the temperature-over-time line of the program, drawn by the
// profile plot in the palette's colours and the plot's own label font (the
// exported pictures' font, so that at one size the two are one picture). It only shows the profile it
// is given; the profile computation decides it. The mouse reads the line
// (a cross-hair and a read-out) and a click picks a segment; what the mouse
// is over is also the chart's accessible description, so a screen reader
// can read it.
class ProfileChart : public QWidget
{
    Q_OBJECT
public:
    explicit ProfileChart(QWidget *parent = nullptr);

    // The profile's points, and its segments for the read-out, the
    // highlighted segment and clicks.
    void setProfile(const Profile &profile);
    void clearPoints();
    // A second profile's points drawn in grey under the line (the program
    // compared with); empty: none.
    void setBackgroundPoints(const QList<QPointF> &points);
    QList<QPointF> backgroundPoints() const { return m_background; }
    QList<QPointF> points() const { return m_profile.points; }
    const Profile &profile() const { return m_profile; }

    // Draws the segment of a grid column thicker; a column without a segment
    // that takes time (or 0) draws none.
    void highlightColumn(int column);

    // The drawing at the chart's present size, font and palette: where each
    // value lies in the widget.
    const ProfilePlot &plot() const;

    // The read-out at a point of the widget; empty outside the plot or
    // without a profile.
    QString readoutAt(QPoint pos) const;
    // What the read-out shows now: empty unless the mouse is over the plot.
    QString readout() const { return m_readout; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A click on the plot at a time that a segment runs.
    void segmentClicked(int column);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // The profile reading under a widget point; nullopt outside the plot.
    std::optional<ProfileReading> readingAt(QPoint pos) const;
    // The drawing must be laid out again (size, font, palette or profile changed).
    void replot();
    void setReadout(const QString &text);
    // The accessible description: the read-out while there is one, else
    // the profile's summary; assistive technology is told of each change.
    void describe();

    Profile m_profile;
    QList<QPointF> m_background;
    int m_highlightColumn = 0;
    QPoint m_mouse;    // last mouse point over the widget
    QString m_readout; // what the read-out shows; empty: none
    mutable std::optional<ProfilePlot> m_plot;
};
