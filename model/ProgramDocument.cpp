#include "model/ProgramDocument.h"

ProgramDocument::ProgramDocument(QObject *parent) : QObject(parent) {}

void ProgramDocument::setCell(int row, int col, const QString &text)
{
    if (m_table.cell(row, col) == text)
        return;
    m_table.setCell(row, col, text);
    emit cellsChanged(row, col, row, col);
}

void ProgramDocument::allCellsChanged()
{
    emit cellsChanged(0, 0, TemperatureProgram::RowCount - 1, m_table.colCount() - 1);
}

void ProgramDocument::setMode(int col, const QString &mode)
{
    m_table.setMode(col, mode);
    emit cellsChanged(TemperatureProgram::ModeRow, col, TemperatureProgram::TimeRow, col);
}

void ProgramDocument::setRow(int row, const QStringList &cells)
{
    m_table.setRow(row, cells);
    emit cellsChanged(row, 0, row, m_table.colCount() - 1);
}

void ProgramDocument::insertSlot(int p)
{
    if (p < 1)
        return;
    const int before = m_table.colCount();
    emit columnCountAboutToChange(before, before + 1);
    m_table.insertSlot(p);
    emit columnCountChanged(before, m_table.colCount());
    allCellsChanged();
}

void ProgramDocument::deleteSlot(int p)
{
    m_table.deleteSlot(p);
    allCellsChanged();
}

void ProgramDocument::initialise()
{
    m_table.initialise();
    allCellsChanged();
}

void ProgramDocument::clearSlots()
{
    m_table.clearSlots();
    allCellsChanged();
}

void ProgramDocument::normaliseForSave()
{
    m_table.normaliseForSave();
    allCellsChanged();
}

void ProgramDocument::restore(const TemperatureProgram &table)
{
    const int before = m_table.colCount();
    const int after = table.colCount();
    if (before != after)
        emit columnCountAboutToChange(before, after);
    m_table = table;
    if (before != after)
        emit columnCountChanged(before, after);
    allCellsChanged();
}

void ProgramDocument::setInitialTempText(const QString &text)
{
    assign(m_initialTempText, text, &ProgramDocument::initialTempTextChanged);
}

void ProgramDocument::setProgramNo(int programNo)
{
    assign(m_programNo, programNo, &ProgramDocument::programNoChanged);
}

void ProgramDocument::setComment(const QString &text) { assign(m_comment, text, &ProgramDocument::commentChanged); }

QStringList ProgramDocument::commentLines() const
{
    return m_comment.isEmpty() ? QStringList() : m_comment.split(QLatin1Char('\n'));
}

void ProgramDocument::setCommentLines(const QStringList &lines) { setComment(lines.join(QLatin1Char('\n'))); }

void ProgramDocument::setFileName(const QString &path) { assign(m_fileName, path, &ProgramDocument::fileNameChanged); }

void ProgramDocument::setModified(bool modified) { assign(m_modified, modified, &ProgramDocument::modifiedChanged); }

void ProgramDocument::setInitialTemp(double value)
{
    assign(m_initialTemp, value, &ProgramDocument::initialTempChanged);
}

void ProgramDocument::setInitialTempError(bool error)
{
    assign(m_initialTempError, error, &ProgramDocument::initialTempErrorChanged);
}
