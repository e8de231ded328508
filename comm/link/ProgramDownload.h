#pragma once

#include "ControllerExchange.h"
#include "TemperatureProgram.h"

#include <QString>

class DownloadPort;
class Prompts;
class TransferWindow;

// The Send command: checks the program, asks the controller whether it is
// reachable and idle, asks the person to confirm, then writes the program
// number, the initial temperature, the segment count and every segment, one
// exchange each. Every ending leaves the window idle with the port closed.
class ProgramDownload
{
public:
    // The program as it stood when the download passed its checks. Only this
    // copy is sent, so nothing the window does during a transfer changes what
    // goes on the line.
    struct Snapshot
    {
        int programNo = 0;
        QString initialTemp;
        TemperatureProgram table;
    };

public:
    ProgramDownload(TransferWindow &window, DownloadPort &port, Prompts &prompts);

    // Runs the whole download; does nothing while a download runs already.
    // Raises the errors the default error display
    // shows (port not available, port failure, a cell that is not a number),
    // always after the window was made idle and the port closed.
    void run();

    // The Stop button: takes effect before the next segment.
    void ToolButton5Click() { StopRequest = true; }
    bool StopRequest = false;

    bool isRunning() const { return m_running; }
    ControllerExchange &exchange() { return m_exchange; }

    static QString confirmationText(int programNo, int segments);

private:
    void runChecked();
    // Exchanges one command; false (after the ending's message) when it was
    // not answered or not accepted.
    bool exchangeAccepted(const QByteArray &command, const QString &refusedText);
    void endWithBox(const QString &caption, const QString &text);
    void endWithMessage(const QString &text);
    void closePort();

    TransferWindow &m_window;
    DownloadPort &m_port;
    Prompts &m_prompts;
    ControllerExchange m_exchange;
    Snapshot m_snapshot;
    bool m_running = false;
};
