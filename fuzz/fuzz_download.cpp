// Whole downloads against controller answers the fuzzer writes. Every answer
// is judged here on its own, by the frame rules written out afresh below,
// and the download's ending must be the one those verdicts lead to. Whatever
// the answers, the download ends with the window idle and the port closed.
//
// The input: one byte for the program (segment count), one for the run
// (unit, the person's answer, a port that does not open), then the answers,
// each a length byte, a byte of delivery (bit 7: it arrives late; bits 0-5:
// bytes per arrival, 0 all at once; 63: the read fails) and the bytes.

#include "fuzz/FuzzCheck.h"

#include "comm/link/ProgramDownload.h"
#include "comm/protocol/FrameBytes.h"
#include "tests/support/DownloadFakes.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCoreApplication>
#include <cstdint>
#include <optional>

namespace {

using Kind = ProgramDownload::Ending::Kind;

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Completed:
        return QStringLiteral("Completed");
    case Kind::NotSent:
        return QStringLiteral("NotSent");
    case Kind::PortUnavailable:
        return QStringLiteral("PortUnavailable");
    case Kind::NoAnswer:
        return QStringLiteral("NoAnswer");
    case Kind::StatusRefused:
        return QStringLiteral("StatusRefused");
    case Kind::Running:
        return QStringLiteral("Running");
    case Kind::Declined:
        return QStringLiteral("Declined");
    case Kind::CommandRefused:
        return QStringLiteral("CommandRefused");
    case Kind::Stopped:
        return QStringLiteral("Stopped");
    case Kind::PortFailure:
        return QStringLiteral("PortFailure");
    }
    return QStringLiteral("?");
}

