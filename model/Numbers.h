#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

// Number conversion with "." as the decimal separator, whatever the
// regional settings are.

// Raised when a text that must be a number is not one. The message names the
// text, for example "'.' is not a valid floating point value".
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(const QString &text);
    QString message() const { return QString::fromUtf8(what()); }
};

// A decimal number as a person types it: optional blanks around it, an
// optional sign, digits with at most one point (".5" and "5." count), an
// optional exponent. Nothing else: no thousands separators, no "inf".
std::optional<double> parseDecimal(const QString &text);
// The same, raising ConversionError when the text is not a number.
double toDouble(const QString &text);

// A whole number in decimal, with optional blanks and sign.
std::optional<int> parseInteger(const QString &text);

// Fixed-point text with the given number of decimals, at least one digit
// before the point, rounded half away from zero on the shortest decimal form
// of the value (so 0.15 gives 0.2 with one decimal, as a person expects).
QString formatFixed(double value, int decimals);

// A value as messages and read-outs quote it: formatFixed() while the whole
// part has at most 15 digits, which are then the digits a person wrote.
// Beyond that a double's fixed form would show digits nobody wrote (1e308
// has 309), so the value is written in the shortest exponent form that reads
// back as the same number: "1e308", "-2.5e20". Infinity and NaN read "inf"
// and "nan".
QString valueText(double value, int decimals);
