#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>

class QPainter;
class QPaintDevice;

// The profile drawn for paper and files: axes from 0 with titles and round
// labels, light grid lines, and the points joined by a red line, all as
// vectors on any painter. The same drawing serves the sheet, PNG and SVG.
class ProfilePlot
{
public:
    // frame: the whole area of the chart, labels and titles included, in the
    // device's units; font: the labels' font as the device measures it.
    ProfilePlot(const QList<QPointF> &points, const QRectF &frame, const QFont &font, QPaintDevice *device);

    // Where the axes lie: the time axis along the bottom edge, the
    // temperature axis along the left edge.
    QRectF plotArea() const { return m_plot; }
    double maxTime() const { return m_maxTime; }
    double maxTemp() const { return m_maxTemp; }
    // A value (minutes, deg C) to its place on the device.
    QPointF toDevice(QPointF value) const;

    void paint(QPainter &painter) const;

    static const QColor LineColour; // red

private:
    QList<QPointF> m_points;
    QRectF m_frame;
    QFont m_font;
    QRectF m_plot;
    double m_maxTime = 1;
    double m_maxTemp = 1;
    double m_timeStep = 1;
    double m_tempStep = 1;
    double m_lineWidth = 1;
};
