#pragma once

// Test helpers shared by the program file tests: golden files and programs
// built cell by cell.

#include "files/TpdFormat.h"

#include <QFile>
#include <QTest>

inline QByteArray goldenBytes(const QString &name)
{
    QFile file(QStringLiteral(VANTREL_GOLDEN_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open golden file %s", qPrintable(file.fileName()));
    return file.readAll();
}

struct SlotCells
{
    int slot;
    QString mode, temp, rate, time;
};

// A program whose rows have `columns` cells: the titles, the given segments,
// and every other slot unset (" ", "0.0", "0.0", "0.00").
inline TpdProgram buildProgram(int programNo, const QString &initialTemp, int columns, const QList<SlotCells> &segments,
                               const QStringList &comment = {})
{
    TpdProgram program;
    program.programNo = programNo;
    program.initialTempText = initialTemp;
    program.rows = {{QStringLiteral(" Mode")},
                    {QStringLiteral(" Temp.(deg C)")},
                    {QStringLiteral(" Rate(deg C/min)")},
                    {QStringLiteral(" Time(min.sec)")}};
    for (int column = 1; column < columns; ++column) {
        program.rows[0] << QStringLiteral(" ");
        program.rows[1] << QStringLiteral("0.0");
        program.rows[2] << QStringLiteral("0.0");
        program.rows[3] << QStringLiteral("0.00");
    }
    for (const SlotCells &s : segments) {
        program.rows[0][s.slot + 1] = s.mode;
        program.rows[1][s.slot + 1] = s.temp;
        program.rows[2][s.slot + 1] = s.rate;
        program.rows[3][s.slot + 1] = s.time;
    }
    program.comment = comment;
    return program;
}

// The three-segment program of the example file.
inline TpdProgram exampleProgram()
{
    return buildProgram(
        3, QStringLiteral("40.00"), 33,
        {{0, QStringLiteral("Ramp"), QStringLiteral("150.0"), QStringLiteral("10.0"), QStringLiteral("0.00")},
         {1, QStringLiteral("Hold"), QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("5.30")},
         {2, QStringLiteral("Ramp"), QStringLiteral("60.0"), QStringLiteral("20.0"), QStringLiteral("0.00")}});
}

// The valid files the reader is tried with.
inline QStringList goldenFileNames()
{
    return {QStringLiteral("example.tpd"), QStringLiteral("comment3.tpd"), QStringLiteral("grid34.tpd"),
            QStringLiteral("cp932.tpd"), QStringLiteral("example-no-final-crlf.tpd")};
}
