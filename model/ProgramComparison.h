#pragma once

#include "model/SentProgram.h"

#include <QList>
#include <QPoint>
#include <QString>

// Two programs field by field: what was recorded (sent) against what is
// there now. Numbers are compared by value, so "25" and "25.0" are the same
// temperature; anything else by its text.
class ProgramComparison
{
public:
    // Segment numbers of differences that are not in a segment.
    static constexpr int ProgramNo = -2;
    static constexpr int InitialTemperature = -1;

    struct Difference
    {
        int segment;   // 0..31, or ProgramNo, InitialTemperature
        QString field; // "Program No.", "Initial temp.", "Mode", "Temp.", "Rate", "Time"
        QString recorded;
        QString now; // a segment missing on one side reads "(none)"
        bool operator==(const Difference &) const = default;
    };

    static QList<Difference> compare(const SentProgram &recorded, const SentProgram &now);
    // How many segments differ in at least one field (the program number
    // and the initial temperature are no segment).
    static int changedSegments(const QList<Difference> &differences);
    // The segments that differ, each once, in order.
    static QList<int> segmentsOf(const QList<Difference> &differences);
    // The grid cells of the differences, as (column, row): each differing
    // field's cell and its segment's number cell.
    static QList<QPoint> cellsOf(const QList<Difference> &differences);
};
