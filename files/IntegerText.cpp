#include "files/IntegerText.h"

#include <climits>

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

} // namespace

std::optional<int> parseIntegerText(QStringView text)
{
    bool hexPrefixed = false;
    if (text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        hexPrefixed = true;
        text = text.mid(2);
    }

    bool negative = false;
    if (!hexPrefixed && !text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        text = text.mid(1);
    }

    int base = 10;
    if (hexPrefixed) {
        base = 16;
    } else if (!text.isEmpty() && text[0] == u'$') {
        base = 16;
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;

    // Accumulate the magnitude in 64 bits; give up as soon as it leaves the
    // range of an int, so long digit strings cannot overflow.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (QChar c : text) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}
