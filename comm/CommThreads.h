#pragma once

#include "comm/SerialPlatform.h"

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

class QSocketNotifier;
enum TCommFlowCtrls : quint8;

// Puts the calling thread to sleep for ms milliseconds; nothing for 0 or less.
void sleepMs(int ms);

// Hands notifications posted by any thread to the thread that created the
// notifier, through its event loop (an event fd watched by a socket
// notifier).
class CommNotifier
{
public:
    using Handler = std::function<void(int message, quint32 param)>;
    explicit CommNotifier(Handler handler);
    ~CommNotifier();
    CommNotifier(const CommNotifier &) = delete;
    CommNotifier &operator=(const CommNotifier &) = delete;

    void post(int message, quint32 param); // any thread
    void clear();                          // drops what was not delivered yet

private:
    void deliver();

    Handler m_handler;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::mutex m_lock;
    std::vector<std::pair<int, quint32>> m_queue;
};

// A message in the transmit thread's queue: a chunk to send, or a wake-up.
struct TransMessage
{
    enum Kind { Send, Wake };
    Kind kind = Wake;
    std::unique_ptr<char[]> block;
    int length = 0;
};

// Writes the chunks that Write queues, one burst per pass over the queue,
// switching RTS around each burst in the half-duplex modes. It is handed the
// few things of its component it needs, and nothing else.
class TCommTransThread
{
public:
    TCommTransThread(SerialPlatform &port, std::mutex &writeLock, const std::atomic<TCommFlowCtrls> &flowCtrl,
                     std::function<void(int length)> chunkFinished, CommNotifier *notify);
    ~TCommTransThread();
    TCommTransThread(const TCommTransThread &) = delete;
    TCommTransThread &operator=(const TCommTransThread &) = delete;

    void Start(); // returns when the body runs; throws std::system_error when no thread can be made
    void Post(TransMessage message);
    void Terminate(); // marks it terminated and wakes it
    void Join();

    std::atomic<bool> FPurging{false};
    std::atomic<int> FCharTime{0};

private:
    void Execute();
    void WriteChunk(const char *data, int length);
    void BeginTrans();
    void EndTrans();
    void CheckLineErrors();

    SerialPlatform &FPort;
    std::mutex &FWriteLock;                         // held while a write starts; a purge takes it too
    const std::atomic<TCommFlowCtrls> &FFlowCtrl;   // read at each burst
    std::function<void(int length)> FChunkFinished; // a chunk was written or dropped
    CommNotifier *FNotify;
    std::atomic<bool> FTerminated{false};
    std::mutex FQueueLock;
    std::condition_variable FQueueWake;
    std::deque<TransMessage> FQueue;
    std::thread FThread;
};

// Waits for line events and reports them; it reads no data.
class TCommReceiveThread
{
public:
    TCommReceiveThread(SerialPlatform &port, CommNotifier *notify);
    ~TCommReceiveThread();
    TCommReceiveThread(const TCommReceiveThread &) = delete;
    TCommReceiveThread &operator=(const TCommReceiveThread &) = delete;

    void Start();     // returns when the body runs; throws std::system_error when no thread can be made
    void Terminate(); // marks it terminated and wakes its wait
    void Join();

private:
    void Execute();

    SerialPlatform &FPort;
    CommNotifier *FNotify;
    std::atomic<bool> FTerminated{false};
    std::thread FThread;
};
