#pragma once

#include "model/TemperatureProgram.h"

#include <QList>
#include <QString>
#include <QStringList>

// Segments as a table of text that a spreadsheet reads and writes: a header
// line "Mode, Temp.(deg C), Rate(deg C/min), Time(min.sec)" and one line per
// segment. The clipboard carries it with tabs, a file with commas.
namespace SegmentTable {

// One segment in the texts the grid holds: "Ramp", "Hold" or " ", then the
// temperature, rate and time in their text forms.
struct Segment
{
    QString mode;
    QString temp;
    QString rate;
    QString time;

    bool operator==(const Segment &) const = default;
};

constexpr QChar Tab(u'\t');
constexpr QChar Comma(u',');
// Longer text is refused before it is looked at: no table of 33 segments
// comes near it.
constexpr qsizetype MaximumTextSize = 1024 * 1024;

// "Mode", "Temp.(deg C)", "Rate(deg C/min)", "Time(min.sec)".
QStringList columnNames();

// The slots in columns first to last: the header, then one line per slot,
// every line ending with "\n". Cells a slot's mode does not use are left
// blank, so an unset slot is a line of separators. A field holding the
// separator, a double quote or a line break is quoted.
QString write(const TemperatureProgram &table, int firstCol, int lastCol, QChar separator);

// The column of the last set slot among those drawn and sent; 0 when none.
int lastSetColumn(const TemperatureProgram &table);

struct ReadResult
{
    ReadResult() = default;
    ReadResult(QList<Segment> segments, QString error) : segments(std::move(segments)), error(std::move(error)) {}

    QList<Segment> segments;
    QString error;         // empty when the text was read; else the first refusal
    QList<int> lines;      // the line each segment was read from
    QStringList durations; // each segment's Duration, as written; mostly empty
};

// Reads segments from tab- or comma-separated text. Tabs separate the fields
// when any line holds one, commas otherwise; a field may be quoted, with a
// doubled quote inside. A first line whose fields name columns is a header:
// its names, in any order, place the columns (Mode is required); without one
// the columns are Mode, Temp., Rate, Time. A header may add a column
// Duration (h:mm:ss, or minutes) for a Ramp whose Rate is blank or a Hold
// whose Time is blank; the segment then holds 0 there, and
// LabTerms::resolveDurations() makes the segments. Empty lines are skipped. Mode is
// Ramp or Hold in any letter case, or blank for an unset slot, whose values
// are blank or 0 as the grid keeps them (a value other than 0 is refused:
// its mode was left out). Each value
// goes through the grid's cell check: a blank value becomes "0.0" or "0.00",
// an accepted one takes its text form.
//
// A decimal comma is read as the point when it cannot be anything else: a
// value with one comma, no point, and at most as many digits after the comma
// as the column keeps (one for temperature and rate, two for time). A
// thousands separator always has three digits after it, so "1,250" is not
// taken for 1.25. In comma-separated text such a value has to be quoted
// ("12,5"), or its comma would separate two fields.
//
// All or nothing: the first bad line gives an error naming the line, the
// column and the reason, and no segments.
ReadResult read(const QString &text);

// How many segments can go in before the slot in column `col` without
// pushing a set slot past the last one drawn and sent.
int room(const TemperatureProgram &table, int col);

// Why a block of `count` segments cannot go in before column `col`, saying
// how many fit; empty when it fits.
QString fitRefusal(const TemperatureProgram &table, int col, int count);

// The text of a table file: UTF-8, without a byte-order mark.
QString fromFileBytes(const QByteArray &bytes);

// The segments go in before column `col`; the slots from there move right
// within the 33 slots, and those pushed past slot 32 go. Call only with no
// more segments than room() allows.
void insert(TemperatureProgram &table, int col, const QList<Segment> &segments);
// Slots in columns first to last go, as that many Deletes at `first` do.
void remove(TemperatureProgram &table, int firstCol, int lastCol);

} // namespace SegmentTable
