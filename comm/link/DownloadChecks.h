#pragma once

#include <QString>

class TemperatureProgram;

// What must hold before a download opens the port, so that the controller is
// never left with half of a program it refuses. Each check answers with the
// one message shown to the person, or an empty text when all is well.
namespace DownloadChecks {

// The first `count` segments (grid columns 1 to count): each has its mode,
// and every value its mode sends passes the grid's cell check. Segments are
// looked at in order; the first fault is named by segment and field, in the
// manner of: Segment No. "2" Temp. "350.0" is out of range.
QString segmentFault(const TemperatureProgram &table, int count);

// The initial temperature text, judged by the initial temperature's check.
QString initialTempFault(const QString &text);

} // namespace DownloadChecks
