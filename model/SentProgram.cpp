#include "model/SentProgram.h"

SentProgram SentProgram::fromTable(int programNo, const QString &initialTemp, const TemperatureProgram &table,
                                   int segments)
{
    TemperatureProgram saved = table;
    saved.normaliseForSave();
    SentProgram program{programNo, initialTemp, {}};
    for (int col = 1; col <= segments && col <= TemperatureProgram::LastUsedColumn; ++col)
        program.segments << Segment{
            saved.cell(TemperatureProgram::ModeRow, col), saved.cell(TemperatureProgram::TempRow, col),
            saved.cell(TemperatureProgram::RateRow, col), saved.cell(TemperatureProgram::TimeRow, col)};
    return program;
}

SentProgram SentProgram::fromTable(int programNo, const QString &initialTemp, const TemperatureProgram &table)
{
    return fromTable(programNo, initialTemp, table, table.segmentCount());
}

TemperatureProgram SentProgram::toTable() const
{
    TemperatureProgram table;
    for (int k = 0; k < segments.size() && k < TemperatureProgram::LastUsedColumn; ++k) {
        const int col = k + 1;
        table.setCell(TemperatureProgram::ModeRow, col, segments[k].mode);
        table.setCell(TemperatureProgram::TempRow, col, segments[k].temp);
        table.setCell(TemperatureProgram::RateRow, col, segments[k].rate);
        table.setCell(TemperatureProgram::TimeRow, col, segments[k].time);
    }
    return table;
}
