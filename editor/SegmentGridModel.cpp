#include "editor/SegmentGridModel.h"

#include "model/ProfileReadout.h"

SegmentGridModel::SegmentGridModel(ProgramDocument &document, QObject *parent)
    : QAbstractTableModel(parent)
    , m_document(document)
{
    // Cells are rewritten in place, never by a model reset: the view keeps its
    // current cell, and the Mode list over it.
    connect(&m_document, &ProgramDocument::cellsChanged, this,
            [this](int firstRow, int firstCol, int lastRow, int lastCol) {
                const QRect cells = repaintedCells(QRect(QPoint(firstCol, firstRow), QPoint(lastCol, lastRow)));
                emit dataChanged(index(cells.top(), cells.left()), index(cells.bottom(), cells.right()));
            });
    connect(&m_document, &ProgramDocument::columnCountAboutToChange, this, [this](int before, int after) {
        if (after > before)
            beginInsertColumns({}, before, after - 1);
        else
            beginRemoveColumns({}, after, before - 1);
    });
    connect(&m_document, &ProgramDocument::columnCountChanged, this, [this](int before, int after) {
        if (after > before)
            endInsertColumns();
        else
            endRemoveColumns();
    });
}

QRect SegmentGridModel::repaintedCells(const QRect &changed)
{
    // A slot's mode decides which of its value cells are drawn as not used,
    // so a new mode changes the look of the whole column below it.
    if (changed.top() > TemperatureProgram::ModeRow || changed.bottom() < TemperatureProgram::ModeRow)
        return changed;
    QRect cells = changed;
    cells.setBottom(std::max(changed.bottom(), int(TemperatureProgram::TimeRow)));
    return cells;
}

int SegmentGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : TemperatureProgram::RowCount;
}

int SegmentGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_document.colCount();
}

QVariant SegmentGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
        return m_document.cell(index.row(), index.column());
    if (role == DiffersRole)
        return m_differing.contains(QPoint(index.column(), index.row()));
    if (role == Qt::ToolTipRole && index.row() == TemperatureProgram::NumberRow) {
        for (const ProfileSegment &segment : m_segments) {
            if (segment.column == index.column())
                return segmentTimesText(segment);
        }
    }
    return {};
}

void SegmentGridModel::setDifferingCells(const QList<QPoint> &cells)
{
    if (cells == m_differing)
        return;
    m_differing = cells;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {DiffersRole});
}

void SegmentGridModel::setProfileSegments(const QList<ProfileSegment> &segments)
{
    m_segments = segments;
    emit profileSegmentsChanged();
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
