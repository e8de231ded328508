#include "comm/link/ProgramDownload.h"

#include "comm/link/DownloadChecks.h"
#include "comm/link/DownloadPort.h"
#include "comm/link/TransferRecording.h"
#include "comm/link/TransferWindow.h"
#include "comm/protocol/DownloadCommands.h"
#include "model/Numbers.h"
#include "model/Prompts.h"

#include <QScopeGuard>
#include <stdexcept>

namespace {
using Show = ProgramDownload::Ending::Show;
using Kind = ProgramDownload::Ending::Kind;
// Program number, initial temperature, program number again, segment count.
constexpr int CommandsBeforeSegments = 4;
const QString FullWidthColon = QString::fromUtf8("\xEF\xBC\x9A");
const QString NoAnswerText = QStringLiteral("Comm.port setting is different or\n\rpower of device is not turned on.");
const QString PortMissingText = QStringLiteral("Comm.port is not set or\n\rcomm.cable is not connected.");
const QString RefusedText = QStringLiteral("Command error.Transmission was stopped. ErorrCode") + FullWidthColon;

ProgramDownload::Ending notSent(const QString &text) { return {Kind::NotSent, Show::Message, {}, text}; }

ProgramDownload::Ending box(Kind kind, const QString &caption, const QString &text)
{
    return {kind, Show::Box, caption, text};
}

ProgramDownload::Ending stopped()
{
    return {Kind::Stopped, Show::Message, {}, QStringLiteral("Transmission was stopped."), true};
}
} // namespace

ProgramDownload::ProgramDownload(TransferWindow &window, DownloadPort &port, Prompts &prompts)
    : m_window(window)
    , m_port(port)
    , m_prompts(prompts)
    , m_exchange(port)
{}

QString ProgramDownload::confirmationText(int programNo, int segments)
{
    return QStringLiteral("Are you sure parameter is stored as\n\r%1  in the controller.(Seg.=%2)")
        .arg(programNo)
        .arg(segments);
}

QString ProgramDownload::incompleteText(int programNo, const QString &port, int unit, int accepted, int segments)
{
    const int written = accepted - CommandsBeforeSegments;
    QString what;
    if (accepted <= 1)
        what = QStringLiteral("the program number was written");
    else if (written < 0)
        what = QStringLiteral("the program number and initial temperature were written");
    else if (written == 0)
        what = QStringLiteral("the program number, initial temperature and segment count were written, "
                              "none of the %1 segments")
                   .arg(segments);
    else
        what = QStringLiteral("the program number, initial temperature and %1 of %2 segments were written")
                   .arg(written)
                   .arg(segments);
    return QStringLiteral("Program %1 on %2 (unit %3) may now be incomplete: %4. Send it again before running it.")
        .arg(programNo)
        .arg(port)
        .arg(unit)
        .arg(what);
}

void ProgramDownload::run()
{
    // The checks below show messages, and the exchanges keep the window alive
    // while they wait: a second Send may arrive at any of those points.
    if (m_running)
        return;
    m_running = true;
    const auto notRunning = qScopeGuard([this] { m_running = false; });

    m_lastEnding = {Kind::NotSent, Show::Nothing, {}, {}};
    m_lastIncomplete.clear();
    if (!m_window.initialTempAccepted())
        return;
    m_window.checkEditedCell();
    m_snapshot = {m_window.programNo(), m_window.initialTempText(), m_window.segmentTable()};

    m_window.enterTransferState();
    m_exchange.noReply = false;
    stopAsked = false;
    m_portOpened = false;
    m_segmentsAcknowledged = 0;
    m_commandsAccepted = 0;
    m_segments = 0;
    Ending ending;
    try {
        if (const auto notPrepared = prepare())
            ending = *notPrepared;
        else if (const auto notConfirmed = askController())
            ending = *notConfirmed;
        else
            ending = send();
    } catch (const std::exception &e) {
        ending = {Kind::PortFailure, Show::Error, {}, QString::fromUtf8(e.what())};
    }
    m_lastIncomplete = ending.kind != Kind::Completed && m_commandsAccepted > 0
        ? incompleteText(m_snapshot.programNo, m_port.portName(), m_unit, m_commandsAccepted, m_segments)
        : QString();
    m_lastEnding = ending;
    // Written before the ending's message, so that a person who reads it
    // finds the transfer in the log.
    if (m_portOpened && m_log)
        record(ending);
    finish(ending);
}

