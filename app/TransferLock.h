#pragma once

#include <QList>
#include <functional>

class QMenu;
class QWidget;

// While a program is sent, every control that could start another operation
// is locked and Stop is the one that works; afterwards it is the other way
// round.
class TransferLock
{
public:
    struct Controls
    {
        // Locked during a transfer.
        QList<QWidget *> starters;
        // Free only during a transfer.
        QWidget *stop = nullptr;
        // The menus' items themselves, not only their titles: an item can be
        // triggered without its menu being opened (assistive technology).
        QList<QMenu *> menus;
        // Parts that are not plain widgets, told whether they are free.
        QList<std::function<void(bool free)>> others;
    };

    void setControls(const Controls &controls) { m_c = controls; }
    void setTransferring(bool transfer);

private:
    Controls m_c;
};
