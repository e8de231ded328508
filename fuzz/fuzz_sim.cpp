// The simulator's side of the line: a byte stream cut into frames, each frame
// answered by the controller model. Every answer must be a frame the editor
// can read (checked here by the frame rules written out afresh), from the
// node addressed, and the program the model holds stays within what the
// controller can hold.
//
// The input: one byte of behaviour (bit 0 running, bit 1 wrong check bytes,
// bits 2-7 the unit), a refusal "K:CODE" up to the first line feed, then the
// bytes on the line.

#include "fuzz/FuzzCheck.h"

#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/FrameBytes.h"
#include "sim/ControllerModel.h"
#include "sim/FrameAssembler.h"

#include <cstdint>

namespace {

char blockCheck(const QByteArray &bytes)
{
    unsigned char check = 0;
    for (char c : bytes)
        check ^= static_cast<unsigned char>(c);
    return static_cast<char>(check);
}

// STX, node (2 digits), sub-address "00", end code, [request code, response
// code, data,] ETX, check byte.
void checkAnswer(const FrameOutcome &outcome, const QByteArray &node, const QByteArray &frame, bool badBcc)
{
    const QByteArray &answer = outcome.answer;
    const qsizetype size = answer.size();
    const QString context = shown(frame) + QStringLiteral(" answered ") + shown(answer);
    FUZZ_CHECK(size >= 9 && answer.at(0) == FrameBytes::STX && answer.at(size - 2) == FrameBytes::ETX, context);
    FUZZ_CHECK(answer.mid(1, 2) == node && answer.mid(3, 2) == "00" && answer.mid(5, 2) == outcome.endCode, context);
    for (qsizetype i = 1; i < size - 2; ++i)
        FUZZ_CHECK(answer.at(i) != FrameBytes::STX && answer.at(i) != FrameBytes::ETX, context);
    const bool checkMatches = blockCheck(answer.mid(1, size - 2)) == answer.at(size - 1);
    FUZZ_CHECK(checkMatches != badBcc, context);
    if (outcome.endCode == "00") {
        // The request code echoed, then a response code of four characters.
        FUZZ_CHECK(size >= 17 && answer.mid(7, 4) == outcome.command.left(4)
                       && answer.mid(11, 4) == outcome.responseCode && outcome.responseCode.size() == 4,
                   context);
    } else {
        FUZZ_CHECK(size == 9 && (outcome.endCode == "13" || outcome.endCode == "14"), context);
    }
}

void checkProgram(const SimulatedProgram &p)
{
    const QString context = ControllerModel::describeProgram(p);
    FUZZ_CHECK(!context.isEmpty(), QString());
    FUZZ_CHECK(p.programNumber >= 0 && p.programNumber <= 7 && p.programNumberAgain >= 0 && p.programNumberAgain <= 7
                   && p.initialTemperature >= 0 && p.initialTemperature <= 3000 && p.segmentCount >= 0
                   && p.segmentCount <= 32,
               context);
    for (const SimulatedSegment &s : p.segments)
        FUZZ_CHECK((s.mode == 0 || s.mode == 1) && s.temperature >= 0 && s.temperature <= 3000 && s.rate >= 0
                       && s.rate <= 200 && s.time >= 0 && s.time <= 9959 && s.time % 100 <= 59,
                   context);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    ControllerBehaviour behaviour;
    behaviour.running = (data[0] & 1) != 0;
    behaviour.badBcc = (data[0] & 2) != 0;
    const int unit = (data[0] >> 2) % 100;
    qsizetype lineStart = 1;
    const qsizetype newline = input.indexOf('\n', 1);
    if (newline > 0) {
        Refusal refusal;
        if (ControllerModel::parseRefusal(QString::fromLatin1(input.mid(1, newline - 1)), &refusal)) {
            FUZZ_CHECK(refusal.code.size() == 4 && refusal.commandPrefix.size() >= 4, shown(input.left(newline)));
            behaviour.refusals << refusal;
        }
        lineStart = newline + 1;
    }

    ControllerModel model(unit);
    FrameAssembler frames;
    const QByteArray node = ControllerExchange::headerForUnit(unit).left(2);
    for (qsizetype i = lineStart; i < input.size(); ++i) {
        if (!frames.feed(input.at(i)))
            continue;
        const QByteArray frame = frames.takeFrame();
        // STX, a body without STX or ETX, ETX, and the check byte (any byte).
        const qsizetype etx = frame.indexOf(FrameBytes::ETX, 1);
        const qsizetype stx = frame.indexOf(FrameBytes::STX, 1);
        FUZZ_CHECK(frame.size() >= 3 && frame.front() == FrameBytes::STX && etx == frame.size() - 2
                       && (stx < 0 || stx == frame.size() - 1),
                   shown(frame));
        const FrameOutcome outcome = model.handleFrame(frame, behaviour);
        // A frame is answered exactly when it is addressed to this node.
        const bool addressed = frame.size() < 5 || frame.mid(1, 2) == node;
        FUZZ_CHECK(outcome.answer.isEmpty() != addressed,
                   shown(frame) + QStringLiteral(" answered ") + shown(outcome.answer));
        if (!outcome.answer.isEmpty())
            checkAnswer(outcome, node, frame, behaviour.badBcc);
        checkProgram(model.program());
    }
    return 0;
}