void ProgramDownload::finish(const Ending &ending)
{
    if (ending.activityStopsFirst)
        m_window.stopActivity();
    else
        m_window.resetAfterTransfer();
    switch (ending.show) {
    case Ending::Show::Nothing:
        break;
    case Ending::Show::Message:
        m_prompts.message(ending.text, m_lastIncomplete);
        break;
    case Ending::Show::Box:
        m_prompts.box(ending.caption, ending.text, Prompts::Icon::Question, Prompts::Ok, m_lastIncomplete);
        break;
    case Ending::Show::Error:
        // The default error display shows it once the window is idle and
        // the port closed.
        closePort();
        throw std::runtime_error(ending.text.toStdString());
    }
    if (ending.activityStopsFirst)
        m_window.resetAfterTransfer();
    closePort();
}

std::optional<ProgramDownload::Ending> ProgramDownload::prepare()
{
    const TemperatureProgram &table = m_snapshot.table;
    QString fault;
    const int segments = DownloadChecks::checkedSegmentCount(table, &fault);
    if (!fault.isEmpty())
        return notSent(fault);
    if (segments == 0)
        return notSent(QStringLiteral("There are no segments."));
    // Everything the controller would refuse is refused here, before the
    // port is touched: a refusal halfway would leave it a mixture of the old
    // and the new program.
    fault = DownloadChecks::initialTempFault(m_snapshot.initialTemp);
    if (fault.isEmpty())
        fault = DownloadChecks::segmentFault(table, segments);
    if (const QList<DownloadChecks::Problem> unsendable = DownloadChecks::unsendableSegments(table);
        fault.isEmpty() && !unsendable.isEmpty())
        fault = DownloadChecks::message(unsendable.first());
    if (!fault.isEmpty())
        return notSent(fault);

    // Every command is built before the port opens; the checks above passed
    // every value sent, so each reads and fits its field.
    const auto initialTemp = DownloadCommands::initialTemp(toDouble(m_snapshot.initialTemp));
    if (!initialTemp)
        throw std::logic_error("initial temperature passed its check but does not fit its field");
    const int programNo = m_snapshot.programNo;
    m_commands = {DownloadCommands::programNo(programNo), *initialTemp, DownloadCommands::programNoAgain(programNo),
                  DownloadCommands::segmentCountCommand(segments)};
    for (int k = 0, col = 1; k < segments; ++k, ++col) {
        const auto command = DownloadCommands::segment(
            k, *DownloadCommands::segmentModeFromText(table.cell(TemperatureProgram::ModeRow, col)),
            toDouble(table.cell(TemperatureProgram::TempRow, col)),
            toDouble(table.cell(TemperatureProgram::RateRow, col)),
            toDouble(table.cell(TemperatureProgram::TimeRow, col)));
        if (!command)
            throw std::logic_error("segment passed its check but does not fit its fields");
        m_commands << *command;
    }
    m_segments = segments;
    return std::nullopt;
}

