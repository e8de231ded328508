#pragma once

#include "comm/protocol/ExchangePort.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <stdexcept>
#include <system_error>

// A scripted port: bytes already waiting in the receive queue, the bytes that
// arrive while an answer is read, and an optional failing operation.
class FakeExchangePort : public ExchangePort
{
public:
    QByteArray queued;   // received but not yet read
    QByteArray arriving; // arrives during the next ReadAnswer
    int readResult = 1;  // > 0: deliver bytes; otherwise returned as is
    QString failIn;      // name of the operation that throws
    bool closeFails = false;

    QStringList calls;
    QByteArray written;

    void PurgeTrans() override { step("PurgeTrans"); }
    bool WriteString(const QByteArray &text) override
    {
        step("WriteString");
        written += text;
        return true;
    }
    void PurgeReceive() override
    {
        step("PurgeReceive");
        queued.clear();
    }
    int ReadAnswer(char *buf, int count, const AnswerComplete &) override
    {
        step("ReadAnswer");
        queued += arriving;
        arriving.clear();
        if (readResult <= 0)
            return readResult;
        const int n = std::min<int>(count, int(queued.size()));
        std::copy_n(queued.constData(), n, buf);
        queued.remove(0, n);
        return n;
    }
    void Close() override
    {
        calls << QStringLiteral("Close");
        if (closeFails)
            throw std::runtime_error("close failed");
    }

private:
    void step(const char *name)
    {
        calls << QString::fromLatin1(name);
        if (failIn == QLatin1String(name))
            throw std::system_error(EIO, std::generic_category(), name);
    }
};
