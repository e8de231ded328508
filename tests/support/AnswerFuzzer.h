#pragma once

#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/FrameBytes.h"

#include <QByteArray>
#include <QRandomGenerator>

// Controller answers of every kind a broken or confused line can bring, made
// from a fixed seed so that a failure can be run again.
class AnswerFuzzer
{
public:
    enum Kind {
        Accepted,      // a whole answer with response code 0000
        Refused,       // a whole answer with another response code
        Running,       // a whole answer to the status query reporting a running program
        RandomBytes,   // anything, any length
        CutShort,      // a whole answer with its end missing
        StraySTX,      // a whole answer with an STX put somewhere in it
        EtxWithoutBcc, // ends at ETX
        WrongBcc,      // the check byte does not match
        Flood,         // more than the receive buffer holds
        OtherCommand,  // an answer to another command
        Late,          // a whole answer that arrives after the time-out
        Nothing,       // silence
        KindCount
    };

    struct Answer
    {
        Kind kind;
        QByteArray bytes;
        bool late = false;
        // What a correct editor must make of it: the command was accepted ...
        bool accepts() const { return kind == Accepted || kind == Running; }
        // ... and a download may go on after it.
        bool letsDownloadGoOn() const { return kind == Accepted; }
    };

    explicit AnswerFuzzer(quint32 seed) : m_rng(seed) {}

    // A whole answer to the command: STX, node and sub-address, end code, the
    // command's request code, the response code, data, ETX and check byte.
    static QByteArray frame(const QByteArray &command, const QByteArray &code, const QByteArray &data = {})
    {
        const QByteArray body = "0100"
                                "00"
            + command.left(4) + code + data + FrameBytes::ETX;
        return FrameBytes::STX + body + ControllerExchange::checkByteOf(body);
    }

    // An answer to the command; acceptedPercent of them are plain acceptances,
    // so that downloads get far enough to meet the rest at every step.
    Answer next(const QByteArray &command, int acceptedPercent)
    {
        const bool statusQuery = command.startsWith("0101");
        const QByteArray data = statusQuery ? QByteArray("0000") : QByteArray();
        if (pick(100) < acceptedPercent)
            return {Accepted, frame(command, "0000", data)};
        const auto kind = Kind(pick(KindCount));
        const QByteArray good = frame(command, "0000", data);
        switch (kind) {
        case Accepted:
            return {kind, good};
        case Refused: {
            QByteArray code = randomText(4, "0123456789ABCDEF");
            if (code == "0000")
                code = "1100";
            return {kind, frame(command, code, data)};
        }
        case Running:
            return statusQuery ? Answer{kind, frame(command, "0000", hexByte(0x80 + pick(128)))}
                               : Answer{Accepted, good};
        case RandomBytes:
            return {kind, randomBytes(pick(300))};
        case CutShort:
            return {kind, good.left(pick(int(good.size()) - 1))};
        case StraySTX: {
            QByteArray bytes = good;
            bytes.insert(pick(int(bytes.size()) - 1), FrameBytes::STX);
            return {kind, bytes};
        }
        case EtxWithoutBcc:
            return {kind, good.chopped(1)};
        case WrongBcc: {
            QByteArray bytes = good;
            bytes.back() = char(bytes.back() ^ (1 + pick(0x7F)));
            return {kind, bytes};
        }
        case Flood: {
            QByteArray bytes;
            while (bytes.size() <= ControllerExchange::ReceiveBufferSize)
                bytes += pick(2) ? good : randomBytes(pick(64));
            return {kind, bytes};
        }
        case OtherCommand:
            return {kind, frame(statusQuery ? QByteArray("0102") : QByteArray("0101"), "0000", data)};
        case Late:
            return {kind, good, true};
        case Nothing:
            return {kind, {}};
        case KindCount:
            break;
        }
        return {Nothing, {}};
    }

private:
    int pick(int bound) { return bound <= 0 ? 0 : int(m_rng.bounded(quint32(bound))); }

    QByteArray randomBytes(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(pick(256));
        return bytes;
    }

    QByteArray randomText(int size, const char *alphabet)
    {
        const int n = int(qstrlen(alphabet));
        QByteArray text(size, Qt::Uninitialized);
        for (char &c : text)
            c = alphabet[pick(n)];
        return text;
    }

    static QByteArray hexByte(int value) { return QByteArray::number(value, 16).toUpper().rightJustified(4, '0'); }

    QRandomGenerator m_rng;
};
