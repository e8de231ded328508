#pragma once

#include "comm/link/TransferWindow.h"

#include <QObject>
#include <functional>

class ProgramDocument;
class QTimer;
class StatusBar1;

// The window's side of a download: the transfer status in panel 1 with the
// activity bar that Timer1 moves, the checks of what was typed, and the
// program read from the document. Locking the controls is the window's: it
// follows transferStateChanged.
class TransferDisplay : public QObject, public TransferWindow
{
    Q_OBJECT
public:
    struct Checks
    {
        // Runs InitTempCheck; false (after its own message) when the value is bad.
        std::function<bool()> initialTempAccepted;
        // Checks the grid cell last edited; raises its error when out of range.
        std::function<void()> cellCheck;
    };

    TransferDisplay(ProgramDocument &document, StatusBar1 &statusBar, Checks checks, QObject *parent = nullptr);

    // Moves the activity bar on while a transfer runs (every 200 ms).
    QTimer *Timer1() const { return m_timer1; }
    void Timer1Timer();

    bool initialTempAccepted() override { return m_checks.initialTempAccepted(); }
    void checkEditedCell() override { m_checks.cellCheck(); }
    void enterTransferState() override;
    void resetAfterTransfer() override;
    void stopActivity() override;
    void startSending() override;
    void setTransferStatus(const QString &text) override;
    TemperatureProgram segmentTable() const override;
    int programNo() const override;
    QString initialTempText() const override;
    QString programFile() const override;
    bool programUnchangedSinceSaved() const override;
    void recordNotWritten(const QString &text) override;

signals:
    // The controls are to be locked (true) or freed (false).
    void transferStateChanged(bool transfer);

private:
    ProgramDocument &m_document;
    StatusBar1 &m_statusBar;
    Checks m_checks;
    QTimer *m_timer1;
};
