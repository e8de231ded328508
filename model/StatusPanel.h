#pragma once

// The status bar's four panels, left to right: range hints and command
// results, the download's status, the total time, the serial port.
namespace StatusPanel {
enum : int { Hint = 0, Transfer = 1, TotalTime = 2, Port = 3 };
}
