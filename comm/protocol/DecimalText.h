#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// An unsigned decimal number read exactly from its text ("12.30", "0.5", ".5", "7"),
// so that scaling never meets binary rounding (0.3 * 10 is exactly 3).
// Blanks around the number are ignored; anything else that is not a digit or a
// single point makes the text "not a number".
class DecimalText
{
public:
    static std::optional<DecimalText> parse(const QString &text);

    // The value times 10^decimals, the remaining fraction dropped. Empty when the
    // result exceeds the given limit.
    std::optional<qint64> scaled(int decimals, qint64 limit = 0xFFFFFFFFLL) const;
    bool isZero() const;

private:
    QString m_whole;    // digits before the point, leading zeros removed
    QString m_fraction; // digits after the point
};
