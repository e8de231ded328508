#include "comm/NetworkAddress.h"

#include <QRegularExpression>

namespace {

constexpr QLatin1StringView kRaw("socket://");
constexpr QLatin1StringView kRfc2217("rfc2217://");

} // namespace

bool NetworkAddress::looksLikeNetwork(const QString &text)
{
    return text.startsWith(kRaw, Qt::CaseInsensitive) || text.startsWith(kRfc2217, Qt::CaseInsensitive);
}

std::optional<NetworkAddress> NetworkAddress::parse(const QString &text)
{
    NetworkAddress address;
    QString rest;
    if (text.startsWith(kRaw, Qt::CaseInsensitive)) {
        rest = text.mid(kRaw.size());
    } else if (text.startsWith(kRfc2217, Qt::CaseInsensitive)) {
        address.kind = Kind::Rfc2217;
        rest = text.mid(kRfc2217.size());
    } else {
        return std::nullopt;
    }
    // A name or IPv4 address (letters, digits, dots, hyphens, underscores),
    // or an IPv6 address in brackets; then a port of 1 to 65535. A trailing
    // "/" is forgiven, anything else after the port is not.
    static const QRegularExpression form(QStringLiteral(
        R"(^(?:\[([0-9A-Fa-f:.]+(?:%[A-Za-z0-9_.-]+)?)\]|([A-Za-z0-9_](?:[A-Za-z0-9_.-]*[A-Za-z0-9_])?)):([0-9]{1,5})/?$)"));
    const QRegularExpressionMatch m = form.match(rest);
    if (!m.hasMatch())
        return std::nullopt;
    const uint port = m.captured(3).toUInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    address.host = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    address.port = quint16(port);
    return address;
}

QString NetworkAddress::hostAndPort() const
{
    const QString h = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return h + QLatin1Char(':') + QString::number(port);
}

QString NetworkAddress::url() const { return (kind == Kind::Raw ? QString(kRaw) : QString(kRfc2217)) + hostAndPort(); }
