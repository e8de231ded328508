#pragma once

#include "model/Profile.h"
#include "model/ProgramDocument.h"

#include <QAbstractTableModel>
#include <QPoint>
#include <QRect>

// The fixed cells, row 0 and column 0 (labels and segment numbers): drawn,
// never edited.
inline bool isFixedCell(const QModelIndex &index) { return index.row() < 1 || index.column() < 1; }

// Qt's view of the document's segment table. Row 0 and column 0 are the
// fixed cells (labels and segment numbers); the view draws them, Qt's own
// headers stay hidden. The model follows every change the document announces,
// whoever made it; its own setters are the document's.
class SegmentGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SegmentGridModel(ProgramDocument &document, QObject *parent = nullptr);

    const TemperatureProgram &program() const { return m_document.table(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The cells (x: column, y: row) whose look a change of the texts in
    // `changed` alters, and which the model announces as changed.
    static QRect repaintedCells(const QRect &changed);

    QString cell(int row, int col) const { return m_document.cell(row, col); }
    void setCell(int row, int col, const QString &text) { m_document.setCell(row, col, text); }
    void setMode(int col, const QString &mode) { m_document.setMode(col, mode); }
    void insertSlot(int p) { m_document.insertSlot(p); }
    void deleteSlot(int p) { m_document.deleteSlot(p); }

    // The segments of the profile last drawn: the tips of the segment
    // numbers give their times. Empty: no tips.
    void setProfileSegments(const QList<ProfileSegment> &segments);
    const QList<ProfileSegment> &profileSegments() const { return m_segments; }

    // Cells marked as differing from a program compared with, as (column,
    // row); DiffersRole tells them. Empty: nothing marked.
    static constexpr int DiffersRole = Qt::UserRole + 1;
    void setDifferingCells(const QList<QPoint> &cells);
    QList<QPoint> differingCells() const { return m_differing; }

signals:
    // The profile last drawn changed (every redraw of the chart).
    void profileSegmentsChanged();

private:
    ProgramDocument &m_document;
    QList<ProfileSegment> m_segments;
    QList<QPoint> m_differing;
};
