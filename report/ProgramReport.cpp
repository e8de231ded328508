#include "report/ProgramReport.h"

#include "model/LabTerms.h"

#include "files/TpdFormat.h"
#include "model/Numbers.h"
#include "model/ProfileReadout.h"
#include "model/Prompts.h"

std::optional<ProgramReport> loadReport(const QString &path, QString *error, bool *cannotRead)
{
    const TpdReadResult loaded = TpdFormat::readFile(path, TemperatureProgram::InitialColCount);
    if (cannotRead)
        *cannotRead = loaded.status != TpdReadResult::Loaded;
    if (loaded.status != TpdReadResult::Loaded) {
        if (error)
            *error = loaded.reason();
        return std::nullopt;
    }
    ProgramReport report;
    report.filePath = path;
    report.programNo = loaded.programNo;
    report.initialTemp = loaded.initialTemp;
    // The text the window's field shows once the file is opened.
    report.initialTempText = formatFixed(loaded.initialTemp, 2);
    for (int row = 0; row < loaded.rows.size(); ++row)
        report.program.setRow(TemperatureProgram::ModeRow + row, loaded.rows[row]);
    try {
        report.profile = computeProfile(report.initialTemp, report.program);
    } catch (const ConversionError &e) {
        if (error)
            *error = e.message();
        return std::nullopt;
    }
    report.comment = loaded.comment;
    report.version = applicationTitleAndVersion();
    report.printed = QDateTime::currentDateTime();
    return report;
}

QList<SegmentRow> segmentRows(const ProgramReport &report)
{
    const TemperatureProgram &program = report.program;
    // The profile was computed, so every cell counted here reads as a number.
    const int count = program.segmentCount();
    QList<SegmentRow> rows;
    for (int col = 1; col <= count && col <= report.profile.segments.size(); ++col) {
        const ProfileSegment &segment = report.profile.segments[col - 1];
        SegmentRow row;
        row.number = QString::number(segment.slot());
        row.mode = program.cell(TemperatureProgram::ModeRow, col).trimmed();
        if (row.mode == TemperatureProgram::ModeRamp) {
            row.target = program.cell(TemperatureProgram::TempRow, col);
            row.rate = program.cell(TemperatureProgram::RateRow, col);
        } else if (row.mode == TemperatureProgram::ModeHold) {
            row.hold = program.cell(TemperatureProgram::TimeRow, col);
        }
        row.start = LabTerms::durationText(segment.start.x());
        row.end = LabTerms::durationText(segment.end.x());
        rows.append(row);
    }
    return rows;
}
