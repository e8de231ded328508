#include "comm/protocol/DecimalText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace DecimalText {

std::optional<qint64> scaled(double value, int decimals, qint64 limit)
{
    // Scaling never makes a number smaller, so a value above the limit (or
    // anything that is not a non-negative number) is out before its text is made.
    if (!std::isfinite(value) || value < 0 || value > static_cast<double>(limit) || decimals < 0 || decimals > 9)
        return std::nullopt;
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return std::nullopt;
    std::string text(buffer, end);
    if (!text.empty() && text.front() == '-')
        text.erase(0, 1); // -0
    const auto point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);

    qint64 result = 0;
    for (char c : whole)
        result = result * 10 + (c - '0');
    for (int i = 0; i < decimals; ++i)
        result = result * 10 + (i < static_cast<int>(fraction.size()) ? fraction[i] - '0' : 0);
    if (result > limit)
        return std::nullopt;
    return result;
}

} // namespace DecimalText
