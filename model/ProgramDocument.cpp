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
    if (m_initialTempText == text)
        return;
    m_initialTempText = text;
    emit initialTempTextChanged(text);
}

void ProgramDocument::setProgramNo(int programNo)
{
    if (m_programNo == programNo)
        return;
    m_programNo = programNo;
    emit programNoChanged(programNo);
}

void ProgramDocument::setComment(const QString &text)
{
    if (m_comment == text)
        return;
    m_comment = text;
    emit commentChanged(text);
}

QStringList ProgramDocument::commentLines() const
{
    return m_comment.isEmpty() ? QStringList() : m_comment.split(QLatin1Char('\n'));
}

void ProgramDocument::setCommentLines(const QStringList &lines) { setComment(lines.join(QLatin1Char('\n'))); }

void ProgramDocument::setFileName(const QString &path)
{
    if (m_fileName == path)
        return;
    m_fileName = path;
    emit fileNameChanged(path);
}

void ProgramDocument::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

void ProgramDocument::setInitialTemp(double value)
{
    if (m_initialTemp == value)
        return;
    m_initialTemp = value;
    emit initialTempChanged(value);
}

void ProgramDocument::setInitialTempError(bool error)
{
    if (m_initialTempError == error)
        return;
    m_initialTempError = error;
    emit initialTempErrorChanged(error);
}
