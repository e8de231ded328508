#pragma once

#include <QStringView>

#include <optional>

// Reads an integer the way the settings file and the program file store it:
// a text of at least three characters that starts with "0x" or "0X" is
// hexadecimal; otherwise an optional sign followed by decimal digits, or by
// "$" and hexadecimal digits. Nothing else may follow, and the value must fit
// in an int. The caller trims surrounding blanks if it wants them ignored.
std::optional<int> parseIntegerText(QStringView text);
