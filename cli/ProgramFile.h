#pragma once

#include "comm/link/DownloadChecks.h"
#include "model/TemperatureProgram.h"

#include <QList>
#include <QString>
#include <QStringList>

// A program file as a freshly started editor holds it after Open: the
// editor's reader, a grid of the editor's first width, the initial
// temperature rewritten with two decimals.
struct ProgramFile
{
    QString path;
    bool readable = false;
    QString reason; // why it is not readable

    int programNo = 0;
    double initialTemp = 0;
    QString initialTempText;
    TemperatureProgram table;
    QStringList comment;

    static ProgramFile load(const QString &path);

    // The checks' findings, each worked out once.
    struct Checks
    {
        QList<DownloadChecks::Problem> problems; // as problems() lists them
        int segments = 0;                        // as segmentCount() counts them
        bool numbersOk = true;                   // every temperature, rate and time cell is a number
    };
    Checks checks() const;

    // Every problem the editor's Send would refuse, in the order: the initial
    // temperature, cells that are not numbers, then the counted segments.
    QList<DownloadChecks::Problem> problems() const;
    // Segments a download would send.
    int segmentCount() const;
};

// "segment 3: Temp.(deg C): 350.0 is out of range 0 - 300.0"
QString describeProblem(const DownloadChecks::Problem &problem);
// The line for a program without segments.
QString noSegmentsText();
// "14:08:19": how long, in h:mm:ss, rounded to the second.
QString minutesText(double minutes);
