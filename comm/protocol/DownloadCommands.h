#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class ControllerExchange;

// Command texts of a program download, in the order they are sent, and the
// helpers that turn the editor's cell texts into their data fields. Every builder
// that reads a text returns nothing when that text is not a number (or does not
// fit its field), so the caller can end the download cleanly.
namespace DownloadCommands {

enum class SegmentMode { Ramp = 0, Hold = 1 };

inline constexpr int MaxSegments = 32;

// 8 upper-case hexadecimal digits with leading zeros.
QByteArray hex8(quint32 value);

QByteArray statusQuery();                                   // command 1
QByteArray programNo(int programNumber);                    // command 2
std::optional<QByteArray> initialTemp(const QString &edit1Text); // command 3
QByteArray programNoAgain(int programNumber);               // command 4
QByteArray segmentCount(int count);                         // command 5
// Command 6. A Ramp sends its temperature and rate and time 0; a Hold sends its
// time (minutes * 100 + seconds, in decimal digits) and temperature and rate 0.
// Only the cells the mode uses are read.
std::optional<QByteArray> segment(int number, SegmentMode mode, const QString &temperatureText,
                                  const QString &rateText, const QString &timeText);

// "Ramp" and "Hold"; anything else (the unset blank included) is no mode.
std::optional<SegmentMode> segmentModeFromText(const QString &modeText);

// Number of segments to send: the highest column 1..32 whose temperature, rate and
// time (rows 2, 3, 4) add up to more than 0, or 0. cell(column, row) gives a cell's
// text. Empty when one of the cells read is not a number.
std::optional<int> countSegments(const std::function<QString(int column, int row)> &cell);

// How the answer to the status query ends the check before the confirmation.
enum class StatusVerdict {
    NoAnswer, // nothing arrived
    Refused,  // response code not "0000", or the answer too short to hold a status
    Running,  // a program runs on the controller
    Idle,     // go on
};
// Status value read as hexadecimal; running when it shifted right by 7 equals 1.
bool isRunning(const QByteArray &statusValue);
// Judges the last exchange of the given state, which sent the status query.
StatusVerdict judgeStatusAnswer(const ControllerExchange &exchange);

} // namespace DownloadCommands
