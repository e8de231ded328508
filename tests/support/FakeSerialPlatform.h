#pragma once

#include "comm/SerialPlatform.h"
#include "comm/TermiosSettings.h"

#include <QString>
#include <QStringList>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <vector>

// Records every call the component makes. It takes the line settings the
// Linux layer takes (TermiosSettings::isSupported), writes complete at
// once, and the event wait blocks until cancelled.
class FakeSerialPlatform : public SerialPlatform
{
public:
    bool open(const QString &devicePath, OpenFailure &failure) override
    {
        note("open " + devicePath);
        std::lock_guard lock(m_mutex);
        m_open = openSucceeds;
        m_cancel = false;
        failure = m_open ? OpenFailure{} : OpenFailure{OpenFailure::Step::Open, ENOENT};
        return m_open;
    }
    void close() override
    {
        note("close");
        std::lock_guard lock(m_mutex);
        m_open = false;
    }
    bool isOpen() const override
    {
        std::lock_guard lock(m_mutex);
        return m_open;
    }
    int handle() const override { return isOpen() ? 42 : -1; }

    bool setupComm(int inputQueue, int outputQueue) override
    {
        note(QString("setupComm %1 %2").arg(inputQueue).arg(outputQueue));
        return setupSucceeds;
    }
    bool purgeComm(quint32 flags) override
    {
        note(QString("purge %1").arg(flags));
        return true;
    }
    bool getCommState(CommLineSettings &settings) override
    {
        note("getCommState");
        std::lock_guard lock(m_mutex);
        settings = m_state;
        return true;
    }
    bool setCommState(const CommLineSettings &settings) override
    {
        note("setCommState");
        std::lock_guard lock(m_mutex);
        m_stateCalls.push_back(settings);
        if (!TermiosSettings::isSupported(settings))
            return false;
        m_state = settings;
        return true;
    }
    bool getCommTimeouts(CommTimeouts &timeouts) override
    {
        note("getCommTimeouts");
        std::lock_guard lock(m_mutex);
        timeouts = m_timeouts;
        return true;
    }
    bool setCommTimeouts(const CommTimeouts &timeouts) override
    {
        note("setCommTimeouts");
        std::lock_guard lock(m_mutex);
        m_timeouts = timeouts;
        return true;
    }
    bool setCommMask(quint32 mask) override
    {
        note(QString("setCommMask %1").arg(mask));
        return true;
    }
    quint32 waitCommEvent() override
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_cancel; });
        m_cancel = false;
        return 0;
    }
    void cancelWaitCommEvent() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_cancel = true;
        }
        m_wake.notify_all();
    }
    WriteStart startWrite(const char *, int count, int &written) override
    {
        note(QString("write %1").arg(count));
        written = count;
        return WriteStart::Done;
    }
    bool finishWrite(int &written) override
    {
        written = 0;
        return true;
    }
    int readAvailable(char *, int) override { return 0; }
    void waitReadable(int) override {}
    int inputQueueBytes() override { return 0; }
    quint32 clearCommError() override { return 0; }
    bool escapeCommFunction(CommEscape function) override
    {
        static const char *const names[] = {"SetRts", "ClrRts", "SetDtr", "ClrDtr"};
        note(QString("escape ") + names[int(function) - 3]);
        return false; // like a pseudo-terminal: no modem lines
    }

    QStringList calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    void clearCalls()
    {
        std::lock_guard lock(m_mutex);
        m_calls.clear();
        m_stateCalls.clear();
    }
    std::vector<CommLineSettings> stateCalls() const
    {
        std::lock_guard lock(m_mutex);
        return m_stateCalls;
    }
    CommLineSettings state() const
    {
        std::lock_guard lock(m_mutex);
        return m_state;
    }
    CommTimeouts timeouts() const
    {
        std::lock_guard lock(m_mutex);
        return m_timeouts;
    }

    bool openSucceeds = true;
    bool setupSucceeds = true;

private:
    void note(const QString &call)
    {
        std::lock_guard lock(m_mutex);
        m_calls.append(call);
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_open = false;
    bool m_cancel = false;
    QStringList m_calls;
    std::vector<CommLineSettings> m_stateCalls;
    CommLineSettings m_state;
    CommTimeouts m_timeouts;
};
