#include "model/Numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

ConversionError::ConversionError(const QString &text)
    : std::runtime_error(QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString())
{
}

std::optional<double> parseDecimal(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QByteArray bytes = trimmed.toLatin1();
    if (trimmed.isEmpty() || bytes.size() != trimmed.size())
        return std::nullopt;

    // Validate the shape first: from_chars alone would accept "inf" and "nan".
    int i = 0;
    const int n = bytes.size();
    if (bytes[i] == '+' || bytes[i] == '-')
        ++i;
    int digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(bytes[i]))) { ++i; ++digits; }
    if (i < n && bytes[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(bytes[i]))) { ++i; ++digits; }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (bytes[i] == 'e' || bytes[i] == 'E')) {
        ++i;
        if (i < n && (bytes[i] == '+' || bytes[i] == '-'))
            ++i;
        int expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(bytes[i]))) { ++i; ++expDigits; }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    std::string s = bytes.toStdString();
    const char *first = s.c_str();
    if (*first == '+')
        ++first;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, s.c_str() + s.size(), value);
    if (ec != std::errc() || ptr != s.c_str() + s.size() || !std::isfinite(value))
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
    std::string text(buffer, end);

    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.erase(0, 1);
    }
    std::string whole = text;
    std::string fraction;
    if (const auto point = text.find('.'); point != std::string::npos) {
        whole = text.substr(0, point);
        fraction = text.substr(point + 1);
    }
    const bool roundUp = fraction.size() > static_cast<size_t>(decimals) && fraction[decimals] >= '5';
    fraction.resize(decimals, '0');

    std::string digits = whole + fraction;
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
    std::string result = digits.substr(0, digits.size() - decimals);
    if (result.empty())
        result = "0";
    if (decimals > 0)
        result += "." + digits.substr(digits.size() - decimals);
    const bool allZero = result.find_first_not_of("0.") == std::string::npos;
    if (negative && !allZero)
        result.insert(result.begin(), '-');
    return QString::fromStdString(result);
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
