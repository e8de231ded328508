#include "cli/ProgramFile.h"

#include "comm/protocol/DownloadCommands.h"
#include "files/TpdFormat.h"
#include "model/CellRules.h"
#include "model/LabTerms.h"
#include "model/Numbers.h"
#include "model/ProfileReadout.h"

#include <QFileInfo>

using DownloadChecks::Problem;

ProgramFile ProgramFile::load(const QString &path)
{
    ProgramFile file;
    file.path = path;
    const TpdReadResult read = TpdFormat::readFile(path, TemperatureProgram::InitialColCount);
    if (read.status != TpdReadResult::Loaded) {
        file.reason = read.reason();
        return file;
    }
    file.readable = true;
    file.programNo = read.programNo;
    file.initialTemp = read.initialTemp;
    file.initialTempText = formatFixed(read.initialTemp, 2);
    for (int r = 0; r < TpdFormat::RowCount; ++r)
        file.table.setRow(TemperatureProgram::ModeRow + r, read.rows.at(r));
    file.comment = read.comment;
    return file;
}

int ProgramFile::segmentCount() const { return table.segmentCount(); }

ProgramFile::Checks ProgramFile::checks() const
{
    Checks checks;
    checks.segments = segmentCount();
    if (const auto initial = DownloadChecks::initialTempProblem(initialTempText))
        checks.problems << *initial;
    const QList<Problem> numbers = DownloadChecks::numberProblems(table);
    checks.numbersOk = numbers.isEmpty();
    checks.problems << numbers;
    for (const Problem &problem : DownloadChecks::segmentProblems(table, checks.segments))
        if (problem.kind != Problem::Kind::NotANumber) // listed with the other cells
            checks.problems << problem;
    checks.problems << DownloadChecks::unsendableSegments(table);
    return checks;
}

QList<Problem> ProgramFile::problems() const { return checks().problems; }

QString describeProblem(const Problem &problem)
{
    const QString where = problem.segment < 0 ? QStringLiteral("Initial temp.")
                                              : QStringLiteral("segment %1: %2")
                                                    .arg(problem.segment)
                                                    .arg(TemperatureProgram::rowLabels().at(problem.row).trimmed());
    switch (problem.kind) {
    case Problem::Kind::NotSet:
        if (problem.text == TemperatureProgram::ModeUnset)
            return where + QStringLiteral(": not set");
        return where + QStringLiteral(": \"%1\" is neither Ramp nor Hold").arg(problem.text);
    case Problem::Kind::NotANumber:
        return where + QStringLiteral(": \"%1\" is not a number").arg(problem.text);
    case Problem::Kind::NotSendable:
        return where
            + QStringLiteral(": set past segment %1, the last a program holds").arg(DownloadCommands::MaxSegments - 1);
    case Problem::Kind::OutOfRange: {
        const int row = problem.segment < 0 ? int(TemperatureProgram::TempRow) : problem.row;
        const auto value = parseDecimal(problem.text);
        if (row == TemperatureProgram::TimeRow && value && *value >= 0 && *value < 99.6)
            return where + QStringLiteral(": %1 has more than 59 seconds (min.sec)").arg(problem.text);
        return where + QStringLiteral(": %1 is out of range %2").arg(problem.text, CellRules::rangeText(row));
    }
    }
    return where;
}

QString noSegmentsText() { return QStringLiteral("no segments (every temperature, rate and time is 0)"); }

QString minutesText(double minutes) { return LabTerms::durationText(minutes); }
