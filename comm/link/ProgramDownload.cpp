#include "ProgramDownload.h"

#include "CommError.h"
#include "DownloadChecks.h"
#include "DownloadCommands.h"
#include "DownloadPort.h"
#include "Numbers.h"
#include "Prompts.h"
#include "TransferWindow.h"

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

    if (!m_window.initialTempAccepted())
        return;
    m_window.CellCheck();
    m_snapshot = {m_window.programNo(), m_window.initialTempText(), m_window.segmentTable()};

    m_window.enterTransferState();
    m_exchange.NoReply = false;
    StopRequest = false;
    try {
        runChecked();
    } catch (...) {
        // Whatever went wrong, the window is idle again and the port closed
        // before the error is shown.
        m_window.ButtanReset();
        closePort();
        throw;
    }
}

void ProgramDownload::runChecked()
{
    QString fault;
    const int segments = DownloadChecks::countSegments(m_snapshot.table, &fault);
    if (!fault.isEmpty()) {
        endWithMessage(fault);
        return;
    }
    if (segments == 0) {
        endWithMessage(QStringLiteral("There are no segments."));
        return;
    }
    // Everything the controller would refuse is refused here, before the
    // port is touched: a refusal halfway would leave it a mixture of the old
    // and the new program.
    fault = DownloadChecks::initialTempFault(m_snapshot.initialTemp);
    if (fault.isEmpty())
        fault = DownloadChecks::segmentFault(m_snapshot.table, segments);
    if (!fault.isEmpty()) {
        endWithMessage(fault);
        return;
    }

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

    try {
        m_port.Open();
    } catch (const std::exception &e) {
        m_window.ButtanReset();
        closePort();
        QString reason = QString::fromUtf8(e.what());
        throw PortOpenError(PortMissingText + (reason.isEmpty() ? QString() : QStringLiteral("\n\r") + reason));
    }

    m_exchange.CommandHeader = ControllerExchange::DefaultHeader;
    m_exchange.exchange(DownloadCommands::statusQuery());
    switch (DownloadCommands::judgeStatusAnswer(m_exchange)) {
    case DownloadCommands::StatusVerdict::NoAnswer:
        endWithBox(QStringLiteral("Error"), NoAnswerText);
        return;
    case DownloadCommands::StatusVerdict::Refused:
        endWithBox(QStringLiteral("Error"), QStringLiteral("Command error. ErorrCode") + FullWidthColon
                                                + QString::fromLatin1(m_exchange.responseCode()));
        return;
    case DownloadCommands::StatusVerdict::Running:
        endWithBox(QStringLiteral("Confirmation"), QStringLiteral("Program is running."));
        return;
    case DownloadCommands::StatusVerdict::Idle:
        break;
    }

    m_window.stopActivity();
    const int programNo = m_snapshot.programNo;
    if (m_prompts.box(QStringLiteral("Confirmation"), confirmationText(programNo, segments), Prompts::Icon::Question,
                      Prompts::Yes | Prompts::No)
        == Prompts::No) {
        m_window.ButtanReset();
        closePort();
        return;
    }
    m_window.startSending();

    const QString refused = QStringLiteral("Command error.Transmission was stopped. ErorrCode") + FullWidthColon;
    for (const QByteArray &command : {DownloadCommands::programNo(programNo), initialTemp,
                                      DownloadCommands::programNoAgain(programNo),
                                      DownloadCommands::segmentCount(segments)}) {
        if (!exchangeAccepted(command, refused))
            return;
    }

    for (int k = 0; k < segments; ++k) {
        if (StopRequest) {
            m_window.stopActivity();
            m_prompts.message(QStringLiteral("Transmission was stopped."));
            m_window.ButtanReset();
            closePort();
            return;
        }
        m_window.setTransferStatus(QStringLiteral("Segment No.%1sending").arg(k));
        if (!exchangeAccepted(segmentCommands.at(k), refused))
            return;
    }

    m_window.ButtanReset();
    m_prompts.message(QStringLiteral("Transmission was completed"));
    closePort();
    
}

bool ProgramDownload::exchangeAccepted(const QByteArray &command, const QString &refusedText)
{
    m_exchange.exchange(command);
    // Noise instead of an answer is what a line at other settings gives.
    if (!m_exchange.lastAnswerWellFormed()) {
        endWithBox(QStringLiteral("Error"), NoAnswerText);
        return false;
    }
    if (!m_exchange.lastCommandAccepted()) {
        endWithBox(QStringLiteral("Error"), refusedText + QString::fromLatin1(m_exchange.responseCode()));
        return false;
    }
    return true;
}

void ProgramDownload::endWithBox(const QString &caption, const QString &text)
{
    m_window.ButtanReset();
    m_prompts.box(caption, text, Prompts::Icon::Question, Prompts::Ok);
    closePort();
}

void ProgramDownload::endWithMessage(const QString &text)
{
    m_window.ButtanReset();
    m_prompts.message(text);
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
