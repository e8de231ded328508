#pragma once

#include "ControllerExchange.h"
#include "TemperatureProgram.h"

#include <QString>
#include <optional>

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

    // What ended a download, as the one place that ends every download shows it.
    struct Ending
    {
        enum class Show { Nothing, Message, Box, Error };
        Show show = Show::Nothing;
        QString caption; // of a box
        QString text;
        // Stop: the activity stops and the message is shown before the window
        // is made idle. Every other ending makes it idle first.
        bool activityStopsFirst = false;
    };

    ProgramDownload(TransferWindow &window, DownloadPort &port, Prompts &prompts);

    // Runs the whole download; does nothing while a download runs already.
    // Raises the errors the default error display shows (port not available,
    // port failure), always after the window was made idle and the port closed.
    void run();

    // The Stop button: takes effect before the next segment.
    void ToolButton5Click() { StopRequest = true; }
    bool StopRequest = false;

    bool isRunning() const { return m_running; }
    ControllerExchange &exchange() { return m_exchange; }

    static QString confirmationText(int programNo, int segments);

private:
    Ending runChecked();
    // Exchanges one command; the ending when it was not answered or not accepted.
    std::optional<Ending> exchangeRefused(const QByteArray &command, const QString &refusedText);
    // Makes the window idle, shows the ending and closes the port, in the
    // order the ending asks for; an error is raised last, the port closed.
    void finish(const Ending &ending);
    void closePort();

    TransferWindow &m_window;
    DownloadPort &m_port;
    Prompts &m_prompts;
    ControllerExchange m_exchange;
    Snapshot m_snapshot;
    bool m_running = false;
};
