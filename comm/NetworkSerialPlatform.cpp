#include "comm/NetworkSerialPlatform.h"

#include <algorithm>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using PollWait::nowMs;
using PollWait::pollRetry;

int msLeft(qint64 deadline) { return int(std::clamp<qint64>(deadline - nowMs(), 0, INT_MAX)); }

// Keep-alive probes after 2 s of silence, 1 s apart, 3 of them; data not
// acknowledged for 5 s ends the connection too. A dead server or a pulled
// cable then ends the line in well under 10 s.
void tuneSocket(int fd)
{
    const int one = 1, idle = 2, interval = 1, count = 3;
    const unsigned userTimeout = 5000;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout);
}

} // namespace

NetworkSerialPlatform::NetworkSerialPlatform(Limits limits) : m_limits(limits) {}

NetworkSerialPlatform::~NetworkSerialPlatform() { close(); }

bool NetworkSerialPlatform::open(const QString &devicePath, OpenFailure &failure)
{
    failure = {};
    if (m_fd >= 0)
        return false;
    const std::optional<NetworkAddress> address = NetworkAddress::parse(devicePath);
    if (!address) {
        failure = {OpenFailure::Step::NoDevice, 0};
        return false;
    }
    m_kind = address->kind;
    m_settingsFailure.clear();
    {
        std::lock_guard lock(m_inLock);
        m_input.clear();
        m_heard.clear();
        m_telnet = TelnetComPort{};
        m_peerGone = false;
        m_awaitReplies = false;
        m_replies.clear();
    }
    if (!connectTo(*address, failure))
        return false;
    if (!openWakes(failure)) {
        close();
        return false;
    }
    resetLine();
    m_watchEnded = false;
    if (rfc2217() && !negotiate(failure)) {
        close();
        return false;
    }
    return true;
}

bool NetworkSerialPlatform::connectTo(const NetworkAddress &address, OpenFailure &failure)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const QByteArray host = address.host.toUtf8();
    const QByteArray port = QByteArray::number(address.port);
    const int looked = ::getaddrinfo(host.constData(), port.constData(), &hints, &found);
    if (looked != 0) {
        failure = {OpenFailure::Step::NameNotFound, looked == EAI_SYSTEM ? errno : 0};
        return false;
    }
    const qint64 deadline = nowMs() + m_limits.connectMs;
    int lastError = ETIMEDOUT;
    for (addrinfo *ai = found; ai && m_fd < 0; ai = ai->ai_next) {
        const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        int error = 0;
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                const int r = pollRetry(&p, 1, msLeft(deadline));
                socklen_t len = sizeof error;
                if (r == 0)
                    error = ETIMEDOUT;
                else if (r < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0)
                    error = errno;
            }
        }
        if (error == 0) {
            tuneSocket(fd);
            m_fd = fd;
        } else {
            lastError = error;
            ::close(fd);
        }
        if (nowMs() >= deadline)
            break;
    }
    ::freeaddrinfo(found);
    if (m_fd < 0) {
        failure = {OpenFailure::Step::Connect, lastError};
        return false;
    }
    return true;
}

// Binary both ways and the COM-port option, before anything else is sent.
bool NetworkSerialPlatform::negotiate(OpenFailure &failure)
{
    QByteArray hello;
    {
        std::lock_guard lock(m_inLock);
        hello = m_telnet.opening();
    }
    if (!sendControl(hello)) {
        failure = {OpenFailure::Step::Protocol, ECONNRESET}; // closed as soon as it was reached
        return false;
    }
    const qint64 deadline = nowMs() + m_limits.connectMs;
    for (;;) {
        {
            std::lock_guard lock(m_inLock);
            const bool alive = pump();
            if (m_telnet.comPortAccepted())
                return true;
            if (m_telnet.comPortRefused() || !alive) {
                failure = {OpenFailure::Step::Protocol, alive ? 0 : ECONNRESET};
                return false;
            }
        }
        const int left = msLeft(deadline);
        if (left == 0) {
            failure = {OpenFailure::Step::Protocol, ETIMEDOUT};
            return false;
        }
        pollfd p{m_fd, POLLIN, 0};
        pollRetry(&p, 1, left);
    }
}

