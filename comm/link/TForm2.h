#pragma once

#include <QWidget>
#include <functional>

class PortDirectory;
class QComboBox;
class TCommX;

// The "Com. Port Setup" window: the ports present, by name; picking one
// closes the port and makes the pick the controller's port at once.
class TForm2 : public QWidget
{
    Q_OBJECT
public:
    // comPortNo and comPortIndex live in the main window; showPort writes
    // the chosen port's name into its status bar.
    TForm2(TCommX &comm, int &comPortNo, int &comPortIndex, std::function<void(const QString &)> showPort,
           QWidget *parent = nullptr);

    QComboBox *ComboBox1() const { return m_combo; }

    // Rebuilds the list and selects the entry at ComPortIndex, touching nothing.
    void FormShow();
    // Applies the entry the person picked.
    void ComboBox1Change();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TCommX &m_comm;
    int &m_comPortNo;
    int &m_comPortIndex;
    std::function<void(const QString &)> m_showPort;
    QComboBox *m_combo;
};
