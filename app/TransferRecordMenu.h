#pragma once

#include "files/TransferRecord.h"

#include <QObject>
#include <QPointer>
#include <functional>

class ProfileChart;
class ProgramDocument;
class QAction;
class QMenu;
class QWidget;
class SegmentGridModel;
class TransferCompareView;
class TransferRecordDialog;

// Communication, "Transfer record...": opens the list of the transfer log's
// records, and from it the comparison with the program in the editor or the
// record's program as a new program. One list and one comparison at a time.
class TransferRecordMenu : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        ProgramDocument &document;
        SegmentGridModel &grid;
        ProfileChart &chart;
        // Loads a record's program as a new program (asking first about unsaved changes).
        std::function<void(const SentProgram &)> openAsNew;
    };

    // The item goes after `after` in the menu.
    TransferRecordMenu(QMenu *menu, QAction *after, Parts parts, QWidget *window);

    QAction *action() const { return m_action; }
    TransferRecordDialog *dialog() const;
    TransferCompareView *compareView() const;

    // While a transfer runs the list offers nothing: opening a program then
    // would change what the locked window shows.
    void setTransferring(bool transferring);

    void showRecords();
    void compare(const TransferRecord &record);

private:
    QAction *m_action;
    Parts m_parts;
    QWidget *m_window;
    QPointer<TransferRecordDialog> m_dialog;
    QPointer<TransferCompareView> m_compare;
};
