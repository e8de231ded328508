#pragma once

#include "comm/NetworkAddress.h"
#include "comm/PollingSerialPlatform.h"
#include "comm/TelnetComPort.h"

#include <QByteArray>

#include <atomic>
#include <mutex>

// SerialPlatform on a TCP connection to a serial device server, for the
// device paths "socket://HOST:PORT" (raw bytes) and "rfc2217://HOST:PORT"
// (Telnet with the COM-port option: the line settings, purges and modem
// lines travel to the server's own serial port, each setting checked by
// the server's answer). Connecting is bounded; the connection has no
// Nagle delay and keep-alive probes, so a server that goes away ends the
// line within seconds (readAvailable then returns -1) instead of never.
class NetworkSerialPlatform : public PollingSerialPlatform
{
public:
    struct Limits
    {
        int connectMs = 5000; // name look-up aside: connecting and the option's negotiation
        int replyMs = 3000;   // the server's answer to one line setting
    };
    explicit NetworkSerialPlatform(Limits limits);
    NetworkSerialPlatform() : NetworkSerialPlatform(Limits{}) {}
    ~NetworkSerialPlatform() override;
    NetworkSerialPlatform(const NetworkSerialPlatform &) = delete;
    NetworkSerialPlatform &operator=(const NetworkSerialPlatform &) = delete;

    bool open(const QString &devicePath, OpenFailure &failure) override;
    void close() override;

    bool purgeComm(quint32 flags) override;
    bool getCommState(CommLineSettings &settings) override;
    bool setCommState(const CommLineSettings &settings) override;

    quint32 waitCommEvent() override;

    WriteStart startWrite(const char *data, int count, int &written) override;
    bool finishWrite(int &written) override;

    int readAvailable(char *buffer, int maxCount) override;
    void waitReadable(int timeoutMs) override;
    int inputQueueBytes() override;

    quint32 clearCommError() override;
    bool escapeCommFunction(CommEscape function) override;
    QString settingsFailure() const override;

private:
    bool connectTo(const NetworkAddress &address, OpenFailure &failure);
    bool negotiate(OpenFailure &failure);
    // Reads what the socket holds into the input (m_inLock held); false
    // once the connection is gone.
    bool pump();
    bool sendControl(const QByteArray &bytes);
    bool askServer(quint8 command, const QByteArray &value);
    int sendSome(const char *data, int count);
    void advanceWrite(int sent);
    bool rfc2217() const { return m_kind == NetworkAddress::Kind::Rfc2217; }

    const Limits m_limits;
    NetworkAddress::Kind m_kind = NetworkAddress::Kind::Raw;

    std::mutex m_inLock; // reading the socket: m_input, m_heard, m_telnet's decoding side, m_peerGone
    QByteArray m_input;
    static constexpr qsizetype HeardBytes = 120;
    QByteArray m_heard;        // the last HeardBytes of data received
    QString m_settingsFailure; // written and read on the opening thread only
    TelnetComPort m_telnet;
    bool m_peerGone = false;
    bool m_awaitReplies = false;
    QList<TelnetComPort::Reply> m_replies;

    std::mutex m_sendLock; // writing the socket: the write under way and control messages
    QByteArray m_wBuf;     // the chunk as it goes on the wire (0xFF doubled)
    int m_wSent = 0;
    int m_wRawDone = 0;
    bool m_wMidPair = false; // the first 0xFF of a doubled pair went, the second not yet
    int m_wRawCount = 0;

    std::atomic<bool> m_watchEnded{false};
};
