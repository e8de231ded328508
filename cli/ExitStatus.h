#pragma once

#include <QString>

// The tool's exit statuses. `send` gives one for each way a download ends.
namespace ExitStatus {

enum : int {
    Ok = 0,              // every file clean; "Transmission was completed"
    Problem = 1,         // a program has a problem; send: refused before the port opened; diff: they differ
    Unreadable = 2,      // a file cannot be read, or is not a regular file
    PortUnavailable = 3, // the port cannot be opened
    NoAnswer = 4,        // the controller does not answer
    StatusRefused = 5,   // the status query was refused
    Running = 6,         // a program runs on the controller
    Declined = 7,        // answered No at the question
    CommandRefused = 8,  // a command of the transfer was refused
    Stopped = 9,         // Ctrl+C
    PortFailure = 10,    // the port failed during the transfer
    Unwritable = 11,     // export: an output cannot be written, or is not a regular file
    Usage = 64,          // the command line is wrong; export: one file named twice
};

// The table `vantrel --help` shows.
QString table();

} // namespace ExitStatus
