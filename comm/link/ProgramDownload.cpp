#include "comm/link/ProgramDownload.h"

#include "comm/link/DownloadChecks.h"
#include "comm/protocol/DownloadCommands.h"
#include "comm/link/DownloadPort.h"
#include "model/Numbers.h"
#include "model/Prompts.h"
#include "comm/link/TransferWindow.h"

#include <QScopeGuard>
#include <stdexcept>

namespace {
const QString FullWidthColon = QString::fromUtf8("\xEF\xBC\x9A");
const QString NoAnswerText = QStringLiteral("Comm.port setting is different or\n\rpower of device is not turned on.");
const QString PortMissingText = QStringLiteral("Comm.port is not set or\n\rcomm.cable is not connected.");
}

ProgramDownload::ProgramDownload(TransferWindow &window, DownloadPort &port, Prompts &prompts)
    : m_window(window)
    , m_port(port)
    , m_prompts(prompts)
    , m_exchange(port)
{
}

QString ProgramDownload::confirmationText(int programNo, int segments)
{
    return QStringLiteral("Are you sure parameter is stored as\n\r%1  in the controller.(Seg.=%2)")
        .arg(programNo)
        .arg(segments);
}

void ProgramDownload::run()
{
    // The checks below show messages, and the exchanges keep the window alive
    // while they wait: a second Send may arrive at any of those points.
    if (m_running)
        return;
    m_running = true;
    const auto notRunning = qScopeGuard([this] { m_running = false; });

    m_lastEnding = {Ending::Kind::NotSent, Ending::Show::Nothing, {}, {}};
    if (!m_window.initialTempAccepted())
        return;
    m_window.CellCheck();
    m_snapshot = {m_window.programNo(), m_window.initialTempText(), m_window.segmentTable()};

    m_window.enterTransferState();
    m_exchange.NoReply = false;
    StopRequest = false;
    Ending ending;
    try {
        ending = runChecked();
    } catch (const std::exception &e) {
        ending = {Ending::Kind::PortFailure, Ending::Show::Error, {}, QString::fromUtf8(e.what())};
    }
    m_lastEnding = ending;
    finish(ending);
}

void ProgramDownload::finish(const Ending &ending)
{
    if (ending.activityStopsFirst)
        m_window.stopActivity();
    else
        m_window.ButtanReset();
    switch (ending.show) {
    case Ending::Show::Nothing:
        break;
    case Ending::Show::Message:
        m_prompts.message(ending.text);
        break;
    case Ending::Show::Box:
        m_prompts.box(ending.caption, ending.text, Prompts::Icon::Question, Prompts::Ok);
        break;
    case Ending::Show::Error:
        // The default error display shows it once the window is idle and
        // the port closed.
        closePort();
        throw std::runtime_error(ending.text.toStdString());
    }
    if (ending.activityStopsFirst)
        m_window.ButtanReset();
    closePort();
}