void NetworkSerialPlatform::close()
{
    if (m_fd >= 0) {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_fd = -1;
    }
    closeWakes();
}

bool NetworkSerialPlatform::pump()
{
    char chunk[4096];
    for (;;) {
        if (m_peerGone)
            return false;
        const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            // Acknowledge at once: a server that holds its next small
            // segment until the last one is acknowledged (Nagle) would
            // otherwise wait for the delayed acknowledgement, every answer.
            const int one = 1;
            ::setsockopt(m_fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
            const qsizetype before = m_input.size();
            if (rfc2217()) {
                m_telnet.feed(chunk, int(n), m_input);
                const QList<TelnetComPort::Reply> replies = m_telnet.takeReplies();
                if (m_awaitReplies)
                    m_replies.append(replies);
                const QByteArray answer = m_telnet.takeOutgoing();
                if (!answer.isEmpty())
                    sendControl(answer);
            } else {
                m_input.append(chunk, int(n));
            }
            // The last words the server said, for when it hangs up while
            // the port is being set up (the input is purged by then).
            m_heard = (m_heard + m_input.mid(before)).right(HeardBytes);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return true;
        m_peerGone = true; // closed by the server, reset, or timed out
        return false;
    }
}

bool NetworkSerialPlatform::sendControl(const QByteArray &bytes)
{
    std::lock_guard lock(m_sendLock);
    // A data write stopped between the two bytes of a doubled 0xFF: its
    // second byte goes first, or the server would read a command.
    if (m_wMidPair && sendSome(m_wBuf.constData() + m_wSent, 1) == 1)
        advanceWrite(1);
    const qint64 deadline = nowMs() + 1000;
    int done = 0;
    while (done < bytes.size()) {
        const int n = sendSome(bytes.constData() + done, int(bytes.size()) - done);
        if (n < 0)
            return false;
        done += n;
        if (done < bytes.size()) {
            if (msLeft(deadline) == 0)
                return false;
            pollfd p{m_fd, POLLOUT, 0};
            pollRetry(&p, 1, msLeft(deadline));
        }
    }
    return true;
}

int NetworkSerialPlatform::sendSome(const char *data, int count)
{
    if (m_fd < 0)
        return -1;
    const ssize_t n = ::send(m_fd, data, size_t(count), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n >= 0)
        return int(n);
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
}

// Sends one COM-port command and waits for the server's answer to it; true
// when the server now uses the value asked for.
bool NetworkSerialPlatform::askServer(quint8 command, const QByteArray &value)
{
    {
        std::lock_guard lock(m_inLock);
        m_awaitReplies = true;
        m_replies.clear();
    }
    bool took = false;
    bool answered = false;
    if (sendControl(TelnetComPort::command(command, value))) {
        const qint64 deadline = nowMs() + m_limits.replyMs;
        while (!answered) {
            {
                std::lock_guard lock(m_inLock);
                const bool alive = pump();
                for (const TelnetComPort::Reply &r : std::as_const(m_replies)) {
                    if (r.command == command + ComPortCommand::ServerOffset) {
                        answered = true;
                        took = r.value == value;
                    }
                }
                m_replies.clear();
                if (!alive)
                    break;
            }
            if (answered || msLeft(deadline) == 0)
                break;
            pollfd p{m_fd, POLLIN, 0};
            pollRetry(&p, 1, msLeft(deadline));
        }
    }
    std::lock_guard lock(m_inLock);
    m_awaitReplies = false;
    m_replies.clear();
    if (!answered) {
        // Not a refusal: say what happened instead. A server that cannot
        // open its own serial device (ser2net) says so in a line of text
        // before it closes the connection.
        // Printable characters only, and none that a message box could take
        // for markup: the words come from the far end of a network.
        QString said;
        for (const char c : std::as_const(m_heard))
            said += c >= 0x20 && c < 0x7f && c != '<' && c != '>' && c != '&' ? QChar::fromLatin1(c) : QChar(u' ');
        said = said.simplified();
        m_settingsFailure = m_peerGone ? QStringLiteral("the server closed the connection")
                                       : QStringLiteral("the server did not answer");
        if (m_peerGone && !said.isEmpty())
            m_settingsFailure += QStringLiteral(" (\"%1\")").arg(said);
    }
    return took;
}

QString NetworkSerialPlatform::settingsFailure() const { return m_settingsFailure; }

bool NetworkSerialPlatform::purgeComm(quint32 flags)
{
    if (m_fd < 0)
        return false;
    if (flags & CommPurge::TxAbort)
        abortWrite();
    if ((flags & CommPurge::TxClear) && rfc2217())
        sendControl(
            TelnetComPort::command(ComPortCommand::PurgeData, QByteArray(1, char(ComPortCommand::PurgeTransmit))));
    if (flags & CommPurge::RxClear) {
        {
            std::lock_guard lock(m_inLock);
            pump();
            m_input.clear();
        }
        if (rfc2217())
            sendControl(
                TelnetComPort::command(ComPortCommand::PurgeData, QByteArray(1, char(ComPortCommand::PurgeReceive))));
        rearmArrival();
    }
    return true;
}

bool NetworkSerialPlatform::getCommState(CommLineSettings &settings)
{
    if (m_fd < 0)
        return false;
    std::lock_guard lock(m_stateLock);
    settings = m_state;
    return true;
}

// On a raw connection the server's own configuration holds the line
// settings, and any record is taken. Over RFC 2217 each setting that
// changed goes to the server, which must answer with the same value.
bool NetworkSerialPlatform::setCommState(const CommLineSettings &s)
{
    if (m_fd < 0)
        return false;
    if (rfc2217()) {
        CommLineSettings was;
        {
            std::lock_guard lock(m_stateLock);
            was = m_state;
        }
        const quint8 parity = TelnetComPort::parityCode(s.Parity);
        const quint8 stop = TelnetComPort::stopSizeCode(s.StopBits);
        if (s.ByteSize < 5 || s.ByteSize > 8 || !parity || !stop || s.BaudRate == 0)
            return false;
        using namespace ComPortCommand;
        if (s.BaudRate != was.BaudRate && !askServer(SetBaudRate, TelnetComPort::baudRateValue(s.BaudRate)))
            return false;
        if (s.ByteSize != was.ByteSize && !askServer(SetDataSize, QByteArray(1, char(s.ByteSize))))
            return false;
        if (s.Parity != was.Parity && !askServer(SetParity, QByteArray(1, char(parity))))
            return false;
        if (s.StopBits != was.StopBits && !askServer(SetStopSize, QByteArray(1, char(stop))))
            return false;
        const auto flowOf = [](quint32 flags) {
            if (flags & (CommFlag::OutX | CommFlag::InX))
                return FlowXonXoff;
            if ((flags & CommFlag::OutxCtsFlow) || (flags & CommFlag::RtsControlMask) == CommFlag::RtsHandshake)
                return FlowHardware;
            return FlowNone;
        };
        if (flowOf(s.Flags) != flowOf(was.Flags) && !askServer(SetControl, QByteArray(1, char(flowOf(s.Flags)))))
            return false;
    }
    std::lock_guard lock(m_stateLock);
    m_state = s;
    return true;
}

quint32 NetworkSerialPlatform::waitCommEvent()
{
    for (;;) {
        if (m_cancelWait.exchange(false) || m_fd < 0)
            return 0;
        const quint32 mask = m_eventMask;
        // Level-triggered like the terminal layer: after an arrival was
        // reported only the end of the connection is watched for, until
        // the input was read. Once it ended, the socket is left alone.
        const short revents =
            waitDeviceOrWake(m_watchEnded ? -1 : m_fd, POLLRDHUP | (m_rxArmed && mask != 0 ? POLLIN : 0));
        if (revents & (POLLHUP | POLLERR | POLLNVAL | POLLRDHUP)) {
            m_watchEnded = true;
            quint32 events = mask & CommEvent::Err;
            if (m_rxArmed.exchange(false))
                events |= mask & CommEvent::RxChar; // what came before the end is still there to read
            if (events)
                return events;
            continue;
        }
        if (!(revents & POLLIN))
            continue;
        m_rxArmed = false;
        if (const quint32 events = mask & CommEvent::RxChar)
            return events;
    }
}

WriteStart NetworkSerialPlatform::startWrite(const char *data, int count, int &written)
{
    written = 0;
    if (m_fd < 0 || count < 0)
        return WriteStart::Failed;
    std::unique_lock lock(m_sendLock);
    beginWrite(count);
    m_wBuf = rfc2217() ? TelnetComPort::escape(data, count) : QByteArray(data, count);
    m_wSent = 0;
    m_wRawDone = 0;
    m_wMidPair = false;
    m_wRawCount = count;
    if (count == 0)
        return WriteStart::Done;
    const int n = sendSome(m_wBuf.constData(), int(m_wBuf.size()));
    if (n < 0)
        return WriteStart::Failed;
    advanceWrite(n);
    written = m_wRawDone;
    return m_wSent == m_wBuf.size() ? WriteStart::Done : WriteStart::Pending;
}

// Counts the data bytes that are wholly on the wire (m_sendLock held).
void NetworkSerialPlatform::advanceWrite(int sent)
{
    const bool escaped = rfc2217();
    for (int i = 0; i < sent; ++i) {
        const bool iac = quint8(m_wBuf[m_wSent + i]) == Telnet::IAC;
        if (escaped && iac && !m_wMidPair) {
            m_wMidPair = true;
            continue;
        }
        m_wMidPair = false;
        ++m_wRawDone;
    }
    m_wSent += sent;
}

bool NetworkSerialPlatform::finishWrite(int &written)
{
    for (;;) {
        int timeout;
        {
            std::lock_guard lock(m_sendLock);
            written = m_wRawDone;
            if (m_fd < 0 || writeAborted())
                return false;
            if (m_wSent == m_wBuf.size())
                return true;
            if (writeTimedOut(timeout))
                return true; // the write time-out ends the write with what went out
        }
        const WriteWait wait = waitWritable(timeout);
        if (wait == WriteWait::Failed)
            return false;
        if (wait == WriteWait::Writable) {
            std::lock_guard lock(m_sendLock);
            if (writeAborted())
                return false;
            const int n = sendSome(m_wBuf.constData() + m_wSent, int(m_wBuf.size()) - m_wSent);
            if (n < 0)
                return false;
            advanceWrite(n);
        }
    }
}

int NetworkSerialPlatform::readAvailable(char *buffer, int maxCount)
{
    if (m_fd < 0 || maxCount < 0)
        return -1;
    std::lock_guard lock(m_inLock);
    const bool alive = pump();
    if (m_input.isEmpty())
        return alive ? 0 : -1; // the server closed the connection, or it broke
    const int n = int(qMin<qsizetype>(maxCount, m_input.size()));
    std::copy_n(m_input.constData(), n, buffer);
    m_input.remove(0, n);
    if (n > 0)
        rearmArrival();
    return n;
}

void NetworkSerialPlatform::waitReadable(int timeoutMs)
{
    if (m_fd < 0)
        return;
    {
        std::lock_guard lock(m_inLock);
        if (!m_input.isEmpty() || m_peerGone)
            return;
    }
    pollfd p{m_fd, POLLIN, 0};
    pollRetry(&p, 1, timeoutMs);
}

int NetworkSerialPlatform::inputQueueBytes()
{
    if (m_fd < 0)
        return 0;
    std::lock_guard lock(m_inLock);
    pump();
    return int(qMin<qsizetype>(m_input.size(), INT_MAX));
}

quint32 NetworkSerialPlatform::clearCommError()
{
    return 0; // the server keeps the line's errors to itself
}

// Sent without waiting for an answer: a server whose port has no modem
// lines (a pseudo-terminal) does not answer, and the line works all the same.
bool NetworkSerialPlatform::escapeCommFunction(CommEscape function)
{
    if (m_fd < 0 || !rfc2217())
        return false;
    using namespace ComPortCommand;
    quint8 value = 0;
    switch (function) {
    case CommEscape::SetRts:
        value = RtsOn;
        break;
    case CommEscape::ClrRts:
        value = RtsOff;
        break;
    case CommEscape::SetDtr:
        value = DtrOn;
        break;
    case CommEscape::ClrDtr:
        value = DtrOff;
        break;
    }
    return sendControl(TelnetComPort::command(SetControl, QByteArray(1, char(value))));
}
