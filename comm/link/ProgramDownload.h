#pragma once

#include "comm/protocol/ControllerExchange.h"
#include "model/TemperatureProgram.h"

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
        // Which ending it was, for a caller that tells them apart (the
        // command-line tool's exit status).
        enum class Kind {
            Completed,       // "Transmission was completed"
            NotSent,         // the program was refused before the port opened
            PortUnavailable, // the port cannot be opened or cleared
            NoAnswer,        // no answer, or noise instead of one
            StatusRefused,   // the status query was refused
            Running,         // a program runs on the controller
            Declined,        // No at the confirmation
            CommandRefused,  // a write command was refused
            Stopped,         // Stop, or an interruption
            PortFailure,     // the port failed during an exchange
        };
        Kind kind = Kind::Declined;
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
    // What ended the last download (also when run() raised its error).
    const Ending &lastEnding() const { return m_lastEnding; }

    // The node number the commands address (the first two characters of the
    // header, 0 to 99); 1 unless set.
    void setUnit(int unit) { m_unit = unit; }
    int unit() const { return m_unit; }

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
    Ending m_lastEnding;
    int m_unit = 1;
    bool m_running = false;
};
