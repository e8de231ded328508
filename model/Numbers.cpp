#include "model/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

ConversionError::ConversionError(const QString &text)
    : std::runtime_error(QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString())
{}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the text has the shape of a decimal number; from_chars alone
// would accept "inf" and "nan".
bool hasDecimalShape(const char *text, qsizetype n)
{
    qsizetype i = 0;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    int digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        int expDigits = 0;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

} // namespace

std::optional<double> parseDecimal(const QString &text)
{
    // Every cell is read this way, many times over: no allocation for the
    // texts a cell holds. Only ASCII can have the shape of a number.
    const QStringView trimmed = QStringView(text).trimmed();
    const qsizetype n = trimmed.size();
    char shortText[64];
    std::string longText;
    char *bytes = shortText;
    if (n > qsizetype(sizeof shortText)) {
        longText.resize(size_t(n));
        bytes = longText.data();
    }
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c > 0x7F)
            return std::nullopt;
        bytes[i] = char(c);
    }
    if (!hasDecimalShape(bytes, n))
        return std::nullopt;

    const char *first = bytes[0] == '+' ? bytes + 1 : bytes;
    const char *last = bytes + n;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double toDouble(const QString &text)
{
    if (const auto value = parseDecimal(text))
        return *value;
    throw ConversionError(text);
}

std::optional<int> parseInteger(const QString &text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    if (bytes.isEmpty())
        return std::nullopt;
    const char *first = bytes.constData();
    const char *last = first + bytes.size();
    if (*first == '+')
        ++first;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

QString formatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // Shortest text that reads back as the value, in fixed notation.
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return QString::number(value, 'f', decimals);
    const char *first = buffer;
    const bool negative = *first == '-';
    if (negative)
        ++first;
    const char *point = std::find(first, static_cast<const char *>(end), '.');
    const char *fraction = point == end ? end : point + 1;
    const size_t fractionSize = size_t(end - fraction);
    const size_t places = static_cast<size_t>(decimals);
    const bool roundUp = fractionSize > places && fraction[places] >= '5';

    // The whole digits and exactly `places` digits of the fraction.
    std::string digits(first, point);
    digits.append(fraction, std::min(fractionSize, places));
    if (fractionSize < places)
        digits.append(places - fractionSize, '0');
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[i] == '9') {
            digits[i] = '0';
            --i;
        }
        if (i >= 0)
            ++digits[i];
        else
            digits.insert(digits.begin(), '1');
    }
    const size_t wholeSize = digits.size() - places;
    const bool allZero = digits.find_first_not_of('0') == std::string::npos;
    QString result;
    result.reserve(qsizetype(digits.size()) + 3);
    if (negative && !allZero)
        result += u'-';
    if (wholeSize == 0)
        result += u'0';
    else
        result += QLatin1String(digits.data(), qsizetype(wholeSize));
    if (places > 0) {
        result += u'.';
        result += QLatin1String(digits.data() + wholeSize, qsizetype(places));
    }
    return result;
}

QString valueText(double value, int decimals)
{
    if (!std::isfinite(value) || std::abs(value) < 1e15)
        return formatFixed(value, decimals);
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    // "1e+308" as a person writes it: "1e308".
    if (const auto plus = text.find("e+"); plus != std::string::npos)
        text.erase(plus + 1, 1);
    return QString::fromStdString(text);
}
