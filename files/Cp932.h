#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The Japanese Windows code page 932 (Shift-JIS with the Microsoft
// extensions), converted with the C library's iconv.
namespace Cp932 {

struct EncodeResult
{
    QByteArray bytes;
    bool ok = true;
    qsizetype badIndex = -1; // on failure: index in the text of the first character CP932 cannot hold
};

// Encodes `text`. Fails on the first character that has no CP932 code or
// that would not come back unchanged on decoding (such as U+00A5, which the
// converter would store as a backslash), so nothing is ever replaced quietly.
EncodeResult encode(const QString &text);

// Decodes `bytes`; nullopt when they are not a valid CP932 sequence.
std::optional<QString> decode(const QByteArray &bytes);

// Decodes `bytes`, putting U+FFFD in place of each byte that does not start a
// valid CP932 character.
QString decodeLossy(const QByteArray &bytes);

} // namespace Cp932
