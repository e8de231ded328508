#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class ExchangePort;

// One command frame out, one answer in. Holds the state of the current exchange
// for the caller, who judges the answer by its response code and status value.
class ControllerExchange
{
public:
    static constexpr int ReceiveBufferSize = 128;
    static constexpr const char *DefaultHeader = "01000";
    static constexpr const char *AcceptedCode = "0000";

    explicit ControllerExchange(ExchangePort &port);

    // Exchange state of the current (or last) exchange. The window's download
    // knew these as CommandHeader, CommandText, BccChar, FrameText,
    // ReceiveCount, ReceiveText and NoReply.
    QByteArray commandHeader = DefaultHeader;
    QByteArray commandText;
    QByteArray checkByte;
    QByteArray frameText;
    qint32 receivedCount = 0;
    QByteArray receivedText;
    bool noReply = false; // set by receiveAnswer when nothing arrived; only the caller clears it

    // Exclusive-or of every byte of text, as a one-byte text (CalcBCC).
    static QByteArray checkByteOf(const QByteArray &text);
    // Value of the leading hexadecimal digits; stops at the first other character or
    // at a digit that would no longer fit in 32 bits. "" gives 0, "FFFFFFFF" gives -1.
    static qint32 hexValue(const QByteArray &text);
    // The header that addresses node `unit` (0 to 99): "01000" for unit 1.
    static QByteArray headerForUnit(int unit);
    // STX + header + command + ETX + check byte (over header, command and ETX).
    static QByteArray buildFrame(const QByteArray &header, const QByteArray &command);

    // Frames the command, sends it and receives the answer. Throws CommError when the
    // port fails (the port is then closed).
    void exchange(const QByteArray &command);
    void sendFrame();
    void receiveAnswer();

    // True when the last receiveAnswer got at least one byte; a stale receivedText from an
    // earlier exchange never makes this true.
    bool lastExchangeAnswered() const { return m_lastAnswered; }
    // Characters 12..15 (counted from 1) of receivedText; shorter when the answer is short.
    QByteArray responseCode() const;
    // Characters 16..19 of receivedText; shorter when the answer is short.
    QByteArray statusValue() const;
    // The last exchange got one whole answer frame to this command: STX first
    // and nowhere else before the check byte, the header (from the node addressed), the echo of the command's request
    // code (its first four characters) and the response code, then ETX and a check byte that matches, and nothing after
    // it. Anything else is noise on the line.
    bool lastAnswerWellFormed() const;
    // The last exchange got a well-formed answer whose response code is "0000".
    bool lastCommandAccepted() const;

private:
    ExchangePort &m_port;
    bool m_lastAnswered = false;

    [[noreturn]] void closeAndThrow(const QString &message);
};
