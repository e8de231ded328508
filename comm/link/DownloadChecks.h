#pragma once

#include <QString>

class TemperatureProgram;

// What must hold before a download opens the port, so that the controller is
// never left with half of a program it refuses. Each check answers with the
// one message shown to the person, or an empty text when all is well.
namespace DownloadChecks {

// Number of segments to send (the counting rule of the download commands),
// with every temperature, rate and time of columns 1 to 32 read as the chart
// reads it. A cell that is not a number gives 0 and its message in *fault.
int countSegments(const TemperatureProgram &table, QString *fault);

// The first `count` segments (grid columns 1 to count): each has its mode,
// and every value its mode sends passes the grid's cell check. Segments are
// looked at in order; the first fault is named by segment and field, in the
// manner of: Segment No. "2" Temp. "350.0" is out of range.
QString segmentFault(const TemperatureProgram &table, int count);

// The initial temperature text, judged by the initial temperature's check.
QString initialTempFault(const QString &text);

} // namespace DownloadChecks
