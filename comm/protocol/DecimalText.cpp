#include "DecimalText.h"

std::optional<DecimalText> DecimalText::parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype point = trimmed.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? trimmed : trimmed.left(point);
    const QString fraction = point < 0 ? QString() : trimmed.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    const auto allDigits = [](const QString &s) {
        for (QChar c : s)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        return true;
    };
    if (!allDigits(whole) || !allDigits(fraction))
        return std::nullopt;

    DecimalText number;
    qsizetype firstSignificant = 0;
    while (firstSignificant < whole.size() && whole[firstSignificant] == QLatin1Char('0'))
        ++firstSignificant;
    number.m_whole = whole.mid(firstSignificant);
    number.m_fraction = fraction;
    return number;
}

std::optional<qint64> DecimalText::scaled(int decimals, qint64 limit) const
{
    // More than 18 significant digits cannot be below any 32-bit limit anyway.
    if (m_whole.size() + decimals > 18)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : m_whole)
        value = value * 10 + (c.unicode() - '0');
    for (int i = 0; i < decimals; ++i) {
        const int digit = i < m_fraction.size() ? m_fraction[i].unicode() - '0' : 0;
        value = value * 10 + digit;
    }
    if (value > limit)
        return std::nullopt;
    return value;
}

bool DecimalText::isZero() const
{
    for (QChar c : m_whole + m_fraction)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}
