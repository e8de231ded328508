#include "app/TransferLock.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

void TransferLock::setTransferring(bool transfer)
{
    for (QWidget *control : m_c.starters)
        control->setEnabled(!transfer);
    if (m_c.stop)
        m_c.stop->setEnabled(transfer);
    for (QMenu *menu : m_c.menus) {
        menu->menuAction()->setEnabled(!transfer);
        for (QAction *action : menu->actions())
            action->setEnabled(!transfer);
    }
    for (const auto &other : m_c.others)
        other(!transfer);
}
