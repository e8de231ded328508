#pragma once

#include "files/TransferRecord.h"
#include "model/ProgramComparison.h"

#include <QDialog>

class ProfileChart;
class ProgramDocument;
class QLabel;
class QTableWidget;
class SegmentGridModel;

// A record's program beside the one in the editor: the record's profile in
// grey under the red line, the cells that differ marked in the grid, and
// every difference listed (segment, field, recorded value, value now). It
// follows the editor's edits; closing it takes the marks and the grey line
// away.
class TransferCompareView : public QDialog
{
    Q_OBJECT
public:
    TransferCompareView(const TransferRecord &record, ProgramDocument &document, SegmentGridModel &grid,
                        ProfileChart &chart, QWidget *parent = nullptr);

    QList<ProgramComparison::Difference> differences() const { return m_differences; }
    QTableWidget *table() const { return m_table; }

protected:
    void done(int result) override;

private:
    void refresh();
    void clearMarks();

    TransferRecord m_record;
    ProgramDocument &m_document;
    SegmentGridModel &m_grid;
    ProfileChart &m_chart;
    QLabel *m_summary;
    QTableWidget *m_table;
    QList<ProgramComparison::Difference> m_differences;
};
