#include "app/TransferCompareView.h"

#include "comm/link/TransferRecording.h"
#include "editor/ProfileChart.h"
#include "editor/SegmentGridModel.h"
#include "model/Numbers.h"
#include "model/Profile.h"
#include "model/ProgramDocument.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TransferCompareView::TransferCompareView(const TransferRecord &record, ProgramDocument &document,
                                         SegmentGridModel &grid, ProfileChart &chart, QWidget *parent)
    : QDialog(parent)
    , m_record(record)
    , m_document(document)
    , m_grid(grid)
    , m_chart(chart)
    , m_summary(new QLabel)
    , m_table(new QTableWidget(0, 4))
{
    setObjectName(QStringLiteral("TransferCompareView"));
    setWindowTitle(QStringLiteral("Compare with the transfer record"));
    resize(520, 360);
    m_summary->setWordWrap(true);
    m_table->setObjectName(QStringLiteral("Differences"));
    m_table->setAccessibleName(QStringLiteral("Differences"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Segment"), QStringLiteral("Field"),
                                        QStringLiteral("Recorded value"), QStringLiteral("Value now")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("C&lose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_table);
    layout->addWidget(buttons);

    // The record's line in grey; a record whose values are not numbers has none.
    try {
        m_chart.setBackgroundPoints(
            computeProfile(toDouble(record.program.initialTemp), record.program.toTable()).points);
    } catch (const ConversionError &) {
        m_chart.setBackgroundPoints({});
    }
    connect(&document, &ProgramDocument::cellsChanged, this, &TransferCompareView::refresh);
    connect(&document, &ProgramDocument::columnCountChanged, this, &TransferCompareView::refresh);
    connect(&document, &ProgramDocument::initialTempTextChanged, this, &TransferCompareView::refresh);
    connect(&document, &ProgramDocument::programNoChanged, this, &TransferCompareView::refresh);
    refresh();
}

void TransferCompareView::done(int result)
{
    clearMarks();
    QDialog::done(result);
}

void TransferCompareView::clearMarks()
{
    m_grid.setDifferingCells({});
    m_chart.setBackgroundPoints({});
}

void TransferCompareView::refresh()
{
    const SentProgram now =
        SentProgram::fromTable(m_document.programNo(), m_document.initialTempText(), m_document.table());
    m_differences = ProgramComparison::compare(m_record.program, now);
    m_grid.setDifferingCells(ProgramComparison::cellsOf(m_differences));
    const int changed = ProgramComparison::changedSegments(m_differences);
    m_summary->setText(TransferRecording::lastSentText(m_record) + QLatin1Char('\n') + QStringLiteral("File: ")
                       + TransferRecording::fileText(m_record) + QLatin1Char('\n')
                       + (m_differences.isEmpty()
                              ? QStringLiteral("The program in the editor is the same.")
                              : QStringLiteral("The program in the editor differs: %1 segment%2 changed.")
                                    .arg(changed)
                                    .arg(changed == 1 ? QString() : QStringLiteral("s"))));
    m_table->setRowCount(int(m_differences.size()));
    for (int row = 0; row < m_differences.size(); ++row) {
        const ProgramComparison::Difference &d = m_differences.at(row);
        const QStringList cells{d.segment >= 0 ? QString::number(d.segment) : QString(), d.field, d.recorded, d.now};
        for (int col = 0; col < cells.size(); ++col)
            m_table->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    m_table->resizeColumnsToContents();
}
