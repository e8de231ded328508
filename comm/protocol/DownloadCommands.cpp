#include "DownloadCommands.h"

#include "ControllerExchange.h"
#include "DecimalText.h"

namespace DownloadCommands {

namespace {

constexpr int RowTemperature = 2;
constexpr int RowRate = 3;
constexpr int RowTime = 4;

// A decimal text scaled to an integer field; empty when not a number or too large.
std::optional<qint64> scaledText(const QString &text, int decimals, qint64 limit = 0xFFFFFFFFLL)
{
    const auto number = DecimalText::parse(text);
    if (!number)
        return std::nullopt;
    return number->scaled(decimals, limit);
}

} // namespace

QByteArray hex8(quint32 value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(8, '0');
}

QByteArray statusQuery()
{
    return QByteArrayLiteral("0101800012000001");
}

QByteArray programNo(int programNumber)
{
    return QByteArrayLiteral("0102C1004E000001") + hex8(static_cast<quint32>(programNumber));
}

std::optional<QByteArray> initialTemp(const QString &edit1Text)
{
    const auto tenths = scaledText(edit1Text, 1);
    if (!tenths)
        return std::nullopt;
    return QByteArrayLiteral("0102C1004F000001") + hex8(static_cast<quint32>(*tenths));
}

QByteArray programNoAgain(int programNumber)
{
    return QByteArrayLiteral("0102C40000000001") + hex8(static_cast<quint32>(programNumber));
}

QByteArray segmentCount(int count)
{
    return QByteArrayLiteral("0102C40001000001") + hex8(static_cast<quint32>(count));
}

std::optional<QByteArray> segment(int number, SegmentMode mode, const QString &temperatureText,
                                  const QString &rateText, const QString &timeText)
{
    qint64 temperature = 0, rate = 0, time = 0;
    if (mode == SegmentMode::Ramp) {
        const auto t = scaledText(temperatureText, 1);
        const auto r = scaledText(rateText, 1);
        if (!t || !r)
            return std::nullopt;
        temperature = *t;
        rate = *r;
    } else {
        // Minutes before the point, two digits of seconds after it: 12.30 is 1230.
        const auto t = scaledText(timeText, 2, 99999999);
        if (!t)
            return std::nullopt;
        time = *t;
    }
    return QByteArrayLiteral("0102C40002000005") + hex8(static_cast<quint32>(number))
           + hex8(static_cast<quint32>(mode)) + hex8(static_cast<quint32>(temperature))
           + hex8(static_cast<quint32>(rate)) + QByteArray::number(time).rightJustified(8, '0');
}

std::optional<SegmentMode> segmentModeFromText(const QString &modeText)
{
    if (modeText == QLatin1String("Ramp"))
        return SegmentMode::Ramp;
    if (modeText == QLatin1String("Hold"))
        return SegmentMode::Hold;
    return std::nullopt;
}

std::optional<int> countSegments(const std::function<QString(int column, int row)> &cell)
{
    int count = 0;
    for (int column = 1; column <= MaxSegments; ++column) {
        bool nonZero = false;
        for (int row : {RowTemperature, RowRate, RowTime}) {
            const auto number = DecimalText::parse(cell(column, row));
            if (!number)
                return std::nullopt;
            nonZero = nonZero || !number->isZero();
        }
        if (nonZero)
            count = column;
    }
    return count;
}

bool isRunning(const QByteArray &statusValue)
{
    return (ControllerExchange::HexToInt(statusValue) >> 7) == 1;
}

StatusVerdict judgeStatusAnswer(const ControllerExchange &exchange)
{
    if (!exchange.lastExchangeAnswered())
        return StatusVerdict::NoAnswer;
    if (!exchange.lastCommandAccepted() || exchange.statusValue().size() < 4)
        return StatusVerdict::Refused;
    return isRunning(exchange.statusValue()) ? StatusVerdict::Running : StatusVerdict::Idle;
}

} // namespace DownloadCommands
