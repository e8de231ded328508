#pragma once

#include "comm/protocol/ControllerExchange.h"
#include "files/TransferLog.h"
#include "model/SentProgram.h"
#include "model/TemperatureProgram.h"

#include <QByteArray>
#include <QList>
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
    // port failure), always after the window was made idle and the port closed;
    // the display shows lastIncomplete() with them.
    void run();
    // What ended the last download (also when run() raised its error).
    const Ending &lastEnding() const { return m_lastEnding; }
    // Shown with the last ending's text, in the same box: which program it
    // may have left half written (incompleteText). Empty when the
    // controller's program is whole: nothing written yet, or everything.
    const QString &lastIncomplete() const { return m_lastIncomplete; }

    // The node number the commands address (the first two characters of the
    // header, 0 to 99); 1 unless set.
    void setUnit(int unit) { m_unit = unit; }
    int unit() const { return m_unit; }

    // The Stop button: takes effect before the next segment.
    // The window's Stop button (ToolButton5Click) calls this.
    void requestStop() { stopAsked = true; }
    bool stopAsked = false;

    bool isRunning() const { return m_running; }
    // Every download that reaches the port appends its record to this log,
    // and the question before sending is accompanied by how the program
    // compares with the last one completed to the same place. Unset: no record.
    void setTransferLog(const TransferLog &log) { m_log = log; }
    // The program sent, as the transfer log records it.
    SentProgram sentProgram() const;
    ControllerExchange &exchange() { return m_exchange; }

    static QString confirmationText(int programNo, int segments);
    // "Program 3 on COM5 (unit 1) may now be incomplete: the program number,
    // initial temperature and 2 of 6 segments were written. Send it again
    // before running it." for a download that ended after the controller
    // accepted `accepted` write commands (of 4 + segments).
    static QString incompleteText(int programNo, const QString &port, int unit, int accepted, int segments);

private:
    // Where the download looks whether it is to end as stopped.
    enum class StopPoint {
        BeforeSegment, // the Stop button or an interruption
        Elsewhere,     // an interruption only; the Stop button waits for the next segment
    };

    // The checks of the snapshot, and every command built from it; the
    // ending when the program is not sent.
    std::optional<Ending> prepare();
    // Opens the port, asks the controller's status, then the person's
    // confirmation; the ending when the download goes no further.
    std::optional<Ending> askController();
    // Exchanges every command in turn; the ending of the download.
    Ending send();
    bool stopRequested(StopPoint point) const;
    // Exchanges one command; the ending when it was not answered or not accepted.
    std::optional<Ending> exchangeRefused(const QByteArray &command);
    // Makes the window idle, shows the ending and closes the port, in the
    // order the ending asks for; an error is raised last, the port closed.
    void finish(const Ending &ending);
    void closePort();
    // Appends the ending to the transfer log; a log that cannot be written
    // is reported and changes nothing else.
    void record(const Ending &ending);
    // Before the question: the status panel's note on the program against
    // the last one completed here, and for the question's box that
    // comparison in full, after a warning when the program there was left
    // half written since.
    struct BeforeQuestion
    {
        QString statusNote;
        QString further;
    };
    BeforeQuestion beforeQuestion() const;

    TransferWindow &m_window;
    DownloadPort &m_port;
    Prompts &m_prompts;
    ControllerExchange m_exchange;
    Snapshot m_snapshot;
    // What prepare() built: every command in the order sent, the segments last.
    QList<QByteArray> m_commands;
    int m_segments = 0;
    int m_segmentsAcknowledged = 0;
    int m_commandsAccepted = 0;
    std::optional<TransferLog> m_log;
    bool m_portOpened = false; // only a download that reached the port is recorded
    Ending m_lastEnding;
    QString m_lastIncomplete;
    int m_unit = 1;
    bool m_running = false;
};
