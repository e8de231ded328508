#include "editor/SegmentGridModel.h"

#include "model/ProfileReadout.h"

SegmentGridModel::SegmentGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int SegmentGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : TemperatureProgram::RowCount;
}

int SegmentGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_program.colCount();
}

QVariant SegmentGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
        return m_program.cell(index.row(), index.column());
    if (role == Qt::ToolTipRole && index.row() == TemperatureProgram::NumberRow) {
        for (const ProfileSegment &segment : m_segments) {
            if (segment.column == index.column())
                return segmentTimesText(segment);
        }
    }
    return {};
}

void SegmentGridModel::setProfileSegments(const QList<ProfileSegment> &segments)
{
    m_segments = segments;
}

bool SegmentGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags SegmentGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (index.row() > 0 && index.column() > 0)
        f |= Qt::ItemIsSelectable | Qt::ItemIsEditable;
    return f;
}

void SegmentGridModel::setCell(int row, int col, const QString &text)
{
    if (m_program.cell(row, col) == text)
        return;
    m_program.setCell(row, col, text);
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i);
}

void SegmentGridModel::allCellsChanged()
{
    emit dataChanged(index(0, 0), index(TemperatureProgram::RowCount - 1, m_program.colCount() - 1));
}

// These rewrite cells but keep the table's shape: the view keeps its current
// cell (a model reset would drop it, and the Mode list with it).
void SegmentGridModel::initialise()
{
    m_program.initialise();
    allCellsChanged();
}

void SegmentGridModel::clearSlots()
{
    m_program.clearSlots();
    allCellsChanged();
}

void SegmentGridModel::normaliseForSave()
{
    m_program.normaliseForSave();
    allCellsChanged();
}

void SegmentGridModel::setMode(int col, const QString &mode)
{
    m_program.setMode(col, mode);
    emit dataChanged(index(TemperatureProgram::ModeRow, col), index(TemperatureProgram::TimeRow, col));
}

void SegmentGridModel::insertSlot(int p)
{
    if (p < 1)
        return;
    const int newColumn = m_program.colCount();
    beginInsertColumns({}, newColumn, newColumn);
    m_program.insertSlot(p);
    endInsertColumns();
    allCellsChanged();
}

void SegmentGridModel::deleteSlot(int p)
{
    m_program.deleteSlot(p);
    allCellsChanged();
}

void SegmentGridModel::setRow(int row, const QStringList &cells)
{
    m_program.setRow(row, cells);
    emit dataChanged(index(row, 0), index(row, m_program.colCount() - 1));
}

void SegmentGridModel::restore(const TemperatureProgram &table)
{
    const int before = m_program.colCount();
    const int after = table.colCount();
    if (after > before) {
        beginInsertColumns({}, before, after - 1);
        m_program = table;
        endInsertColumns();
    } else if (after < before) {
        beginRemoveColumns({}, after, before - 1);
        m_program = table;
        endRemoveColumns();
    } else {
        m_program = table;
    }
    allCellsChanged();
}
