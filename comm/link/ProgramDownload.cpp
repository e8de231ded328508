#include "ProgramDownload.h"

#include "CommError.h"
#include "DownloadChecks.h"
#include "DownloadCommands.h"
#include "DownloadPort.h"
#include "Numbers.h"
#include "Prompts.h"
#include "TransferWindow.h"

#include <QScopeGuard>

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

int ProgramDownload::countSegments()
{
    const auto count = DownloadCommands::countSegments([this](int col, int row) { return m_snapshot.table.cell(row, col); });
    if (count)
        return *count;
    // Name the first cell that is not a number.
    for (int col = 1; col <= DownloadCommands::MaxSegments; ++col)
        for (int row = 2; row <= 4; ++row)
            toDouble(m_snapshot.table.cell(row, col));
    throw ConversionError(QString());
}

void ProgramDownload::runChecked()
{
    const int segments = countSegments();
    if (segments == 0) {
        endWithMessage(QStringLiteral("There are no segments."));
        return;
    }
    // Everything the controller would refuse is refused here, before the
    // port is touched: a refusal halfway would leave it a mixture of the old
    // and the new program.
    QString fault = DownloadChecks::initialTempFault(m_snapshot.initialTemp);
    if (fault.isEmpty())
        fault = DownloadChecks::segmentFault(m_snapshot.table, segments);
    if (!fault.isEmpty()) {
        endWithMessage(fault);
        return;
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
    const auto initialTemp = DownloadCommands::initialTemp(m_snapshot.initialTemp);
    if (!initialTemp)
        throw ConversionError(m_snapshot.initialTemp);
    for (const QByteArray &command : {DownloadCommands::programNo(programNo), *initialTemp,
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
        const int col = k + 1;
        const auto mode = DownloadCommands::segmentModeFromText(m_snapshot.table.cell(1, col));
        const auto command = DownloadCommands::segment(k, *mode, m_snapshot.table.cell(2, col), m_snapshot.table.cell(3, col),
                                                       m_snapshot.table.cell(4, col));
        if (!command) {
            // Name the cell the mode reads that is not a number.
            const bool ramp = *mode == DownloadCommands::SegmentMode::Ramp;
            for (int row = ramp ? 2 : 4; row <= (ramp ? 3 : 4); ++row)
                toDouble(m_snapshot.table.cell(row, col));
            throw ConversionError(m_snapshot.table.cell(2, col));
        }
        if (!exchangeAccepted(*command, refused))
            return;
    }

    m_window.ButtanReset();
    m_prompts.message(QStringLiteral("Transmission was completed"));
    closePort();
    
}

bool ProgramDownload::exchangeAccepted(const QByteArray &command, const QString &refusedText)
{
    m_exchange.exchange(command);
    if (!m_exchange.lastExchangeAnswered()) {
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
