#pragma once

#include "comm/PollingSerialPlatform.h"

#include <atomic>

struct serial_struct;

// SerialPlatform on a POSIX terminal device: termios for the line settings
// (TermiosSettings translates them), poll for waiting, tcflush for purges,
// ioctl for the modem lines and error counters. Two event fds wake a pending
// write (purge) and the event wait (cancel, re-arm after input was taken).
class PosixSerialPlatform : public PollingSerialPlatform
{
public:
    PosixSerialPlatform() = default;
    ~PosixSerialPlatform() override;
    PosixSerialPlatform(const PosixSerialPlatform &) = delete;
    PosixSerialPlatform &operator=(const PosixSerialPlatform &) = delete;

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
    QString lineNote() const override;

    // USB serial adapters hold short answers back for their latency timer
    // unless the port asks for low latency: open asks, close puts back the
    // setting found.
    enum class LowLatency {
        NotApplicable, // the driver has no such setting (a pseudo-terminal)
        AlreadyOn,
        Set,     // open set it; close clears it again
        Refused, // the driver did not take it: the port works, answers may wait
    };
    LowLatency lowLatency() const { return m_lowLatency; }

protected:
    // The driver's serial settings (TIOCGSERIAL, TIOCSSERIAL); a test's
    // fake device answers in their place.
    virtual bool getSerialInfo(int fd, serial_struct &info);
    virtual bool setSerialInfo(int fd, const serial_struct &info);

private:
    // Opens the device exclusively, as a raw terminal; -1, with failure
    // set, when it cannot.
    static int openRawTerminal(const QString &devicePath, OpenFailure &failure);
    void askLowLatency();
    void restoreLatency();

    struct ErrorCounts
    {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    };
    bool readCounts(ErrorCounts &counts) const;

    // Guarded by m_stateLock.
    ErrorCounts m_errorBase; // for clearCommError
    ErrorCounts m_eventBase; // for the break/error events

    LowLatency m_lowLatency = LowLatency::NotApplicable;
    QString m_device;
    std::atomic<bool> m_hungUp{false};

    // The write under way; touched only by the thread that writes.
    const char *m_wData = nullptr;
    int m_wCount = 0;
    int m_wDone = 0;
};
