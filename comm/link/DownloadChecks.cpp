#include "comm/link/DownloadChecks.h"

#include "comm/protocol/DownloadCommands.h"
#include "model/CellRules.h"
#include "model/Numbers.h"
#include "model/TemperatureProgram.h"

#include <algorithm>

namespace DownloadChecks {

namespace {

// "Temp.", "Rate" or "Time": the grid's row label without its unit.
QString fieldName(int row) { return TemperatureProgram::rowLabels().at(row).trimmed().section(QLatin1Char('('), 0, 0); }

} // namespace

QString message(const Problem &problem)
{
    const QString what = problem.segment < 0
        ? QStringLiteral("Initial temp.")
        : QStringLiteral("Segment No. \"%1\" %2").arg(problem.segment).arg(fieldName(problem.row));
    switch (problem.kind) {
    case Problem::Kind::NotSet:
        return QStringLiteral("Segment No. \"%1\" is not set.").arg(problem.segment);
    case Problem::Kind::NotSendable:
        return QStringLiteral("Segment No. \"%1\" is set, but a program holds segments 0 to %2 only.\n\r"
                              "Delete it, or a segment before it, to send the program.")
            .arg(problem.segment)
            .arg(DownloadCommands::MaxSegments - 1);
    case Problem::Kind::NotANumber:
        return QStringLiteral("%1 \"%2\" is not a number.").arg(what, problem.text);
    case Problem::Kind::OutOfRange:
        return QStringLiteral("%1 \"%2\" is out of range.\n\r%3")
            .arg(what, problem.text,
                 CellRules::rangeHint(problem.segment < 0 ? int(TemperatureProgram::TempRow) : problem.row));
    }
    return {};
}

QList<Problem> numberProblems(const TemperatureProgram &table)
{
    QList<Problem> problems;
    for (int col = 1; col <= DownloadCommands::MaxSegments; ++col)
        for (int row = TemperatureProgram::TempRow; row <= TemperatureProgram::TimeRow; ++row)
            if (!parseDecimal(table.cell(row, col)))
                problems.append({Problem::Kind::NotANumber, col - 1, row, table.cell(row, col)});
    return problems;
}

int checkedSegmentCount(const TemperatureProgram &table, QString *fault)
{
    const QList<Problem> problems = numberProblems(table);
    if (!problems.isEmpty()) {
        *fault = message(problems.first());
        return 0;
    }
    return table.segmentCount();
}

QList<Problem> unsendableSegments(const TemperatureProgram &table)
{
    QList<Problem> problems;
    // Slot 32 is kept even while the grid does not show its column.
    const int lastColumn = std::max(table.colCount() - 1, int(TemperatureProgram::LastSlotColumn));
    for (int col = DownloadCommands::MaxSegments + 1; col <= lastColumn; ++col) {
        const QString mode = table.cell(TemperatureProgram::ModeRow, col);
        if (mode == TemperatureProgram::ModeRamp || mode == TemperatureProgram::ModeHold)
            problems.append({Problem::Kind::NotSendable, col - 1, TemperatureProgram::ModeRow, mode});
    }
    return problems;
}

QList<Problem> segmentProblems(const TemperatureProgram &table, int count)
{
    QList<Problem> problems;
    for (int k = 0; k < count; ++k) {
        const int col = k + 1;
        const QString mode = table.cell(TemperatureProgram::ModeRow, col);
        if (mode != TemperatureProgram::ModeRamp && mode != TemperatureProgram::ModeHold) {
            problems.append({Problem::Kind::NotSet, k, TemperatureProgram::ModeRow, mode});
            continue;
        }
        for (int row = TemperatureProgram::TempRow; row <= TemperatureProgram::TimeRow; ++row) {
            if (!CellRules::isEditable(row, mode))
                continue; // a value the mode does not send
            const QString text = table.cell(row, col);
            const CellRules::CellCheckResult check = CellRules::checkCell(row, text);
            if (check.outcome == CellRules::CellCheckResult::NotANumber)
                problems.append({Problem::Kind::NotANumber, k, row, text});
            else if (check.outcome == CellRules::CellCheckResult::OutOfRange)
                problems.append(
                    {Problem::Kind::OutOfRange, k, row, valueText(*parseDecimal(text), CellRules::decimalsOf(row))});
        }
    }
    return problems;
}

QString segmentFault(const TemperatureProgram &table, int count)
{
    const QList<Problem> problems = segmentProblems(table, count);
    return problems.isEmpty() ? QString() : message(problems.first());
}

std::optional<Problem> initialTempProblem(const QString &text)
{
    const CellRules::InitialTempCheck check = CellRules::checkInitialTemp(text);
    if (!check.isNumber)
        return Problem{Problem::Kind::NotANumber, -1, 0, text};
    if (!check.inRange)
        return Problem{Problem::Kind::OutOfRange, -1, 0, valueText(check.value, 2)};
    return std::nullopt;
}

QString initialTempFault(const QString &text)
{
    const auto problem = initialTempProblem(text);
    return problem ? message(*problem) : QString();
}

} // namespace DownloadChecks