class InputReader
{
public:
    InputReader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    QByteArray bytes(size_t count)
    {
        const size_t n = std::min(count, m_size - m_pos);
        const QByteArray taken(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(n));
        m_pos += n;
        return taken;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

char blockCheck(const QByteArray &bytes)
{
    unsigned char check = 0;
    for (char c : bytes)
        check ^= static_cast<unsigned char>(c);
    return static_cast<char>(check);
}

// What an answer to a command is, read by the frame rules: STX; the node
// addressed (two digits); sub-address and end code; the command's request
// code (its first four characters); the response code; data; ETX; a check
// byte, the XOR of everything between STX and it. Nothing may follow.
struct Verdict
{
    enum Value { Noise, Refused, Accepted };
    Value value = Noise;
    QByteArray data; // between the response code and ETX
};

Verdict judge(const QByteArray &answer, const QByteArray &node, const QByteArray &command)
{
    constexpr qsizetype ResponseAt = 11, DataAt = 15;
    Verdict verdict;
    const qsizetype size = answer.size();
    if (size < DataAt + 2 || answer.at(0) != FrameBytes::STX || answer.at(size - 2) != FrameBytes::ETX)
        return verdict;
    for (qsizetype i = 1; i < size - 2; ++i)
        if (answer.at(i) == FrameBytes::ETX || answer.at(i) == FrameBytes::STX)
            return verdict;
    if (answer.mid(1, 2) != node || answer.mid(7, 4) != command.left(4)
        || blockCheck(answer.mid(1, size - 2)) != answer.at(size - 1))
        return verdict;
    verdict.value = answer.mid(ResponseAt, 4) == "0000" ? Verdict::Accepted : Verdict::Refused;
    verdict.data = answer.mid(DataAt, size - 2 - DataAt);
    return verdict;
}

// The status value: four characters, read as hexadecimal as far as they are
// hexadecimal digits; a program runs when its bit 7 is the highest one set.
std::optional<bool> runningStatus(const QByteArray &data)
{
    if (data.size() < 4)
        return std::nullopt;
    unsigned value = 0;
    for (char c : data.left(4)) {
        const int digit = c >= '0' && c <= '9' ? c - '0'
            : c >= 'A' && c <= 'F'             ? c - 'A' + 10
            : c >= 'a' && c <= 'f'             ? c - 'a' + 10
                                               : -1;
        if (digit < 0)
            break;
        value = value * 16 + unsigned(digit);
    }
    return (value >> 7) == 1;
}

// The frame the download wrote: STX, the unit's header, a command, ETX, check byte.
void checkFrame(const QByteArray &frame, const QByteArray &header)
{
    const qsizetype size = frame.size();
    FUZZ_CHECK(size >= 8 && frame.at(0) == FrameBytes::STX && frame.mid(1, 5) == header
                   && frame.at(size - 2) == FrameBytes::ETX && blockCheck(frame.mid(1, size - 2)) == frame.at(size - 1),
               shown(frame));
}

// The run the second byte asks for.
struct RunChoice
{
    int segments = 1;
    int unit = 1;
    bool confirms = true;
    bool portOpens = true;
};

RunChoice readRunChoice(InputReader &input)
{
    RunChoice choice;
    choice.segments = 1 + input.byte() % 32;
    const uint8_t run = input.byte();
    choice.unit = run % 100;
    choice.confirms = (run & 0x80) == 0;
    choice.portOpens = run % 101 != 100;
    return choice;
}

void fillProgram(FakeTransferWindow &window, int segments)
{
    window.table.initialise();
    for (int col = 1; col <= segments; ++col) {
        const bool ramp = (col + segments) % 3 != 0;
        window.table.setCell(TemperatureProgram::ModeRow, col, ramp ? QStringLiteral("Ramp") : QStringLiteral("Hold"));
        window.table.setCell(TemperatureProgram::TempRow, col, ramp ? QStringLiteral("120.0") : QStringLiteral("0.0"));
        window.table.setCell(TemperatureProgram::RateRow, col, ramp ? QStringLiteral("2.5") : QStringLiteral("0.0"));
        window.table.setCell(TemperatureProgram::TimeRow, col, ramp ? QStringLiteral("0.00") : QStringLiteral("1.30"));
    }
}

// The next answer, taken from the input as the download asks for it;
// readFailed tells whether it is a read that fails.
AnsweringPort::Answer nextAnswer(InputReader &input, bool &readFailed)
{
    AnsweringPort::Answer answer;
    if (input.atEnd())
        return answer; // silence
    const size_t length = input.byte();
    const uint8_t delivery = input.byte();
    answer.bytes = input.bytes(length);
    answer.late = (delivery & 0x80) != 0;
    answer.chunk = delivery & 0x3F;
    answer.readFails = answer.chunk == 0x3F;
    readFailed = answer.readFails;
    return answer;
}

// The ending the first answer, the status, leads to; Completed when the
// download goes on.
Kind statusEnding(const Verdict &verdict, bool confirms)
{
    const std::optional<bool> running = runningStatus(verdict.data);
    if (verdict.value == Verdict::Noise)
        return Kind::NoAnswer;
    if (verdict.value == Verdict::Refused || !running)
        return Kind::StatusRefused;
    if (*running)
        return Kind::Running;
    return confirms ? Kind::Completed : Kind::Declined;
}

struct Expected
{
    Kind kind = Kind::Completed;
    qsizetype exchanges = 0;
};

// The ending the verdicts lead to, command by command: what each read gave
// the download, judged on its own.
Expected expectedEnding(const AnsweringPort &port, const RunChoice &choice, bool readFailed, const QByteArray &node)
{
    Expected expected;
    if (!choice.portOpens)
        return {Kind::PortUnavailable, 0};
    const QList<QByteArray> &delivered = port.reads;
    const int allCommands = choice.segments + 5;
    for (qsizetype &exchanges = expected.exchanges; exchanges < allCommands; ++exchanges) {
        if (exchanges >= delivered.size())
            break;
        if (exchanges == delivered.size() - 1 && readFailed)
            return {Kind::PortFailure, exchanges + 1};
        const Verdict verdict = judge(delivered[exchanges], node, port.commands.value(exchanges));
        if (exchanges == 0)
            expected.kind = statusEnding(verdict, choice.confirms);
        else if (verdict.value != Verdict::Accepted)
            expected.kind = verdict.value == Verdict::Noise ? Kind::NoAnswer : Kind::CommandRefused;
        if (expected.kind != Kind::Completed)
            return {expected.kind, exchanges + 1};
    }
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    makeApplication<QCoreApplication>(*argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    InputReader input(data, size);
    const RunChoice choice = readRunChoice(input);
    FakeTransferWindow window;
    fillProgram(window, choice.segments);
    bool readFailed = false;
    AnsweringPort port([&](const QByteArray &) { return nextAnswer(input, readFailed); });
    port.openFails = !choice.portOpens;
    ScriptedPrompts prompts;
    prompts.boxAnswers = {choice.confirms ? Prompts::Yes : Prompts::No};
    ProgramDownload download(window, port, prompts);
    download.setUnit(choice.unit);

    bool raised = false;
    try {
        download.run();
    } catch (const std::exception &) {
        raised = true;
    }
    const Kind kind = download.lastEnding().kind;

    // Every ending: the window idle, the port closed.
    FUZZ_CHECK(!window.inTransfer, kindName(kind));
    FUZZ_CHECK(!port.open && port.closeCount > 0, kindName(kind));
    FUZZ_CHECK(raised == (kind == Kind::PortUnavailable || kind == Kind::PortFailure), kindName(kind));

    const QByteArray header = ControllerExchange::headerForUnit(choice.unit);
    for (const QByteArray &frame : port.frames)
        checkFrame(frame, header);
    const Expected expected = expectedEnding(port, choice, readFailed, header.left(2));
    const QString context = QStringLiteral("ended %1, expected %2 after %3 exchanges; answers: ")
                                .arg(kindName(kind), kindName(expected.kind))
                                .arg(expected.exchanges)
        + shown(port.reads.join("|"));
    FUZZ_CHECK(kind == expected.kind, context);
    FUZZ_CHECK(port.frames.size() == expected.exchanges && port.reads.size() == expected.exchanges, context);
    const bool shownCompleted = prompts.texts().contains(QStringLiteral("Transmission was completed"));
    FUZZ_CHECK(shownCompleted == (kind == Kind::Completed), context);
    return 0;
}
