#pragma once

#include "comm/NetworkAddress.h"
#include "comm/SerialPlatform.h"
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
class NetworkSerialPlatform : public SerialPlatform {
public:
    struct Limits {
        int connectMs = 5000;  // name look-up aside: connecting and the option's negotiation
        int replyMs = 3000;    // the server's answer to one line setting
    };
    explicit NetworkSerialPlatform(Limits limits);
    NetworkSerialPlatform() : NetworkSerialPlatform(Limits{}) {}
    ~NetworkSerialPlatform() override;
    NetworkSerialPlatform(const NetworkSerialPlatform&) = delete;
    NetworkSerialPlatform& operator=(const NetworkSerialPlatform&) = delete;

    bool open(const QString& devicePath, OpenFailure& failure) override;
    void close() override;
    bool isOpen() const override;
    int handle() const override;

    bool setupComm(int inputQueue, int outputQueue) override;
    bool purgeComm(quint32 flags) override;
    bool getCommState(CommLineSettings& settings) override;
    bool setCommState(const CommLineSettings& settings) override;
    bool getCommTimeouts(CommTimeouts& timeouts) override;
    bool setCommTimeouts(const CommTimeouts& timeouts) override;

    bool setCommMask(quint32 mask) override;
    quint32 waitCommEvent() override;
    void cancelWaitCommEvent() override;

    WriteStart startWrite(const char* data, int count, int& written) override;
    bool finishWrite(int& written) override;

    int readAvailable(char* buffer, int maxCount) override;
    void waitReadable(int timeoutMs) override;
    int inputQueueBytes() override;

    quint32 clearCommError() override;
    bool escapeCommFunction(CommEscape function) override;
    QString settingsFailure() const override;

private:
    bool connectTo(const NetworkAddress& address, OpenFailure& failure);
    bool negotiate(OpenFailure& failure);
    // Reads what the socket holds into the input (m_inLock held); false
    // once the connection is gone.
    bool pump();
    bool sendControl(const QByteArray& bytes);
    bool askServer(quint8 command, const QByteArray& value);
    int sendSome(const char* data, int count);
    void advanceWrite(int sent);
    bool rfc2217() const { return m_kind == NetworkAddress::Kind::Rfc2217; }
    static void signal(int eventFd);
    static void drain(int eventFd);

    const Limits m_limits;
    NetworkAddress::Kind m_kind = NetworkAddress::Kind::Raw;
    int m_fd = -1;
    int m_txWake = -1;
    int m_rxWake = -1;

    std::mutex m_stateLock;  // m_state, m_timeouts
    CommLineSettings m_state;
    CommTimeouts m_timeouts;

    std::mutex m_inLock;  // reading the socket: m_input, m_heard, m_telnet's decoding side, m_peerGone
    QByteArray m_input;
    static constexpr qsizetype HeardBytes = 120;
    QByteArray m_heard;  // the last HeardBytes of data received
    QString m_settingsFailure;  // written and read on the opening thread only
    TelnetComPort m_telnet;
    bool m_peerGone = false;
    bool m_awaitReplies = false;
    QList<TelnetComPort::Reply> m_replies;

    std::mutex m_sendLock;  // writing the socket: the write under way and control messages
    QByteArray m_wBuf;      // the chunk as it goes on the wire (0xFF doubled)
    int m_wSent = 0;
    int m_wRawDone = 0;
    bool m_wMidPair = false;  // the first 0xFF of a doubled pair went, the second not yet
    int m_wRawCount = 0;
    quint64 m_wAbort = 0;
    qint64 m_wDeadline = 0;

    std::atomic<quint32> m_eventMask{0};
    std::atomic<bool> m_cancelWait{false};
    std::atomic<bool> m_rxArmed{true};
    std::atomic<bool> m_watchEnded{false};
    std::atomic<quint64> m_txAbort{0};
};
