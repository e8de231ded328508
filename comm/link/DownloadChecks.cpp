#include "DownloadChecks.h"

#include "CellRules.h"
#include "DownloadCommands.h"
#include "Numbers.h"
#include "TemperatureProgram.h"

namespace DownloadChecks {

namespace {

// "Temp.", "Rate" or "Time": the grid's row label without its unit.
QString fieldName(int row)
{
    return TemperatureProgram::rowLabels().at(row).trimmed().section(QLatin1Char('('), 0, 0);
}

QString segmentField(int col, int row)
{
    return QStringLiteral("Segment No. \"%1\" %2").arg(col - 1).arg(fieldName(row));
}

QString notANumber(const QString &what, const QString &text)
{
    return QStringLiteral("%1 \"%2\" is not a number.").arg(what, text);
}

QString outOfRange(const QString &what, const QString &text, int row)
{
    return QStringLiteral("%1 \"%2\" is out of range.\n\r%3").arg(what, text, CellRules::rangeHint(row));
}

} // namespace

int countSegments(const TemperatureProgram &table, QString *fault)
{
    struct NotANumber { int col, row; };
    try {
        return DownloadCommands::countSegments([&table](int col, int row) {
            if (const auto value = parseDecimal(table.cell(row, col)))
                return *value;
            throw NotANumber{col, row};
        });
    } catch (const NotANumber &cell) {
        *fault = notANumber(segmentField(cell.col, cell.row), table.cell(cell.row, cell.col));
        return 0;
    }
}

QString segmentFault(const TemperatureProgram &table, int count)
{
    for (int k = 0; k < count; ++k) {
        const int col = k + 1;
        const QString segment = QStringLiteral("Segment No. \"%1\"").arg(k);
        const QString mode = table.cell(TemperatureProgram::ModeRow, col);
        if (mode != TemperatureProgram::ModeRamp && mode != TemperatureProgram::ModeHold)
            return segment + QStringLiteral(" is not set.");
        for (int row = TemperatureProgram::TempRow; row <= TemperatureProgram::TimeRow; ++row) {
            if (!CellRules::isEditable(row, mode))
                continue; // a value the mode does not send
            const QString what = segmentField(col, row);
            const QString text = table.cell(row, col);
            const CellRules::CellCheckResult check = CellRules::checkCell(row, text);
            if (check.outcome == CellRules::CellCheckResult::NotANumber)
                return notANumber(what, text);
            if (check.outcome == CellRules::CellCheckResult::OutOfRange)
                return outOfRange(what, check.text, row);
        }
    }
    return {};
}

QString initialTempFault(const QString &text)
{
    const CellRules::InitialTempCheck check = CellRules::checkInitialTemp(text);
    if (!check.isNumber)
        return notANumber(QStringLiteral("Initial temp."), text);
    if (!check.inRange)
        return outOfRange(QStringLiteral("Initial temp."), check.text, TemperatureProgram::TempRow);
    return {};
}

} // namespace DownloadChecks
