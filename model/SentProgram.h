#pragma once

#include "model/TemperatureProgram.h"

#include <QList>
#include <QString>

// A program as it goes to the controller: the initial temperature and the
// counted segments, each in the text forms a program file keeps (a Ramp's
// time "0.00", a Hold's temperature and rate "0.0").
struct SentProgram
{
    struct Segment
    {
        QString mode, temp, rate, time;
        bool operator==(const Segment &) const = default;
    };

    int programNo = 0;
    QString initialTemp;
    QList<Segment> segments;

    // The first `segments` slots of the table, as a save would write them.
    static SentProgram fromTable(int programNo, const QString &initialTemp, const TemperatureProgram &table,
                                 int segments);
    // The same, counting the segments as a download does.
    static SentProgram fromTable(int programNo, const QString &initialTemp, const TemperatureProgram &table);
    // The program in a table of TemperatureProgram's shape, slots past the
    // segments at their defaults: what "Open as new program" loads.
    TemperatureProgram toTable() const;

    bool operator==(const SentProgram &) const = default;
};
