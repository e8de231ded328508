#include "comm/CommThreads.h"

#include "comm/CommX.h"

#include <QSocketNotifier>

#include <chrono>
#include <future>

#include <sys/eventfd.h>
#include <unistd.h>

void sleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace {

// Starts body on a thread and returns once it runs, so that a caller never
// waits on a thread that has not started yet.
template<typename Body> std::thread startRunning(Body body)
{
    std::promise<void> running;
    std::future<void> started = running.get_future();
    std::thread thread([&running, body] {
        running.set_value();
        body();
    });
    started.wait();
    return thread;
}

} // namespace

CommNotifier::CommNotifier(Handler handler)
    : m_handler(std::move(handler))
    , m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { deliver(); });
}

CommNotifier::~CommNotifier()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

void CommNotifier::post(int message, quint32 param)
{
    {
        std::lock_guard lock(m_lock);
        m_queue.emplace_back(message, param);
    }
    if (m_fd >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_fd, &one, sizeof one);
    }
}

void CommNotifier::clear()
{
    std::lock_guard lock(m_lock);
    m_queue.clear();
}

void CommNotifier::deliver()
{
    quint64 value;
    [[maybe_unused]] const ssize_t n = ::read(m_fd, &value, sizeof value);
    std::vector<std::pair<int, quint32>> batch;
    {
        std::lock_guard lock(m_lock);
        batch.swap(m_queue);
    }
    for (const auto &[message, param] : batch)
        m_handler(message, param);
}

TCommTransThread::TCommTransThread(SerialPlatform &port, std::mutex &writeLock,
                                   const std::atomic<TCommFlowCtrls> &flowCtrl,
                                   std::function<void(int length)> chunkFinished, CommNotifier *notify)
    : FPort(port)
    , FWriteLock(writeLock)
    , FFlowCtrl(flowCtrl)
    , FChunkFinished(std::move(chunkFinished))
    , FNotify(notify)
{}

TCommTransThread::~TCommTransThread()
{
    Terminate();
    Join();
}

void TCommTransThread::Start()
{
    FThread = startRunning([this] { Execute(); });
}

void TCommTransThread::Post(TransMessage message)
{
    {
        std::lock_guard lock(FQueueLock);
        FQueue.push_back(std::move(message));
    }
    FQueueWake.notify_one();
}

void TCommTransThread::Terminate()
{
    FTerminated = true;
    Post(TransMessage{});
}

void TCommTransThread::Join()
{
    if (FThread.joinable())
        FThread.join();
}

void TCommTransThread::Execute()
{
    while (!FTerminated) {
        bool burst = false;
        {
            std::unique_lock lock(FQueueLock);
            FQueueWake.wait(lock, [this] { return !FQueue.empty(); });
        }
        for (;;) {
            TransMessage message;
            {
                std::lock_guard lock(FQueueLock);
                if (FQueue.empty())
                    break;
                message = std::move(FQueue.front());
                FQueue.pop_front();
            }
            if (message.kind != TransMessage::Send)
                continue;
            if (!FPurging && !FTerminated) {
                if (!burst) {
                    burst = true;
                    BeginTrans();
                }
                WriteChunk(message.block.get(), message.length);
            }
            message.block.reset();
            FChunkFinished(message.length);
        }
        if (burst)
            EndTrans();
    }
}

void TCommTransThread::WriteChunk(const char *data, int length)
{
    int done = 0;
    while (!FPurging && !FTerminated) {
        int written = 0;
        WriteStart start;
        {
            // A purge never falls between the check and the start of a write.
            std::lock_guard lock(FWriteLock);
            if (FPurging)
                return;
            start = FPort.startWrite(data + done, length - done, written);
        }
        if (start == WriteStart::Done)
            return;
        if (start == WriteStart::Failed) {
            CheckLineErrors();
            return;
        }
        // Ended by completion or by the write time-out: the chunk is done.
        if (FPort.finishWrite(written))
            return;
        CheckLineErrors();
        if (written >= length - done)
            return;
        done += written;
    }
}

void TCommTransThread::BeginTrans()
{
    const TCommFlowCtrls flow = FFlowCtrl;
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    sleepMs(50);
    FPort.escapeCommFunction(flow == cfcHalfHigh ? CommEscape::SetRts : CommEscape::ClrRts);
    sleepMs(FCharTime);
}

void TCommTransThread::EndTrans()
{
    const TCommFlowCtrls flow = FFlowCtrl;
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    sleepMs(FCharTime);
    FPort.escapeCommFunction(flow == cfcHalfHigh ? CommEscape::ClrRts : CommEscape::SetRts);
}

void TCommTransThread::CheckLineErrors()
{
    const quint32 errors = FPort.clearCommError() & CommLineError::Mask;
    if (errors && FNotify)
        FNotify->post(WM_COMM_ERROR, errors);
}

TCommReceiveThread::TCommReceiveThread(SerialPlatform &port, CommNotifier *notify) : FPort(port), FNotify(notify) {}

TCommReceiveThread::~TCommReceiveThread()
{
    Terminate();
    Join();
}

void TCommReceiveThread::Start()
{
    FThread = startRunning([this] { Execute(); });
}

void TCommReceiveThread::Terminate()
{
    FTerminated = true;
    FPort.cancelWaitCommEvent();
}

void TCommReceiveThread::Join()
{
    if (FThread.joinable())
        FThread.join();
}

void TCommReceiveThread::Execute()
{
    for (;;) {
        const quint32 mask = FPort.waitCommEvent();
        if (FTerminated)
            break;
        const quint32 errors = FPort.clearCommError() & CommLineError::Mask;
        if (FNotify) {
            if (errors)
                FNotify->post(WM_COMM_ERROR, errors);
            if (mask & CommEvent::Break)
                FNotify->post(WM_COMM_BREAK, mask);
            if (mask & CommEvent::RxChar)
                FNotify->post(WM_COMM_RECEIVE, 0);
        }
        if (FTerminated)
            break;
    }
    FPort.setCommMask(0);
}
