#pragma once

#include "model/Profile.h"
#include "model/TemperatureProgram.h"

#include <QAbstractTableModel>

// Qt's view of the segment table. Row 0 and column 0 are the fixed cells
// (labels and segment numbers); the view draws them, Qt's own headers stay
// hidden. Every change to the table goes through here so the view follows.
class SegmentGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SegmentGridModel(QObject *parent = nullptr);

    const TemperatureProgram &program() const { return m_program; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QString cell(int row, int col) const { return m_program.cell(row, col); }
    void setCell(int row, int col, const QString &text);

    void initialise();
    void clearSlots();
    void setMode(int col, const QString &mode);
    void insertSlot(int p);
    void deleteSlot(int p);
    void normaliseForSave();
    // Replaces one whole row (a file load); cells beyond the list are emptied.
    void setRow(int row, const QStringList &cells);
    // The segments of the profile last drawn: the tips of the segment
    // numbers give their times. Empty: no tips.
    void setProfileSegments(const QList<ProfileSegment> &segments);
    // Puts back a whole table kept earlier, its column count included.
    void restore(const TemperatureProgram &table);

private:
    void allCellsChanged();

    TemperatureProgram m_program;
    QList<ProfileSegment> m_segments;
};
