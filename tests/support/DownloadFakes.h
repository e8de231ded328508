#pragma once

#include "comm/link/DownloadPort.h"
#include "comm/link/TransferWindow.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <system_error>
#include <utility>

// Fakes of the download's port and window for tests that run whole
// downloads against made-up controller answers. Header-only: whoever
// includes it links vantrel_link.

// A port that answers each frame written with whatever its source makes of
// the command in it.
class AnsweringPort : public DownloadPort
{
public:
    struct Answer
    {
        QByteArray bytes;
        bool late = false;      // arrives only after the read gave up
        int chunk = 0;          // bytes per arrival; 0: all at once
        bool readFails = false; // the read throws instead of answering
    };
    using Source = std::function<Answer(const QByteArray &command)>;

    explicit AnsweringPort(Source source) : m_source(std::move(source)) {}

    QList<QByteArray> frames;   // every frame written, whole
    QList<QByteArray> commands; // the command text of each
    QList<QByteArray> reads;    // what each read returned (empty: nothing, or it failed)
    bool open = false;
    bool openFails = false;
    int closeCount = 0;
    QString note; // what the line says slows it down

    QString lineNote() const override { return note; }

    void Open() override
    {
        if (openFails)
            throw PortOpenError(QStringLiteral("the fake port does not open"));
        open = true;
    }
    bool isOpen() const override { return open; }
    void PurgeTrans() override {}
    bool WriteString(const QByteArray &frame) override
    {
        // STX and the five characters of the header before the command,
        // ETX and the check byte after it.
        frames << frame;
        commands << frame.mid(6, frame.size() - 8);
        return true;
    }
    void PurgeReceive() override { m_queued.clear(); }
    int ReadAnswer(char *buf, int count, const AnswerComplete &complete) override
    {
        const Answer answer = m_source(commands.isEmpty() ? QByteArray() : commands.last());
        if (answer.readFails || answer.late)
            reads << QByteArray();
        if (answer.readFails)
            throw std::system_error(EIO, std::generic_category(), "read");
        m_queued += answer.bytes;
        if (answer.late)
            return 0;
        // As a serial port reads: whatever arrived, until the bytes so far
        // make a whole answer or the buffer is full.
        const int chunk = answer.chunk > 0 ? answer.chunk : count;
        int got = 0;
        while (got < count && !m_queued.isEmpty()) {
            const int n = std::min({chunk, count - got, int(m_queued.size())});
            std::copy_n(m_queued.constData(), n, buf + got);
            m_queued.remove(0, n);
            got += n;
            if (complete && complete(buf, got))
                break;
        }
        reads << QByteArray(buf, got);
        return got;
    }
    void Close() override
    {
        open = false;
        ++closeCount;
    }

private:
    Source m_source;
    QByteArray m_queued;
};

// A window that holds a program and remembers whether it is in the transfer state.
class FakeTransferWindow : public TransferWindow
{
public:
    TemperatureProgram table;
    int number = 5;
    QString initialTemp = QStringLiteral("25.00");
    bool inTransfer = false;

    bool initialTempAccepted() override { return true; }
    void checkEditedCell() override {}
    void enterTransferState() override { inTransfer = true; }
    void resetAfterTransfer() override { inTransfer = false; }
    void stopActivity() override {}
    void startSending() override {}
    void setTransferStatus(const QString &) override {}
    TemperatureProgram segmentTable() const override { return table; }
    int programNo() const override { return number; }
    QString initialTempText() const override { return initialTemp; }
};
