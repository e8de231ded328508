#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class ControllerExchange;

// Command texts of a program download, in the order they are sent, and the
// helpers that turn the program's values into their data fields. The values
// come from the editor's own number reader; a builder returns nothing when a
// value does not fit its field (negative or too large), so the caller can end
// the download cleanly.
namespace DownloadCommands {

enum class SegmentMode { Ramp = 0, Hold = 1 };

inline constexpr int MaxSegments = 32;

// 8 upper-case hexadecimal digits with leading zeros.
QByteArray hex8(quint32 value);

// Reads the controller's status: whether it answers, and whether a program runs.
QByteArray statusQuery();
// Writes the number of the program the download fills.
QByteArray programNo(int programNumber);
// Writes the initial temperature, in tenths of a degree.
std::optional<QByteArray> initialTemp(double degrees);
// Writes the program number again, into the program's segment table.
QByteArray programNoAgain(int programNumber);
// Writes how many segments the program has.
QByteArray segmentCountCommand(int count);
// Writes one segment. A Ramp sends its temperature and rate and time 0; a Hold
// sends its time (minutes * 100 + seconds, in decimal digits) and temperature
// and rate 0. Only the values the mode uses are looked at.
std::optional<QByteArray> segment(int number, SegmentMode mode, double temperature, double rate, double time);

// "Ramp" and "Hold"; anything else (the unset blank included) is no mode.
std::optional<SegmentMode> segmentModeFromText(const QString &modeText);

// How the answer to the status query ends the check before the confirmation.
enum class StatusVerdict {
    NoAnswer, // nothing arrived, or nothing that is an answer
    Refused,  // response code not "0000", or the answer too short to hold a status
    Running,  // a program runs on the controller
    Idle,     // go on
};
// Status value read as hexadecimal; running when it shifted right by 7 equals 1.
bool isRunning(const QByteArray &statusValue);
// Judges the last exchange of the given state, which sent the status query.
StatusVerdict judgeStatusAnswer(const ControllerExchange &exchange);

} // namespace DownloadCommands
