#include "app/TransferRecordMenu.h"

#include "app/TransferCompareView.h"
#include "app/TransferRecordDialog.h"
#include "files/TransferLog.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <algorithm>

namespace {

// The list and the comparison go beside the main window where the screen has
// room for them, so that the chart and the grid they speak of stay in view.
// Otherwise the window manager places them.
void placeBeside(QWidget *dialog, const QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    // Room for the dialog's own frame, which is not known before it is shown.
    const QSize size = dialog->size() + QSize(16, 40);
    const int top = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - size.height()));
    if (frame.right() + size.width() <= area.right())
        dialog->move(frame.right() + 1, top);
    else if (frame.left() - size.width() >= area.left())
        dialog->move(frame.left() - size.width(), top);
}

} // namespace

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

TransferRecordDialog *TransferRecordMenu::dialog() const { return m_dialog; }

TransferCompareView *TransferRecordMenu::compareView() const { return m_compare; }

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
    placeBeside(m_dialog, m_window);
    m_dialog->show();
}

void TransferRecordMenu::compare(const TransferRecord &record)
{
    if (m_compare)
        m_compare->close();
    m_compare = new TransferCompareView(record, m_parts.document, m_parts.grid, m_parts.chart, m_window);
    m_compare->setAttribute(Qt::WA_DeleteOnClose);
    placeBeside(m_compare, m_window);
    m_compare->show();
}
