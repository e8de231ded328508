#include "sim/ControllerModel.h"

#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/FrameBytes.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace {

const QByteArray Accepted = "0000";
const QByteArray ParameterError = "1100";
const QByteArray AreaError = "1101";
const QByteArray CountMismatch = "1003";
const QByteArray CommandTooShort = "1002";
const QByteArray NotSupported = "0401";

constexpr int FieldWidth = 8;

// Command layout: request code (4), variable type (2), address (4), bit position (2),
// number of elements (4), then the data fields.
QByteArray requestCode(const QByteArray &command) { return command.left(4); }
QByteArray area(const QByteArray &command) { return command.mid(4, 6); }
QByteArray bitPosition(const QByteArray &command) { return command.mid(10, 2); }
QByteArray elementCount(const QByteArray &command) { return command.mid(12, 4); }

std::optional<int> strictNumber(const QByteArray &text, int base)
{
    if (text.isEmpty())
        return std::nullopt;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool hexLetter = (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!digit && !(base == 16 && hexLetter))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, base);
    if (!ok || value > 0x7FFFFFFF)
        return std::nullopt;
    return int(value);
}

bool inRange(const std::optional<int> &value, int low, int high) { return value && *value >= low && *value <= high; }

QByteArray buildAnswer(const QByteArray &body, bool badBcc)
{
    const QByteArray checked = body + FrameBytes::ETX;
    char bcc = ControllerExchange::checkByteOf(checked).at(0);
    if (badBcc)
        bcc = static_cast<char>(bcc ^ 0x01);
    return FrameBytes::STX + checked + bcc;
}

QString tenths(int value) { return QLocale::c().toString(value / 10.0, 'f', 1); }

} // namespace

QByteArray ControllerModel::commandPrefixOfNumber(int k)
{
    static const char *const prefixes[] = {"0101800012", "0102C1004E", "0102C1004F",
                                           "0102C40000", "0102C40001", "0102C40002"};
    if (k < 1 || k > 6)
        return {};
    return prefixes[k - 1];
}

bool ControllerModel::parseRefusal(const QString &text, Refusal *refusal)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    const QString target = text.left(colon);
    // Printable ASCII only: a control character such as ETX would end the
    // answer early, and a character beyond Latin-1 would become '?'.
    const QString codeText = text.mid(colon + 1);
    const bool printable = std::all_of(codeText.begin(), codeText.end(),
                                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
    if (codeText.size() != 4 || !printable)
        return false;
    const QByteArray code = codeText.toLatin1();
    bool isNumber = false;
    const int k = target.toInt(&isNumber);
    QByteArray prefix = isNumber && target.size() == 1 ? commandPrefixOfNumber(k) : target.toLatin1();
    if (prefix.size() < 4)
        return false;
    refusal->commandPrefix = prefix;
    refusal->code = code;
    return true;
}

FrameOutcome ControllerModel::handleFrame(const QByteArray &frame, const ControllerBehaviour &behaviour)
{
    FrameOutcome outcome;
    if (frame.size() < 3 || frame.front() != FrameBytes::STX || frame.at(frame.size() - 2) != FrameBytes::ETX)
        return outcome;
    const QByteArray body = frame.mid(1, frame.size() - 3);
    const QByteArray header = body.left(5);
    const QByteArray ownHeader = ControllerExchange::headerForUnit(m_unit);
    // The answer's node and sub-address.
    const QByteArray from = ownHeader.left(4);
    outcome.command = body.mid(5);

    if (header.size() >= 2 && !header.startsWith(ownHeader.left(2)))
        return outcome; // another node's frame: not for this controller
    if (ControllerExchange::checkByteOf(body + FrameBytes::ETX).at(0) != frame.back()) {
        outcome.endCode = "13";
        outcome.answer = buildAnswer(from + outcome.endCode, behaviour.badBcc);
        return outcome;
    }
    if (header != ownHeader || outcome.command.size() < 4) {
        outcome.endCode = "14";
        outcome.answer = buildAnswer(from + outcome.endCode, behaviour.badBcc);
        return outcome;
    }

    outcome.endCode = "00";
    const QByteArray &command = outcome.command;
    QByteArray data;
    outcome.responseCode = [&]() -> QByteArray {
        for (const Refusal &refusal : behaviour.refusals)
            if (command.startsWith(refusal.commandPrefix))
                return refusal.code;
        if (command.size() < 16)
            return CommandTooShort;
        if (requestCode(command) == "0101")
            return answerRead(command, behaviour, &data);
        if (requestCode(command) == "0102")
            return answerWrite(command, &outcome.programComplete);
        return NotSupported;
    }();
    outcome.answer =
        buildAnswer(from + outcome.endCode + requestCode(command) + outcome.responseCode + data, behaviour.badBcc);
    return outcome;
}

