#pragma once

#include "model/Profile.h"
#include "model/TemperatureProgram.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Everything a program sheet or an export shows: the program as the editor
// holds it and the profile computed from it. A window fills it from its
// controls; a command-line tool from a program file and computeProfile().
struct ProgramReport
{
    QString filePath;               // the program file; empty when never saved
    bool changedSinceSaved = false; // the program differs from what the file holds (unsaved edits)
    int programNo = 0;
    double initialTemp = 0;  // deg C, as the profile starts
    QString initialTempText; // as the field shows it, "25.35"; empty: initialTemp with two decimals
    TemperatureProgram program;
    Profile profile;
    QStringList comment;
    QString version;   // the program that made the sheet, "Vantrel Assistant Ver.1.01"
    QDateTime printed; // when the sheet was made
};

// The report of a program file, its profile computed, made now by this
// program: what a tool without a window exports. Empty, with *error set,
// when the file cannot be loaded or a cell is not a number.
// *cannotRead, when given, tells the two failures apart: true when the file
// cannot be read as a program file, false when a cell is not a number.
std::optional<ProgramReport> loadReport(const QString &path, QString *error, bool *cannotRead = nullptr);

// One line of the sheet's segment table: the cells a mode uses, the others empty.
struct SegmentRow
{
    QString number, mode, target, rate, hold, start, end;
};

// The segments a download sends (up to the last one holding a value other
// than zero), each with its start and end time from the profile.
QList<SegmentRow> segmentRows(const ProgramReport &report);
