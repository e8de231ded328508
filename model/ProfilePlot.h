#pragma once

#include "model/Profile.h"
#include "model/ProfileReadout.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPointF>
#include <QRectF>

class QFontMetricsF;
class QPainter;
class QPaintDevice;

// The colours of a profile plot. The line is red, kept at least as distinct
// from the plot's background as red is on white paper; the rest follows a
// palette, so the plot reads in a dark theme as in a light one. In a light
// palette the window's chart is the exported picture: white around and in
// the plot, black text.
struct PlotColours
{
    QColor panel;       // around the plot, behind labels and titles: Base, as the plot
    QColor plot;        // the plot's own background: Base
    QColor line;        // the profile: red, made lighter or darker where red stands out too little
    QColor text;        // labels, titles and the axis lines: WindowText
    QColor grid;        // grid lines: a little of the text colour on the plot's
    QColor crossHair;   // the read-out's guide lines
    QColor readoutBox;  // ToolTipBase
    QColor readoutText; // ToolTipText

    static PlotColours fromPalette(const QPalette &palette);
    // `share` of the way from base to over, channel by channel.
    static QColor mixed(const QColor &base, const QColor &over, double share);
    // Black on white: paper, and the files made for it.
    static QPalette paperPalette();
    static PlotColours paper() { return fromPalette(paperPalette()); }

    // The contrast ratio of two colours, from 1 (the same) to 21 (black on
    // white), by relative luminance.
    static double contrastRatio(const QColor &a, const QColor &b);
    static double luminance(const QColor &c);
    // The profile's colour on a background: red, or red moved toward white
    // (on a dark background) or black until it stands out from the
    // background as much as red does from white, at least 3:1.
    static QColor lineOn(const QColor &background);
};

// The temperature-over-time profile drawn on any QPaintDevice: the window's
// chart, the printed sheet, PDF, PNG and SVG all draw it with this one class.
//
// Within its frame it leaves a top margin of a tenth of the frame's height,
// room for the labels and titles at the left and the bottom, and the plot
// area in between. Time runs from 0 at the plot's left edge to the largest
// time at 98 per cent of its width; temperature from 0 at 98 per cent of its
// height (counted from the top) up to the largest temperature at 10 per cent,
// so the line's ends stay clear of the borders. Labels stand at whole
// multiples of a round step from 0, each with a grid line.
class ProfilePlot
{
public:
    // frame: the whole chart, labels and titles included, in the device's
    // units; font: the labels' font as the device measures it. background:
    // the points of a second profile drawn in grey under the red line (a
    // program to compare with); the axes reach both.
    ProfilePlot(const Profile &profile, const QRectF &frame, const QFont &font, QPaintDevice *device,
                const PlotColours &colours = PlotColours::paper(), const QList<QPointF> &background = {});

    // Shares of the plot area that the axes take (see above).
    static constexpr double TimeAxisEnd = 0.98;
    static constexpr double TempAxisTop = 0.10;
    static constexpr double TempAxisBottom = 0.98;
    static constexpr double TopMargin = 0.10; // of the frame's height

    // The labels' and titles' font for a frame: the window's chart and the
    // exported pictures use the same, so that at one size they are one picture.
    static QFont labelFont(QSizeF frame);

    // The slot of a grid column drawn thicker; 0 or a column whose slot takes
    // no time draws none.
    void setSelectedColumn(int column) { m_selectedColumn = column; }
    // The part of the line drawn thicker: its start and end; empty when none.
    QList<QPointF> selectedSegment() const;

    QRectF frame() const { return m_frame; }
    QRectF plotArea() const { return m_plot; }
    // The largest time and temperature, as the axes reach them (at 98 and
    // 10 per cent): what the axes can label of the points' largest values.
    double maxTime() const { return m_maxTime; }
    double maxTemp() const { return m_maxTemp; }
    double timeStep() const { return m_timeStep; }
    // The label texts along each axis, from 0 upwards.
    QStringList timeLabels() const;
    QStringList tempLabels() const;
    // Width of the axis and grid lines; the red line has the same, the
    // selected segment three times as much.
    double lineWidth() const { return m_lineWidth; }

    // A value (minutes, deg C) to its place on the device, and a place on
    // the device back to minutes.
    QPointF toDevice(QPointF value) const;
    double minutesAt(double x) const;

    void paint(QPainter &painter) const;
    // The read-out for a place `at` on the device: a guide line at the time
    // read and, on the line, one at its temperature with a ring around the
    // point, and the text in a box in the corner of the plot away from it.
    void paintReadout(QPainter &painter, QPointF at, const ProfileReading &reading, const QString &text) const;

    static const QColor LineColour;           // red
    static const QColor BackgroundLineColour; // grey

private:
    // A coordinate moved so that a line of the given width covers whole
    // device pixels.
    double crisp(double coordinate) const;
    void paintGrid(QPainter &painter, const QFontMetricsF &metrics) const;
    void paintAxes(QPainter &painter, double line) const;
    void paintLine(QPainter &painter, const QList<QPointF> &values, double width, const QColor &colour) const;

    Profile m_profile;
    QList<QPointF> m_drawn;      // the points as drawn, within reach of the axes
    QList<QPointF> m_background; // the same for the background profile
    QRectF m_frame;
    QFont m_font;
    PlotColours m_colours;
    QRectF m_plot;
    double m_maxTime = 1;
    double m_maxTemp = 1;
    double m_timeEnd = 1; // the time at the plot's right edge
    double m_tempTop = 1; // the temperature at the plot's top edge
    double m_timeStep = 1;
    double m_tempStep = 1;
    double m_lineWidth = 1;
    int m_selectedColumn = 0;
};