ProgramDownload::Ending ProgramDownload::runChecked()
{
    using Show = Ending::Show;
    using Kind = Ending::Kind;
    const auto notSent = [](const QString &text) { return Ending{Kind::NotSent, Show::Message, {}, text}; };
    const auto box = [](Kind kind, const QString &caption, const QString &text) {
        return Ending{kind, Show::Box, caption, text};
    };
    const Ending stopped{Kind::Stopped, Show::Message, {}, QStringLiteral("Transmission was stopped."), true};

    QString fault;
    const int segments = DownloadChecks::countSegments(m_snapshot.table, &fault);
    if (!fault.isEmpty())
        return notSent(fault);
    if (segments == 0)
        return notSent(QStringLiteral("There are no segments."));
    // Everything the controller would refuse is refused here, before the
    // port is touched: a refusal halfway would leave it a mixture of the old
    // and the new program.
    fault = DownloadChecks::initialTempFault(m_snapshot.initialTemp);
    if (fault.isEmpty())
        fault = DownloadChecks::segmentFault(m_snapshot.table, segments);
    if (const QList<DownloadChecks::Problem> unsendable = DownloadChecks::unsendableSegments(m_snapshot.table);
        fault.isEmpty() && !unsendable.isEmpty())
        fault = DownloadChecks::message(unsendable.first());
    if (!fault.isEmpty())
        return notSent(fault);

    // Every command is built before the port opens; the checks above passed
    // every value sent, so each reads and fits its field.
    const auto initialTempCommand = DownloadCommands::initialTemp(toDouble(m_snapshot.initialTemp));
    if (!initialTempCommand)
        throw std::logic_error("initial temperature passed its check but does not fit its field");
    const QByteArray initialTemp = *initialTempCommand;
    QList<QByteArray> segmentCommands;
    const TemperatureProgram &table = m_snapshot.table;
    for (int k = 0, col = 1; k < segments; ++k, ++col) {
        const auto command = DownloadCommands::segment(
            k, *DownloadCommands::segmentModeFromText(table.cell(TemperatureProgram::ModeRow, col)),
            toDouble(table.cell(TemperatureProgram::TempRow, col)), toDouble(table.cell(TemperatureProgram::RateRow, col)),
            toDouble(table.cell(TemperatureProgram::TimeRow, col)));
        if (!command)
            throw std::logic_error("segment passed its check but does not fit its fields");
        segmentCommands << *command;
    }

    if (m_window.interrupted())
        return stopped;
    try {
        m_port.Open();
    } catch (const std::exception &e) {
        const QString reason = QString::fromUtf8(e.what());
        return {Kind::PortUnavailable, Show::Error, {},
                PortMissingText + (reason.isEmpty() ? QString() : QStringLiteral("\n\r") + reason)};
    }

    m_exchange.CommandHeader = ControllerExchange::headerForUnit(m_unit);
    m_exchange.exchange(DownloadCommands::statusQuery());
    switch (DownloadCommands::judgeStatusAnswer(m_exchange)) {
    case DownloadCommands::StatusVerdict::NoAnswer:
        return box(Kind::NoAnswer, QStringLiteral("Error"), NoAnswerText);
    case DownloadCommands::StatusVerdict::Refused:
        return box(Kind::StatusRefused, QStringLiteral("Error"),
                   QStringLiteral("Command error. ErorrCode") + FullWidthColon
                       + QString::fromLatin1(m_exchange.responseCode()));
    case DownloadCommands::StatusVerdict::Running:
        return box(Kind::Running, QStringLiteral("Confirmation"), QStringLiteral("Program is running."));
    case DownloadCommands::StatusVerdict::Idle:
        break;
    }

    m_window.stopActivity();
    if (m_window.interrupted())
        return stopped;
    const int programNo = m_snapshot.programNo;
    const Prompts::Button answer = m_prompts.box(QStringLiteral("Confirmation"), confirmationText(programNo, segments),
                                                 Prompts::Icon::Question, Prompts::Yes | Prompts::No);
    if (m_window.interrupted())
        return stopped;
    if (answer == Prompts::No)
        return {Kind::Declined, Show::Nothing, {}, {}};
    m_window.startSending();

    const QString refused = QStringLiteral("Command error.Transmission was stopped. ErorrCode") + FullWidthColon;
    for (const QByteArray &command : {DownloadCommands::programNo(programNo), initialTemp,
                                      DownloadCommands::programNoAgain(programNo),
                                      DownloadCommands::segmentCount(segments)}) {
        if (m_window.interrupted())
            return stopped;
        if (auto ending = exchangeRefused(command, refused))
            return *ending;
    }

    for (int k = 0; k < segments; ++k) {
        if (StopRequest || m_window.interrupted())
            return stopped;
        m_window.setTransferStatus(QStringLiteral("Segment No.%1sending").arg(k));
        m_window.segmentSending(k, segments);
        if (auto ending = exchangeRefused(segmentCommands.at(k), refused))
            return *ending;
    }
    return {Kind::Completed, Show::Message, {}, QStringLiteral("Transmission was completed")};
}

std::optional<ProgramDownload::Ending> ProgramDownload::exchangeRefused(const QByteArray &command,
                                                                        const QString &refusedText)
{
    m_exchange.exchange(command);
    // Noise instead of an answer is what a line at other settings gives.
    if (!m_exchange.lastAnswerWellFormed())
        return Ending{Ending::Kind::NoAnswer, Ending::Show::Box, QStringLiteral("Error"), NoAnswerText};
    if (!m_exchange.lastCommandAccepted())
        return Ending{Ending::Kind::CommandRefused, Ending::Show::Box, QStringLiteral("Error"),
                      refusedText + QString::fromLatin1(m_exchange.responseCode())};
    return std::nullopt;
}

void ProgramDownload::closePort()
{
    try {
        m_port.Close();
    } catch (const std::exception &) {
        // Closing is the last step of every ending; a port that is already
        // gone is closed enough.
    }
}
