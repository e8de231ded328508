#pragma once

#include <QtGlobal>
#include <optional>

// Scaling of a number to a whole field by the decimal digits of its shortest
// exact text (0.29 is "0.29", not 0.28999...), so that binary rounding never
// shifts a digit: 0.29 with two decimals is exactly 29.
namespace DecimalText {

// The value times 10^decimals, the remaining fraction dropped. Empty for a
// negative or non-finite value, or when the result exceeds the limit.
std::optional<qint64> scaled(double value, int decimals, qint64 limit = 0xFFFFFFFFLL);

} // namespace DecimalText
