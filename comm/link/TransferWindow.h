#pragma once

#include "model/TemperatureProgram.h"

#include <QString>
#include <cstdio>

// What a program download needs of the window it runs in: the checks of what
// was typed, the program's cells, and the transfer state with its status.
class TransferWindow
{
public:
    virtual ~TransferWindow() = default;

    // Runs InitTempCheck; false (after its own message) when the value is bad.
    virtual bool initialTempAccepted() = 0;
    // Checks the grid cell last edited (the window's CellCheck); raises its
    // error when out of range.
    virtual void checkEditedCell() = 0;

    // New, Open, Save, Send, the program number, the menus, the grid and the
    // initial temperature locked; Stop enabled; the window cannot be closed;
    // "Waiting..." and the activity bar running.
    virtual void enterTransferState() = 0;
    // Back to idle (the window's ButtanReset): every control as it was, activity
    // bar stopped and hidden.
    virtual void resetAfterTransfer() = 0;
    // The activity bar stopped and hidden, the transfer status cleared.
    virtual void stopActivity() = 0;
    // "Sending...": the hint cleared, the activity bar restarted from 0.
    virtual void startSending() = 0;
    // Status panel 1 during the download.
    virtual void setTransferStatus(const QString &text) = 0;
    // Segment k of count is about to go out; for a window that shows how far
    // the transfer got.
    virtual void segmentSending(int k, int count)
    {
        Q_UNUSED(k);
        Q_UNUSED(count);
    }
    // True once the person asked to abandon the transfer at once (the
    // command-line tool's Ctrl+C): no further command is sent, and the
    // download ends as stopped. The window's Stop button is ProgramDownload::requestStop.
    virtual bool interrupted() const { return false; }
    // Beside the question before the program goes out: how it compares with
    // what was last sent to the same place.
    virtual void showNote(const QString &note) { setTransferStatus(note); }
    // The transfer log could not take the download's record; the download
    // itself went on as it would have. Goes to standard error unless the
    // window shows it too.
    virtual void recordNotWritten(const QString &text);

    // The file the program came from (empty when none), and whether the
    // program is still exactly that file's content.
    virtual QString programFile() const { return {}; }
    virtual bool programUnchangedSinceSaved() const { return false; }

    // The program as the window holds it.
    virtual TemperatureProgram segmentTable() const = 0;
    virtual int programNo() const = 0;
    virtual QString initialTempText() const = 0;
};

inline void TransferWindow::recordNotWritten(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
