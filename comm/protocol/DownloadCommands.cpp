#include "comm/protocol/DownloadCommands.h"

#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/DecimalText.h"

namespace DownloadCommands {

QByteArray hex8(quint32 value) { return QByteArray::number(value, 16).toUpper().rightJustified(8, '0'); }

QByteArray statusQuery() { return QByteArrayLiteral("0101800012000001"); }

QByteArray programNo(int programNumber)
{
    return QByteArrayLiteral("0102C1004E000001") + hex8(static_cast<quint32>(programNumber));
}

std::optional<QByteArray> initialTemp(double degrees)
{
    const auto tenths = DecimalText::scaled(degrees, 1);
    if (!tenths)
        return std::nullopt;
    return QByteArrayLiteral("0102C1004F000001") + hex8(static_cast<quint32>(*tenths));
}

QByteArray programNoAgain(int programNumber)
{
    return QByteArrayLiteral("0102C40000000001") + hex8(static_cast<quint32>(programNumber));
}

QByteArray segmentCountCommand(int count)
{
    return QByteArrayLiteral("0102C40001000001") + hex8(static_cast<quint32>(count));
}

std::optional<QByteArray> segment(int number, SegmentMode mode, double temperatureValue, double rateValue,
                                  double timeValue)
{
    qint64 temperature = 0, rate = 0, time = 0;
    if (mode == SegmentMode::Ramp) {
        const auto t = DecimalText::scaled(temperatureValue, 1);
        const auto r = DecimalText::scaled(rateValue, 1);
        if (!t || !r)
            return std::nullopt;
        temperature = *t;
        rate = *r;
    } else {
        // Minutes before the point, two digits of seconds after it: 12.30 is 1230.
        const auto t = DecimalText::scaled(timeValue, 2, 99999999);
        if (!t)
            return std::nullopt;
        time = *t;
    }
    return QByteArrayLiteral("0102C40002000005") + hex8(static_cast<quint32>(number)) + hex8(static_cast<quint32>(mode))
        + hex8(static_cast<quint32>(temperature)) + hex8(static_cast<quint32>(rate))
        + QByteArray::number(time).rightJustified(8, '0');
}

std::optional<SegmentMode> segmentModeFromText(const QString &modeText)
{
    if (modeText == QLatin1String("Ramp"))
        return SegmentMode::Ramp;
    if (modeText == QLatin1String("Hold"))
        return SegmentMode::Hold;
    return std::nullopt;
}

bool isRunning(const QByteArray &statusValue) { return (ControllerExchange::hexValue(statusValue) >> 7) == 1; }

StatusVerdict judgeStatusAnswer(const ControllerExchange &exchange)
{
    if (!exchange.lastAnswerWellFormed())
        return StatusVerdict::NoAnswer;
    // The status is the four characters after the response code. In a
    // well-formed answer ETX and the check byte follow the data, so a
    // statusValue() of four characters may still hold them.
    constexpr qsizetype StatusEnd = 15 + 4;
    if (!exchange.lastCommandAccepted() || exchange.receivedText.size() < StatusEnd + 2)
        return StatusVerdict::Refused;
    return isRunning(exchange.statusValue()) ? StatusVerdict::Running : StatusVerdict::Idle;
}

} // namespace DownloadCommands
