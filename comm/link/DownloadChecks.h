#pragma once

#include <QList>
#include <QString>
#include <optional>

class TemperatureProgram;

// What must hold before a download opens the port, so that the controller is
// never left with half of a program it refuses. Each check answers with the
// one message shown to the person, or an empty text when all is well; the
// problem lists behind them serve a caller that reports every problem.
namespace DownloadChecks {

// One thing in a program that a download refuses.
struct Problem
{
    enum class Kind {
        NotANumber,  // a temperature, rate or time cell
        OutOfRange,  // a value the mode sends, or the initial temperature
        NotSet,      // a counted segment without "Ramp" or "Hold"
        NotSendable, // a segment set in a slot past the last one a program holds
    };
    Kind kind = Kind::NotANumber;
    int segment = -1; // -1: the initial temperature
    int row = 0;      // the grid row of the cell (the Mode row for NotSet)
    QString text;     // the cell as it reads (OutOfRange: the value as valueText() quotes it)

    bool operator==(const Problem &) const = default;
};

// The download's own wording of a problem, in the manner of:
// Segment No. "2" Temp. "350.0" is out of range.
QString message(const Problem &problem);

// Every temperature, rate and time cell of columns 1 to 32 that is not a
// number, in column order.
QList<Problem> numberProblems(const TemperatureProgram &table);
// Number of segments to send (TemperatureProgram::segmentCount), once every
// temperature, rate and time of columns 1 to 32 reads as a number the way
// the chart reads it. A cell that is not a number gives 0 and its message
// in *fault.
int checkedSegmentCount(const TemperatureProgram &table, QString *fault);

// Every slot from 32 on (grid columns 33 and beyond) whose mode is "Ramp" or
// "Hold": a segment the person set that a download could not carry.
QList<Problem> unsendableSegments(const TemperatureProgram &table);

// The first `count` segments (grid columns 1 to count), in order: each has its
// mode, and every value its mode sends passes the grid's cell check.
QList<Problem> segmentProblems(const TemperatureProgram &table, int count);
// The message of the first of them, or an empty text.
QString segmentFault(const TemperatureProgram &table, int count);

// The initial temperature text, judged by the initial temperature's check.
std::optional<Problem> initialTempProblem(const QString &text);
QString initialTempFault(const QString &text);

} // namespace DownloadChecks
