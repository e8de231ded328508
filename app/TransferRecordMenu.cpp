#include "app/TransferRecordMenu.h"

#include "app/TransferCompareView.h"
#include "app/TransferRecordDialog.h"
#include "files/TransferLog.h"

#include <QAction>
#include <QMenu>

TransferRecordMenu::TransferRecordMenu(QMenu *menu, QAction *after, Parts parts, QWidget *window)
    : QObject(window)
    , m_action(new QAction(QStringLiteral("Transfer record..."), menu))
    , m_parts(std::move(parts))
    , m_window(window)
{
    m_action->setObjectName(QStringLiteral("TransferRecord1"));
    const QList<QAction *> actions = menu->actions();
    const qsizetype at = actions.indexOf(after);
    menu->insertAction(at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr, m_action);
    connect(m_action, &QAction::triggered, this, &TransferRecordMenu::showRecords);
}

TransferRecordDialog *TransferRecordMenu::dialog() const
{
    return m_dialog;
}

TransferCompareView *TransferRecordMenu::compareView() const
{
    return m_compare;
}

void TransferRecordMenu::setTransferring(bool transferring)
{
    if (m_dialog)
        m_dialog->setEnabled(!transferring);
}

void TransferRecordMenu::showRecords()
{
    // The log is read afresh each time: the tool may have added to it.
    if (m_dialog)
        m_dialog->close();
    const TransferLog::Contents log = TransferLog().read();
    m_dialog = new TransferRecordDialog(log.records, log.warnings, m_window);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_dialog, &TransferRecordDialog::compareRequested, this, &TransferRecordMenu::compare);
    connect(m_dialog, &TransferRecordDialog::openAsNewRequested, this,
            [this](const TransferRecord &record) { m_parts.openAsNew(record.program); });
    m_dialog->show();
}

void TransferRecordMenu::compare(const TransferRecord &record)
{
    if (m_compare)
        m_compare->close();
    m_compare = new TransferCompareView(record, m_parts.document, m_parts.grid, m_parts.chart, m_window);
    m_compare->setAttribute(Qt::WA_DeleteOnClose);
    m_compare->show();
}