QByteArray ControllerModel::answerRead(const QByteArray &command, const ControllerBehaviour &behaviour,
                                       QByteArray *data) const
{
    if (area(command) != "800012")
        return AreaError;
    if (bitPosition(command) != "00")
        return ParameterError;
    if (elementCount(command) != "0001" || command.size() != 16)
        return CountMismatch;
    *data = behaviour.running ? "0080" : "0000";
    return Accepted;
}

QByteArray ControllerModel::answerWrite(const QByteArray &command, bool *programComplete)
{
    struct Target
    {
        const char *area;
        int elements;
    };
    static const Target targets[] = {{"C1004E", 1}, {"C1004F", 1}, {"C40000", 1}, {"C40001", 1}, {"C40002", 5}};
    const Target *target = nullptr;
    for (const Target &t : targets)
        if (area(command) == t.area)
            target = &t;
    if (!target)
        return AreaError;
    if (bitPosition(command) != "00")
        return ParameterError;
    const auto count = strictNumber(elementCount(command), 16);
    const QByteArray data = command.mid(16);
    if (!count || data.size() != qsizetype(*count) * FieldWidth || *count != target->elements)
        return CountMismatch;

    const auto hexField = [&](int i) { return strictNumber(data.mid(i * FieldWidth, FieldWidth), 16); };
    const QByteArray which = target->area;
    if (target->elements == 1) {
        const auto value = hexField(0);
        if (which == "C1004E" || which == "C40000") {
            if (!inRange(value, 0, 7))
                return ParameterError;
            (which == "C1004E" ? m_program.programNumber : m_program.programNumberAgain) = *value;
        } else if (which == "C1004F") {
            if (!inRange(value, 0, 3000))
                return ParameterError;
            m_program.initialTemperature = *value;
        } else {
            if (!inRange(value, 1, 32))
                return ParameterError;
            m_program.segmentCount = *value;
            m_segmentsArrived.reset();
        }
        return Accepted;
    }

    const auto number = hexField(0), mode = hexField(1), temperature = hexField(2), rate = hexField(3);
    const auto time = strictNumber(data.mid(4 * FieldWidth, FieldWidth), 10);
    if (!inRange(number, 0, 31) || !inRange(mode, 0, 1) || !inRange(temperature, 0, 3000) || !inRange(rate, 0, 200)
        || !inRange(time, 0, 9959) || *time % 100 > 59)
        return ParameterError;
    m_program.segments[*number] = {*mode, *temperature, *rate, *time};

    const bool wasComplete = m_program.segmentCount > 0 && m_segmentsArrived.count() == size_t(m_program.segmentCount);
    if (*number < m_program.segmentCount)
        m_segmentsArrived.set(size_t(*number));
    const bool complete = m_program.segmentCount > 0 && m_segmentsArrived.count() == size_t(m_program.segmentCount);
    *programComplete = complete && !wasComplete;
    return Accepted;
}

QString ControllerModel::describeProgram(const SimulatedProgram &program)
{
    QStringList lines;
    lines << QStringLiteral("Program %1, initial %2 deg C, %3 segments:")
                 .arg(program.programNumber)
                 .arg(tenths(program.initialTemperature))
                 .arg(program.segmentCount);
    for (int k = 0; k < program.segmentCount; ++k) {
        const SimulatedSegment &s = program.segments[size_t(k)];
        if (s.mode == 0)
            lines
                << QStringLiteral("  %1 Ramp to %2 at %3 deg C/min").arg(k).arg(tenths(s.temperature), tenths(s.rate));
        else
            lines << QStringLiteral("  %1 Hold %2.%3 (min.sec)")
                         .arg(k)
                         .arg(s.time / 100)
                         .arg(s.time % 100, 2, 10, QLatin1Char('0'));
    }
    return lines.join(QLatin1Char('\n'));
}
