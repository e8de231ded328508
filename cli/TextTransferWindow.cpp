#include "cli/TextTransferWindow.h"

#include "cli/Console.h"

namespace {
volatile std::sig_atomic_t interruptFlag = 0;

extern "C" void onInterrupt(int) { interruptFlag = 1; }

constexpr int BarWidth = 24;
} // namespace

TextTransferWindow::TextTransferWindow(const TemperatureProgram &table, int programNo, const QString &initialTempText,
                                       bool terminal)
    : m_table(table)
    , m_programNo(programNo)
    , m_initialTempText(initialTempText)
    , m_terminal(terminal)
{}

void TextTransferWindow::catchInterrupt()
{
    struct sigaction action
    {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read waiting for the answer to the question ends.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

bool TextTransferWindow::interruptRequested() { return interruptFlag != 0; }

void TextTransferWindow::enterTransferState() { setTransferStatus(QStringLiteral("Waiting...")); }

void TextTransferWindow::resetAfterTransfer() { endStatusLine(); }

void TextTransferWindow::stopActivity() { endStatusLine(); }

void TextTransferWindow::startSending() { setTransferStatus(QStringLiteral("Sending...")); }

void TextTransferWindow::setTransferStatus(const QString &text)
{
    if (m_terminal) {
        Console::out(QStringLiteral("\r\033[K") + m_prefix + text);
        m_statusLineOpen = true;
    } else {
        Console::out(m_prefix + text + QLatin1Char('\n'));
    }
}

void TextTransferWindow::segmentSending(int k, int count)
{
    if (!m_terminal)
        return;
    const int filled = count > 0 ? BarWidth * k / count : 0;
    Console::out(QStringLiteral(" [%1%2] %3/%4")
                     .arg(QString(filled, QLatin1Char('#')), QString(BarWidth - filled, QLatin1Char('-')))
                     .arg(k)
                     .arg(count));
}

void TextTransferWindow::endStatusLine()
{
    if (m_statusLineOpen)
        Console::out(QStringLiteral("\r\033[K"));
    m_statusLineOpen = false;
}

void TextTransferWindow::showNote(const QString &note)
{
    endStatusLine();
    Console::out(m_prefix + note + QLatin1Char('\n'));
}
