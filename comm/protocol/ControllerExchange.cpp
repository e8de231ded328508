#include "comm/protocol/ControllerExchange.h"

#include "comm/protocol/CommError.h"
#include "comm/protocol/ExchangePort.h"
#include "comm/protocol/FrameBytes.h"

#include <exception>

using FrameBytes::ETX;
using FrameBytes::STX;

ControllerExchange::ControllerExchange(ExchangePort &port) : m_port(port) {}

QByteArray ControllerExchange::checkByteOf(const QByteArray &text)
{
    char bcc = 0;
    for (char c : text)
        bcc = static_cast<char>(bcc ^ c);
    return QByteArray(1, bcc);
}

qint32 ControllerExchange::hexValue(const QByteArray &text)
{
    quint32 value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        if (value > 0x0FFFFFFFu)
            break;
        value = (value << 4) | static_cast<quint32>(digit);
    }
    return static_cast<qint32>(value);
}

QByteArray ControllerExchange::headerForUnit(int unit)
{
    return QByteArray::number(unit).rightJustified(2, '0') + "000";
}

QByteArray ControllerExchange::buildFrame(const QByteArray &header, const QByteArray &command)
{
    const QByteArray checked = header + command + ETX;
    return STX + checked + checkByteOf(checked);
}

void ControllerExchange::exchange(const QByteArray &command)
{
    commandText = command;
    checkByte = checkByteOf(commandHeader + commandText + ETX);
    frameText = STX + commandHeader + commandText + ETX + checkByte;
    sendFrame();
    receiveAnswer();
}

void ControllerExchange::closeAndThrow(const QString &message)
{
    try {
        m_port.Close();
    } catch (const std::exception &) {
        // The port is being given up anyway; the original failure is what matters.
    }
    throw CommError(message);
}

void ControllerExchange::sendFrame()
{
    try {
        m_port.PurgeTrans();
        m_port.WriteString(frameText);
    } catch (const std::exception &) {
        closeAndThrow(QStringLiteral("通信ポートエラー"));
    }
}

void ControllerExchange::receiveAnswer()
{
    m_lastAnswered = false;
    char buffer[ReceiveBufferSize];
    try {
        m_port.PurgeReceive();
        receivedCount = m_port.ReadAnswer(buffer, ReceiveBufferSize, FrameBytes::answerComplete);
        m_port.PurgeReceive();
    } catch (const std::exception &) {
        closeAndThrow(QStringLiteral("Comm.port error"));
    }
    if (receivedCount > 0) {
        receivedText = QByteArray(buffer, qMin(receivedCount, ReceiveBufferSize));
        m_lastAnswered = true;
    } else {
        noReply = true;
    }
}

QByteArray ControllerExchange::responseCode() const { return receivedText.mid(11, 4); }

QByteArray ControllerExchange::statusValue() const { return receivedText.mid(15, 4); }

bool ControllerExchange::lastAnswerWellFormed() const
{
    if (!m_lastAnswered)
        return false;
    // STX, node and sub-address (4), end code (2), request code (4), response
    // code (4), data, ETX, check byte.
    constexpr qsizetype RequestCodeAt = 7;
    constexpr qsizetype DataAt = 15;
    const QByteArray &text = receivedText;
    const qsizetype etx = text.indexOf(ETX, 1);
    // A second STX starts another frame: what came before it was cut off.
    // The check byte may be any byte, STX included.
    const qsizetype secondStx = text.indexOf(STX, 1);
    constexpr qsizetype NodeAt = 1;
    return text.startsWith(STX) && etx >= DataAt && etx == text.size() - 2 && (secondStx < 0 || secondStx > etx)
        && text.mid(NodeAt, 2) == commandHeader.left(2) && checkByteOf(text.mid(1, etx)).at(0) == text.back()
        && text.mid(RequestCodeAt, 4) == commandText.left(4);
}

bool ControllerExchange::lastCommandAccepted() const
{
    return lastAnswerWellFormed() && responseCode() == AcceptedCode;
}
