#pragma once

// Keeps a test that touches a FIFO from hanging: should the code under test
// still be busy after a generous while (it is then waiting in open() for the
// FIFO's other end), the watchdog opens that other end now and then, which
// lets the open return. The test then asks fired() and fails.

#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

class FifoWatchdog
{
public:
    explicit FifoWatchdog(const QString &fifo, std::chrono::seconds patience = std::chrono::seconds(20))
        : m_fifo(QFile::encodeName(fifo))
        , m_thread([this, patience] { watch(patience); })
    {}

    ~FifoWatchdog() { stop(); }

    FifoWatchdog(const FifoWatchdog &) = delete;
    FifoWatchdog &operator=(const FifoWatchdog &) = delete;

    // Ends the watch; whether the watchdog had to free a blocked open.
    bool fired()
    {
        stop();
        return m_fired;
    }

private:
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    void watch(std::chrono::seconds patience)
    {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, patience, [this] { return m_stopped; }))
            return;
        // Opening for reading and writing never waits, and counts as the
        // other end for a reader and for a writer alike.
        do {
            m_fired = true;
            const int fd = ::open(m_fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        } while (!m_wake.wait_for(lock, std::chrono::milliseconds(200), [this] { return m_stopped; }));
    }

    const QByteArray m_fifo;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = false;
    bool m_fired = false;
    std::thread m_thread; // last: starts once everything above exists
};
