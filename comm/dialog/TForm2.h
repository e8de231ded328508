#pragma once

#include "PortDirectory.h"

#include <QWidget>
#include <functional>

class QComboBox;

// The "Com. Port Setup" window: the ports present, by name. A pick is handed
// back at once through portChosen; the window that owns the port applies it.
class TForm2 : public QWidget
{
    Q_OBJECT
public:
    // presentPorts lists the ports present each time the window is shown.
    explicit TForm2(std::function<QList<PortEntry>()> presentPorts, QWidget *parent = nullptr);

    QComboBox *ComboBox1() const { return m_combo; }

    // The entry selected when the window is next shown (ComPortIndex);
    // -1 or a position past the list selects nothing.
    void setComPortIndex(int index) { m_comPortIndex = index; }

    // Rebuilds the list and selects the entry at ComPortIndex, touching nothing.
    void FormShow();

signals:
    // The person picked a port: its number, its position in the list, its name.
    void portChosen(int portNo, int index, const QString &name);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ComboBox1Change(int index);

    std::function<QList<PortEntry>()> m_presentPorts;
    int m_comPortIndex = 0;
    QComboBox *m_combo;
};
