#pragma once

#include "model/SegmentTable.h"
#include "model/TemperatureProgram.h"

#include <QList>
#include <QString>
#include <optional>

// A program in the lab's terms: how long things take, and the segments that
// the controller's steps make of a plan given that way. Rates have one
// decimal (0.1 to 20.0 deg C/min), temperatures one, and a hold is at most
// 99 min 59 s; every plan is rounded to those steps and says what it gives.
namespace LabTerms {

// The longest time one segment holds: 99.59, in seconds.
constexpr long long LongestHoldSeconds = 99 * 60 + 59;

// How long something takes, in whole seconds: "0:11:00", "2:05:00",
// "27:46:40"; a negative time has a leading "-".
QString durationText(long long seconds);
// The same for a time in minutes, rounded to whole seconds.
QString durationText(double minutes);

// A duration as a person writes it: "h:mm:ss", "h:mm", or a number of
// minutes ("90", "1.5"); blanks around are allowed. Minutes and seconds after
// a colon are below 60. Nothing for anything else or a negative time.
std::optional<long long> parseDuration(const QString &text);

// Seconds to the grid's min.sec text ("99.59"); within 0 to 99.59.
QString minSecCell(long long seconds);
// The seconds of a min.sec cell value (5.30 is 330).
long long secondsOfMinSec(double time);

// The seconds a ramp from one temperature to another takes at a rate.
double rampSeconds(double from, double to, double rate);

// What a plan comes to: the segments in the grid's text, and the time the
// controller takes for them.
struct Plan
{
    QList<SegmentTable::Segment> segments;
    double seconds = 0;
    QString text; // "1.0 °C/min, 2:05:00" or "2 holds: 99.59 + 80.01, 3:00:00"
};

// A hold of any length as consecutive holds of 99.59 and the rest, summing
// exactly; a hold of 0 is one hold of 0.00.
Plan holdPlan(long long seconds);

// A ramp of the given rate (rounded to the rate's step, at most 20.0).
Plan rampAtRate(double from, double to, double rate);

// Ways to ramp from one temperature to another in about `seconds`: the
// one-segment ramps at the two rates nearest the exact one (one plan when it
// is exact to the second), and, when neither is within a second, the pair of
// ramps (an intermediate temperature, two rates) that comes nearest, if it
// does better. Nearest first. Empty when no rate reaches the target in that
// time (faster than 20.0 deg C/min) or the temperatures are equal.
QList<Plan> rampPlans(double from, double to, long long seconds);

// "asked 2:00:00; 1.0 °C/min gives 2:05:00, 1.1 gives 1:53:38": what was
// asked and what the one-segment plans give; "asked 2:00:00; exact" when the
// nearest one is.
QString askedText(long long seconds, const QList<Plan> &plans);

// The segments of a table read with durations: a Ramp given a duration
// becomes the nearest plan rampPlans() offers from the temperature the segments
// before it end at (the first starts at `startTemp`), a Hold given one
// holdPlan()'s holds. Each segment so made that differs from what was asked,
// or is split, gets a note: "line 2: Ramp 25.0 to 150.0 in 2:00:00 -> 1.0
// °C/min, 2:05:00". A ramp no rate makes in time is refused, naming its line.
struct Resolved
{
    QList<SegmentTable::Segment> segments;
    QStringList notes;
    QString error;
};
Resolved resolveDurations(const SegmentTable::ReadResult &read, double startTemp);

// Why the segments cannot take the place of the slot in column `col`
// (following set slots would pass the last one sent); empty when they fit.
QString replaceRefusal(const TemperatureProgram &table, int col, int count);
// The segments take the place of the slot in column `col`; the slots after
// it move on. Call only when replaceRefusal() is empty.
void replace(TemperatureProgram &table, int col, const QList<SegmentTable::Segment> &segments);

} // namespace LabTerms
