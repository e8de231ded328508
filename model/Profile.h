#pragma once

#include <QList>
#include <QPointF>
#include <QString>

class TemperatureProgram;

// One slot as the profile computation placed it: the point it starts from
// (the end of the slot before, or the start of the program) and its own end
// point. The line joins them unless the sorting below moved the end point.
struct ProfileSegment
{
    int column = 0; // grid column; the slot number is column - 1
    QString mode;   // the Mode cell's text
    QPointF start;  // x: minutes, y: deg C
    QPointF end;

    int slot() const { return column - 1; }
    // The slot takes time: its line runs forward from start to end.
    bool takesTime() const { return end.x() > start.x(); }
};

// The temperature-over-time profile of a program: 33 points (start, then
// the end of each slot 0..31) in ascending time order, and its total time.
struct Profile
{
    QList<QPointF> points;          // x: minutes, y: deg C
    QList<ProfileSegment> segments; // slots 0..31, in grid order
    double totalMinutes = 0;
};

// Computes the profile from the grid's slots 0..31 and the initial
// temperature. Raises ConversionError when a temperature, rate or time cell
// of those slots is not a number.
Profile computeProfile(double initialTemp, const TemperatureProgram &program);

// "Total time:12min30sec(12.50min)". The seconds are rounded on their own and
// never carry into the minutes, so 0min60sec can appear.
QString totalTimeText(double totalMinutes);

// Min.sec notation to minutes: 12.30 is 12.5 minutes.
double minSecToMinutes(double time);
