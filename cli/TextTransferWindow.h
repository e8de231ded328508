#pragma once

#include "comm/link/TransferWindow.h"

#include <QString>
#include <csignal>

// The download's window on a text console: the program comes from a file,
// the status goes out as lines, or as one line with a bar on a terminal.
// Ctrl+C is the interruption: the download sends nothing more.
class TextTransferWindow : public TransferWindow
{
public:
    TextTransferWindow(const TemperatureProgram &table, int programNo, const QString &initialTempText, bool terminal);

    void setPrefix(const QString &prefix) { m_prefix = prefix; }

    // Ctrl+C from now on sets the interruption; a second Ctrl+C ends the
    // process at once.
    static void catchInterrupt();
    static bool interruptRequested();

    // The checks of what was typed have nothing to do here: the download's
    // own checks judge the file's values.
    bool initialTempAccepted() override { return true; }
    void checkEditedCell() override {}

    void enterTransferState() override;
    void resetAfterTransfer() override;
    void stopActivity() override;
    void startSending() override;
    void setTransferStatus(const QString &text) override;
    void segmentSending(int k, int count) override;
    bool interrupted() const override { return interruptRequested(); }

    void showNote(const QString &note) override;
    void setProgramFile(const QString &path) { m_programFile = path; }
    QString programFile() const override { return m_programFile; }
    bool programUnchangedSinceSaved() const override { return !m_programFile.isEmpty(); }

    TemperatureProgram segmentTable() const override { return m_table; }
    int programNo() const override { return m_programNo; }
    QString initialTempText() const override { return m_initialTempText; }

private:
    void endStatusLine();

    TemperatureProgram m_table;
    int m_programNo;
    QString m_initialTempText;
    bool m_terminal;
    QString m_prefix;
    QString m_programFile;
    bool m_statusLineOpen = false;
};
