#pragma once

#include <QByteArray>
#include <functional>

// Whether the bytes received so far (bytes, count) hold a whole answer.
using AnswerComplete = std::function<bool(const char *bytes, int count)>;

// What the controller exchange needs of a serial port. Any call may throw an
// exception derived from std::exception when the port fails.
class ExchangePort
{
public:
    virtual ~ExchangePort() = default;

    // Discards whatever is still queued for transmission; returns when nothing is pending.
    virtual void PurgeTrans() = 0;
    // Queues all bytes of the text for transmission.
    virtual bool WriteString(const QByteArray &text) = 0;
    // Discards every byte received and not yet read.
    virtual void PurgeReceive() = 0;
    // Reads up to count bytes; returns as soon as the bytes received make a
    // complete answer, or count bytes arrived, or the receive time-out passed.
    // 0 when nothing arrived, negative when the read failed.
    virtual int ReadAnswer(char *buf, int count, const AnswerComplete &complete) = 0;
    virtual void Close() = 0;
};
