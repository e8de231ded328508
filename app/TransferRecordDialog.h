#pragma once

#include "files/TransferRecord.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// Communication, "Transfer record...": the records of the transfer log,
// newest first, filtered by port, unit and program number. Offers to compare
// a completed record with the program in the editor, and to open a record's
// program as a new program. Records are only shown: nothing here changes one.
class TransferRecordDialog : public QDialog
{
    Q_OBJECT
public:
    // records: oldest first, as the log reads them; warnings: lines the log skipped.
    TransferRecordDialog(const QList<TransferRecord> &records, const QStringList &warnings, QWidget *parent = nullptr);

    TransferFilter filter() const;
    // The record of the selected row, if any.
    std::optional<TransferRecord> selectedRecord() const;
    QTableWidget *table() const { return m_table; }
    QPushButton *compareButton() const { return m_compare; }
    QPushButton *openButton() const { return m_open; }

signals:
    void compareRequested(const TransferRecord &record);
    void openAsNewRequested(const TransferRecord &record);

private:
    QHBoxLayout *buildFilters();
    void setUpTable();
    QDialogButtonBox *buildButtons();
    void fill();
    void selectionChanged();

    QList<TransferRecord> m_records;
    QList<TransferRecord> m_shown;
    QComboBox *m_port;
    QSpinBox *m_unit;
    QSpinBox *m_programNo;
    QTableWidget *m_table;
    QPushButton *m_compare;
    QPushButton *m_open;
};
