#pragma once

#include "comm/SerialPlatform.h"

#include <atomic>
#include <mutex>

#include <poll.h>

namespace PollWait {
// Milliseconds on the monotonic clock.
qint64 nowMs();
// poll, again whenever a signal interrupted it.
int pollRetry(pollfd *fds, nfds_t count, int timeoutMs);
}

// What the terminal and the network layers share: one file descriptor
// waited on with poll; two event fds, one that wakes a pending write (a
// purge), one that wakes the event wait (a cancel, a new mask, input taken);
// the line settings record and time-outs kept for the component; the event
// mask; and the write time-out's deadline.
class PollingSerialPlatform : public SerialPlatform
{
public:
    bool isOpen() const override;
    int handle() const override;
    bool setupComm(int inputQueue, int outputQueue) override;
    bool getCommTimeouts(CommTimeouts &timeouts) override;
    bool setCommTimeouts(const CommTimeouts &timeouts) override;
    bool setCommMask(quint32 mask) override;
    void cancelWaitCommEvent() override;

protected:
    // Makes the two wake-up fds; false, with failure set, when it cannot.
    bool openWakes(OpenFailure &failure);
    void closeWakes();
    // The record and time-outs of a port just opened, no events asked for,
    // no cancel pending, the next arrival news.
    void resetLine();

    // Purging with TxAbort: the pending write ends with a failure.
    void abortWrite();
    // Input was taken or discarded: the next arrival is news again.
    void rearmArrival();
    // Waits for events on fd (-1: the device is left alone) or a wake-up of
    // the event wait; returns what happened on fd.
    short waitDeviceOrWake(int fd, short events);

    // A write of count bytes begins: it notes the purges so far and the
    // deadline the write time-outs give.
    void beginWrite(int count);
    // A purge came since the write began.
    bool writeAborted() const { return m_txAbort != m_wAbort; }
    // True once the write's deadline passed; otherwise timeoutMs is the time
    // left for poll (-1: no deadline).
    bool writeTimedOut(int &timeoutMs) const;
    enum class WriteWait { Writable, NotYet, Failed };
    // Waits until the device takes more, a purge wakes the write, or the
    // time-out passes.
    WriteWait waitWritable(int timeoutMs);

    int m_fd = -1;
    int m_txWake = -1;
    int m_rxWake = -1;

    std::mutex m_stateLock; // m_state, m_timeouts, and what a layer keeps beside them
    CommLineSettings m_state;
    CommTimeouts m_timeouts;

    std::atomic<quint32> m_eventMask{0};
    std::atomic<bool> m_cancelWait{false};
    std::atomic<bool> m_rxArmed{true};
    std::atomic<quint64> m_txAbort{0};

private:
    static void signal(int eventFd);
    static void drain(int eventFd);

    // The write under way; touched by one thread at a time.
    quint64 m_wAbort = 0;
    qint64 m_wDeadline = 0; // ms on the monotonic clock, 0 = none
};
