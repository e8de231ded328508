#pragma once

#include "comm/SerialPlatform.h"

#include <atomic>
#include <mutex>

struct serial_struct;

// SerialPlatform on a POSIX terminal device: termios for the line settings
// (TermiosSettings translates them), poll for waiting, tcflush for purges,
// ioctl for the modem lines and error counters. Two event fds wake a pending
// write (purge) and the event wait (cancel, re-arm after input was taken).
class PosixSerialPlatform : public SerialPlatform {
public:
    PosixSerialPlatform() = default;
    ~PosixSerialPlatform() override;
    PosixSerialPlatform(const PosixSerialPlatform&) = delete;
    PosixSerialPlatform& operator=(const PosixSerialPlatform&) = delete;

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
    QString lineNote() const override;

    // USB serial adapters hold short answers back for their latency timer
    // unless the port asks for low latency: open asks, close puts back the
    // setting found.
    enum class LowLatency {
        NotApplicable,  // the driver has no such setting (a pseudo-terminal)
        AlreadyOn,
        Set,            // open set it; close clears it again
        Refused,        // the driver did not take it: the port works, answers may wait
    };
    LowLatency lowLatency() const { return m_lowLatency; }

protected:
    // The driver's serial settings (TIOCGSERIAL, TIOCSSERIAL); a test's
    // fake device answers in their place.
    virtual bool getSerialInfo(int fd, serial_struct& info);
    virtual bool setSerialInfo(int fd, const serial_struct& info);

private:
    void askLowLatency();
    void restoreLatency();

    struct ErrorCounts {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    };
    bool readCounts(ErrorCounts& counts) const;
    void wakeEventWait();
    static void signal(int eventFd);
    static void drain(int eventFd);

    int m_fd = -1;
    int m_txWake = -1;
    int m_rxWake = -1;

    std::mutex m_mutex;  // guards m_state, m_timeouts and the error baselines
    CommLineSettings m_state;
    CommTimeouts m_timeouts;
    ErrorCounts m_errorBase;  // for clearCommError
    ErrorCounts m_eventBase;  // for the break/error events

    std::atomic<quint32> m_eventMask{0};
    LowLatency m_lowLatency = LowLatency::NotApplicable;
    QString m_device;
    std::atomic<bool> m_cancelWait{false};
    std::atomic<bool> m_rxArmed{true};
    std::atomic<bool> m_hungUp{false};
    std::atomic<quint64> m_txAbort{0};

    // The write under way; touched only by the thread that writes.
    const char* m_wData = nullptr;
    int m_wCount = 0;
    int m_wDone = 0;
    quint64 m_wAbort = 0;
    qint64 m_wDeadline = 0;  // ms on the monotonic clock, 0 = none
};
