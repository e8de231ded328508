#pragma once

#include "comm/PortDirectory.h"

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
    TForm2(std::function<QList<PortEntry>()> presentPorts, const QFont &font, QWidget *parent = nullptr);

    QComboBox *ComboBox1() const { return m_combo; }

    // The port chosen now (ComPortNo): when the window is next shown, the
    // entry of that port is selected, and nothing when that port is not in
    // the list (or none is chosen), so the list never shows a port that is
    // not the one in use.
    void setChosenPort(int portNo) { m_chosenPortNo = portNo; }

    // Rebuilds the list and selects the chosen port's entry, touching nothing.
    void FormShow();

signals:
    // The person picked a port: its number, its position in the list, its name.
    void portChosen(int portNo, int index, const QString &name);

protected:
    void showEvent(QShowEvent *event) override;
    // Escape closes the window, as its close button does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ComboBox1Change(int index);

    std::function<QList<PortEntry>()> m_presentPorts;
    int m_chosenPortNo = 0;
    QComboBox *m_combo;
};
