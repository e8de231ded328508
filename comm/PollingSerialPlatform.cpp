#include "comm/PollingSerialPlatform.h"

#include <cerrno>
#include <chrono>
#include <climits>

#include <sys/eventfd.h>
#include <unistd.h>

namespace PollWait {

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int pollRetry(pollfd *fds, nfds_t count, int timeoutMs)
{
    int r;
    do {
        r = ::poll(fds, count, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r;
}

} // namespace PollWait

using PollWait::nowMs;
using PollWait::pollRetry;

bool PollingSerialPlatform::isOpen() const { return m_fd >= 0; }

int PollingSerialPlatform::handle() const { return m_fd; }

bool PollingSerialPlatform::setupComm(int inputQueue, int outputQueue)
{
    // The system sizes its queues itself; sizes are only checked.
    return m_fd >= 0 && inputQueue > 0 && outputQueue > 0;
}

bool PollingSerialPlatform::getCommTimeouts(CommTimeouts &timeouts)
{
    if (m_fd < 0)
        return false;
    std::lock_guard lock(m_stateLock);
    timeouts = m_timeouts;
    return true;
}

bool PollingSerialPlatform::setCommTimeouts(const CommTimeouts &timeouts)
{
    if (m_fd < 0)
        return false;
    std::lock_guard lock(m_stateLock);
    m_timeouts = timeouts;
    return true;
}

bool PollingSerialPlatform::setCommMask(quint32 mask)
{
    if (m_fd < 0)
        return false;
    m_eventMask = mask;
    signal(m_rxWake);
    return true;
}

void PollingSerialPlatform::cancelWaitCommEvent()
{
    m_cancelWait = true;
    signal(m_rxWake);
}

bool PollingSerialPlatform::openWakes(OpenFailure &failure)
{
    m_txWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_rxWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_txWake < 0 || m_rxWake < 0) {
        failure = {OpenFailure::Step::Setup, errno};
        return false;
    }
    return true;
}

void PollingSerialPlatform::closeWakes()
{
    for (int *fd : {&m_txWake, &m_rxWake}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void PollingSerialPlatform::resetLine()
{
    {
        std::lock_guard lock(m_stateLock);
        m_state = CommLineSettings{};
        m_state.Flags = CommFlag::Binary | CommFlag::DtrEnable | CommFlag::RtsEnable;
        m_timeouts = CommTimeouts{};
    }
    m_eventMask = 0;
    m_cancelWait = false;
    m_rxArmed = true;
}

void PollingSerialPlatform::abortWrite()
{
    ++m_txAbort;
    signal(m_txWake);
}

void PollingSerialPlatform::rearmArrival()
{
    if (!m_rxArmed.exchange(true))
        signal(m_rxWake);
}

short PollingSerialPlatform::waitDeviceOrWake(int fd, short events)
{
    pollfd fds[2] = {{fd, events, 0}, {m_rxWake, POLLIN, 0}};
    if (pollRetry(fds, 2, -1) < 0) {
        fds[0].fd = -1; // cannot watch the device; wait for the wake-up only
        pollRetry(&fds[1], 1, -1);
    }
    if (fds[1].revents)
        drain(m_rxWake);
    return fds[0].revents;
}

void PollingSerialPlatform::beginWrite(int count)
{
    m_wAbort = m_txAbort;
    quint64 total;
    {
        std::lock_guard lock(m_stateLock);
        total = quint64(m_timeouts.WriteTotalTimeoutMultiplier) * quint64(count) + m_timeouts.WriteTotalTimeoutConstant;
    }
    m_wDeadline = total ? nowMs() + qint64(total) : 0;
}

bool PollingSerialPlatform::writeTimedOut(int &timeoutMs) const
{
    timeoutMs = -1;
    if (!m_wDeadline)
        return false;
    const qint64 left = m_wDeadline - nowMs();
    if (left <= 0)
        return true;
    timeoutMs = int(qMin<qint64>(left, INT_MAX));
    return false;
}

PollingSerialPlatform::WriteWait PollingSerialPlatform::waitWritable(int timeoutMs)
{
    pollfd fds[2] = {{m_fd, POLLOUT, 0}, {m_txWake, POLLIN, 0}};
    if (pollRetry(fds, 2, timeoutMs) < 0)
        return WriteWait::Failed;
    if (fds[1].revents)
        drain(m_txWake);
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
        return WriteWait::Failed;
    return (fds[0].revents & POLLOUT) ? WriteWait::Writable : WriteWait::NotYet;
}

void PollingSerialPlatform::signal(int eventFd)
{
    if (eventFd < 0)
        return;
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t n = ::write(eventFd, &one, sizeof one);
}

void PollingSerialPlatform::drain(int eventFd)
{
    quint64 value;
    [[maybe_unused]] const ssize_t n = ::read(eventFd, &value, sizeof value);
}
