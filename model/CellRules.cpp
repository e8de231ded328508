#include "model/CellRules.h"

#include "model/Numbers.h"

#include <cmath>

namespace CellRules {

namespace {
using Row = TemperatureProgram::Row;
bool isValueRow(int row) { return row >= Row::TempRow && row <= Row::TimeRow; }
}

GridKey gridKey(QChar key, int editRow, const QString &text, int caret)
{
    if (!isValueRow(editRow))
        return {true, true};
    if (key == Enter)
        return {true, true};
    if (key == Backspace)
        return {true, false};
    const bool point = key == QLatin1Char('.');
    if (!point && !key.isDigit())
        return {false, false};
    if (!point && (key < QLatin1Char('0') || key > QLatin1Char('9')))
        return {false, false}; // digits of other scripts

    const int d = decimalsOf(editRow);
    const int n = text.size();
    const int p = text.indexOf(QLatin1Char('.')) + 1; // 1-based, 0 when none
    bool pass = true;
    if (p > 0 && point)
        pass = false;
    else if (p > 0 && n - p >= d && caret >= p)
        pass = false;
    else if (p == 0 && point && n - caret > d)
        pass = false;
    return {pass, true};
}

QString keptOutHint(QChar key, int row)
{
    if (key == u':' && row == Row::TimeRow)
        return QStringLiteral("Time is minutes.seconds: 1.30 is 1 min 30 s. Longer holds: Edit, Segment...");
    return {};
}

int decimalsOf(int row)
{
    switch (row) {
    case Row::TempRow:
    case Row::RateRow:
        return 1;
    case Row::TimeRow:
        return 2;
    default:
        return 0;
    }
}

QString rangeText(int row)
{
    switch (row) {
    case Row::TempRow:
        return QStringLiteral("0 - 300.0");
    case Row::RateRow:
        return QStringLiteral("0 - 20.0");
    case Row::TimeRow:
        return QStringLiteral("0.00 - 99.59");
    default:
        return {};
    }
}

QString rangeHint(int row)
{
    switch (row) {
    case Row::TempRow:
        return QStringLiteral("Input range:") + rangeText(row) + QStringLiteral(" deg C");
    case Row::RateRow:
        return QStringLiteral("Input range:") + rangeText(row) + QStringLiteral(" deg C/min");
    case Row::TimeRow:
        return QStringLiteral("Input range:") + rangeText(row) + QStringLiteral("(min.sec)");
    default:
        return {};
    }
}

bool isEditable(int row, const QString &mode)
{
    if (mode == TemperatureProgram::ModeRamp)
        return row == Row::TempRow || row == Row::RateRow;
    if (mode == TemperatureProgram::ModeHold)
        return row == Row::TimeRow;
    return false;
}

bool isInactive(int row, const QString &mode)
{
    if (row < Row::ModeRow || row > Row::TimeRow)
        return false;
    if (mode == TemperatureProgram::ModeUnset)
        return true;
    if (mode == TemperatureProgram::ModeRamp)
        return row == Row::TimeRow;
    if (mode == TemperatureProgram::ModeHold)
        return row == Row::TempRow || row == Row::RateRow;
    return false;
}

std::optional<QString> modeForKey(QChar key)
{
    switch (key.toUpper().unicode()) {
    case 'R':
        return TemperatureProgram::ModeRamp;
    case 'H':
        return TemperatureProgram::ModeHold;
    case ' ':
        return TemperatureProgram::ModeUnset;
    default:
        return std::nullopt;
    }
}

bool temperatureInRange(double value) { return value >= 0 && value <= 300; }
bool rateInRange(double value) { return value >= 0 && value <= 20; }

bool timeInRange(double value)
{
    if (value < 0 || value >= 99.6)
        return false;
    // The seconds are the two digits after the point, read from the decimal
    // text of the value so that binary fractions cannot shift them.
    const QString twoDecimals = formatFixed(value, 2);
    const int seconds = twoDecimals.mid(twoDecimals.indexOf(QLatin1Char('.')) + 1).toInt();
    return std::trunc(value) < 100 && seconds < 60;
}

CellCheckResult checkCell(int row, const QString &text)
{
    const int d = decimalsOf(row);
    if (d == 0)
        return {};
    if (text.isEmpty())
        return {CellCheckResult::Accepted, d == 1 ? QStringLiteral("0.0") : QStringLiteral("0.00")};
    const auto value = parseDecimal(text);
    if (!value)
        return {CellCheckResult::NotANumber, text};
    const bool ok = row == Row::TempRow ? temperatureInRange(*value)
        : row == Row::RateRow           ? rateInRange(*value)
                                        : timeInRange(*value);
    return {ok ? CellCheckResult::Accepted : CellCheckResult::OutOfRange, formatFixed(*value, d)};
}

InitialTempKey initialTempKey(QChar key)
{
    const ushort c = key.unicode();
    if (key == Enter)
        return InitialTempKey::Tab;
    if (key == Backspace || c == '%' || c == '\'' || c == ',' || c == '.' || (c >= '0' && c <= '9'))
        return InitialTempKey::Pass;
    return InitialTempKey::Discard;
}

InitialTempCheck checkInitialTemp(const QString &text)
{
    const auto value = parseDecimal(text);
    if (!value)
        return {};
    return {true, *value, formatFixed(*value, 2), temperatureInRange(*value)};
}

} // namespace CellRules