std::optional<ProgramDownload::Ending> ProgramDownload::askController()
{
    if (stopRequested(StopPoint::Elsewhere))
        return stopped();
    try {
        m_port.Open();
    } catch (const std::exception &e) {
        const QString reason = QString::fromUtf8(e.what());
        return Ending{Kind::PortUnavailable,
                      Show::Error,
                      {},
                      PortMissingText + (reason.isEmpty() ? QString() : QStringLiteral("\n\r") + reason)};
    }
    m_portOpened = true;

    m_exchange.commandHeader = ControllerExchange::headerForUnit(m_unit);
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
    if (stopRequested(StopPoint::Elsewhere))
        return stopped();
    const BeforeQuestion before = beforeQuestion();
    if (!before.statusNote.isEmpty())
        m_window.showNote(before.statusNote);
    const Prompts::Button answer =
        m_prompts.box(QStringLiteral("Confirmation"), confirmationText(m_snapshot.programNo, m_segments),
                      Prompts::Icon::Question, Prompts::Yes | Prompts::No, before.further);
    if (stopRequested(StopPoint::Elsewhere))
        return stopped();
    if (answer == Prompts::No)
        return Ending{Kind::Declined, Show::Nothing, {}, {}};
    return std::nullopt;
}

ProgramDownload::Ending ProgramDownload::send()
{
    m_window.startSending();
    const int firstSegment = int(m_commands.size()) - m_segments;
    for (int i = 0; i < m_commands.size(); ++i) {
        const int k = i - firstSegment; // the segment's number; negative before the segments
        if (stopRequested(k >= 0 ? StopPoint::BeforeSegment : StopPoint::Elsewhere))
            return stopped();
        if (k >= 0) {
            m_window.setTransferStatus(QStringLiteral("Segment No.%1sending").arg(k));
            m_window.segmentSending(k, m_segments);
        }
        if (auto ending = exchangeRefused(m_commands.at(i)))
            return *ending;
        ++m_commandsAccepted;
        if (k >= 0)
            ++m_segmentsAcknowledged;
    }
    return {Kind::Completed, Show::Message, {}, QStringLiteral("Transmission was completed")};
}

bool ProgramDownload::stopRequested(StopPoint point) const
{
    return (point == StopPoint::BeforeSegment && stopAsked) || m_window.interrupted();
}

std::optional<ProgramDownload::Ending> ProgramDownload::exchangeRefused(const QByteArray &command)
{
    m_exchange.exchange(command);
    // Noise instead of an answer is what a line at other settings gives.
    if (!m_exchange.lastAnswerWellFormed())
        return box(Kind::NoAnswer, QStringLiteral("Error"), NoAnswerText);
    if (!m_exchange.lastCommandAccepted())
        return box(Kind::CommandRefused, QStringLiteral("Error"),
                   RefusedText + QString::fromLatin1(m_exchange.responseCode()));
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

SentProgram ProgramDownload::sentProgram() const
{
    return SentProgram::fromTable(m_snapshot.programNo, m_snapshot.initialTemp, m_snapshot.table, m_segments);
}

ProgramDownload::BeforeQuestion ProgramDownload::beforeQuestion() const
{
    if (!m_log)
        return {};
    const TransferLog::Contents log = m_log->read();
    const QString port = m_port.portName();
    const int programNo = m_snapshot.programNo;
    const auto last = TransferRecording::lastCompleted(log.records, port, m_unit, programNo);
    QStringList further;
    if (const auto incomplete = TransferRecording::incompleteSince(log.records, port, m_unit, programNo))
        further << TransferRecording::incompleteNote(*incomplete);
    if (const QString comparison = TransferRecording::comparisonBeforeQuestion(last, sentProgram());
        !comparison.isEmpty())
        further << comparison;
    return {TransferRecording::noteBeforeSend(last, sentProgram()), further.join(QLatin1Char('\n'))};
}

void ProgramDownload::record(const Ending &ending)
{
    TransferRecord record =
        TransferRecording::build(QDateTime::currentDateTimeUtc(), m_port.portName(), m_port.devicePath(), m_unit,
                                 {m_window.programFile(), m_window.programUnchangedSinceSaved()}, sentProgram(), ending,
                                 m_segmentsAcknowledged, !m_lastIncomplete.isEmpty());
    record.lineNote = m_port.lineNote();
    QString reason;
    if (!m_log->append(record, &reason))
        m_window.recordNotWritten(QStringLiteral("The transfer record could not be written: %1").arg(reason));
}
