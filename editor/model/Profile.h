#pragma once

#include <QList>
#include <QPointF>
#include <QString>

class TemperatureProgram;

// The temperature-over-time profile of a program: 33 points (start, then
// the end of each slot 0..31) in ascending time order, and its total time.
struct Profile
{
    QList<QPointF> points;   // x: minutes, y: deg C
    // The same points in slot order: the start, then the end of slot k at
    // k + 1. Slot k of a Ramp or Hold runs from x of k to x of k + 1.
    QList<QPointF> slotPoints;
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
