#pragma once

#include <QString>

#include <optional>

// A serial line carried over TCP by a serial device server:
// "socket://HOST:PORT" (the bytes as they are) or "rfc2217://HOST:PORT"
// (Telnet with the COM-port option, which also carries the line settings).
// HOST is a name, an IPv4 address or an IPv6 address in brackets.
struct NetworkAddress
{
    enum class Kind { Raw, Rfc2217 };
    Kind kind = Kind::Raw;
    QString host;
    quint16 port = 0;

    // Empty for anything else, a device path included.
    static std::optional<NetworkAddress> parse(const QString &text);
    // True when text starts with one of the two schemes (well-formed or not).
    static bool looksLikeNetwork(const QString &text);
    // "HOST:PORT" as people write it, for messages.
    QString hostAndPort() const;
    QString url() const;
};
