#include "model/TemperatureProgram.h"

#include "model/Numbers.h"

#include <algorithm>

const QString TemperatureProgram::ModeUnset = QStringLiteral(" ");
const QString TemperatureProgram::ModeRamp = QStringLiteral("Ramp");
const QString TemperatureProgram::ModeHold = QStringLiteral("Hold");

namespace {
constexpr int storedColumns(int colCount) { return std::max(colCount, TemperatureProgram::LastSlotColumn + 1); }
}

TemperatureProgram::TemperatureProgram()
{
    for (auto &row : m_cells)
        row.resize(storedColumns(m_colCount));
    initialise();
}

QStringList TemperatureProgram::rowLabels()
{
    return {QStringLiteral(" Segment No."), QStringLiteral(" Mode"), QStringLiteral(" Temp.(deg C)"),
            QStringLiteral(" Rate(deg C/min)"), QStringLiteral(" Time(min.sec)")};
}

QString TemperatureProgram::cell(int row, int col) const
{
    if (row < 0 || row >= RowCount || col < 0 || col >= m_cells[row].size())
        return {};
    return m_cells[row][col];
}

QStringList TemperatureProgram::rowCells(int row) const
{
    QStringList cells;
    for (int col = 0; col < m_colCount; ++col)
        cells << cell(row, col);
    return cells;
}

void TemperatureProgram::setRow(int row, const QStringList &cells)
{
    for (int col = 0; col < m_colCount; ++col)
        setCell(row, col, col < cells.size() ? cells[col] : QString());
}

void TemperatureProgram::setCell(int row, int col, const QString &text)
{
    if (row < 0 || row >= RowCount || col < 0 || col >= m_cells[row].size())
        return;
    m_cells[row][col] = text;
}

void TemperatureProgram::resetSlot(int col)
{
    m_cells[ModeRow][col] = ModeUnset;
    m_cells[TempRow][col] = QStringLiteral("0.0");
    m_cells[RateRow][col] = QStringLiteral("0.0");
    m_cells[TimeRow][col] = QStringLiteral("0.00");
}

void TemperatureProgram::initialise()
{
    const QStringList labels = rowLabels();
    for (int r = 0; r < RowCount; ++r)
        m_cells[r][0] = labels[r];
    renumber();
    clearSlots();
}

void TemperatureProgram::clearSlots()
{
    for (int col = 1; col <= LastSlotColumn; ++col)
        resetSlot(col);
}

void TemperatureProgram::setMode(int col, const QString &mode)
{
    if (col < 1 || col >= m_cells[ModeRow].size())
        return;
    m_cells[ModeRow][col] = mode;
    if (mode == ModeUnset) {
        for (int r = TempRow; r <= TimeRow; ++r)
            m_cells[r][col] = QStringLiteral("0");
    }
}

void TemperatureProgram::insertSlot(int p)
{
    if (p < 1)
        return;
    ++m_colCount;
    for (auto &row : m_cells)
        row.resize(storedColumns(m_colCount));
    const int last = m_colCount - 1;
    if (p > last)
        return;
    for (auto &row : m_cells) {
        for (int c = last; c > p; --c)
            row[c] = row[c - 1];
        row[p].clear();
    }
    renumber();
    if (p <= LastSlotColumn || p < m_colCount)
        resetSlot(p);
}

void TemperatureProgram::deleteSlot(int p)
{
    if (p < 1 || p > LastSlotColumn)
        return;
    for (int r = ModeRow; r <= TimeRow; ++r) {
        auto &row = m_cells[r];
        for (int c = p; c <= LastSlotColumn; ++c)
            row[c] = (c + 1 < row.size()) ? row[c + 1] : QString();
    }
    renumber();
    resetSlot(LastSlotColumn);
}

void TemperatureProgram::renumber()
{
    for (int col = 1; col <= LastSlotColumn; ++col)
        m_cells[NumberRow][col] = QString::number(col - 1);
}

void TemperatureProgram::normaliseForSave()
{
    for (int col = 1; col <= LastSlotColumn; ++col) {
        const QString &mode = m_cells[ModeRow][col];
        if (mode == ModeRamp) {
            m_cells[TimeRow][col] = QStringLiteral("0.00");
        } else if (mode == ModeHold) {
            m_cells[TempRow][col] = QStringLiteral("0.0");
            m_cells[RateRow][col] = QStringLiteral("0.0");
        }
    }
}

int TemperatureProgram::segmentCount() const
{
    int count = 0;
    for (int col = 1; col <= LastUsedColumn; ++col) {
        double sum = 0;
        for (int row : {TempRow, RateRow, TimeRow})
            sum += parseDecimal(cell(row, col)).value_or(0.0);
        if (sum > 0)
            count = col;
    }
    return count;
}
