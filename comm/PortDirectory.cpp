#include "comm/PortDirectory.h"

#include "comm/NetworkAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

struct FixedRange
{
    int firstPort;
    const char *prefix;
};

constexpr int kRangeSize = 32;
constexpr FixedRange kRanges[] = {
    {1, "/dev/ttyS"},
    {33, "/dev/ttyUSB"},
    {65, "/dev/ttyACM"},
};

QString describe(const QSerialPortInfo &info)
{
    QString text = info.description();
    const QString maker = info.manufacturer();
    if (!maker.isEmpty() && !text.contains(maker))
        text = text.isEmpty() ? maker : text + QStringLiteral(" (") + maker + QLatin1Char(')');
    return text;
}

// The link's text as written (QFileInfo makes it an absolute path).
QString linkTarget(const QString &link)
{
    char buffer[4096];
    const ssize_t n = ::readlink(QFile::encodeName(link).constData(), buffer, sizeof buffer);
    return n > 0 && size_t(n) < sizeof buffer ? QFile::decodeName(QByteArray(buffer, int(n))) : QString{};
}

} // namespace

PortDirectory::PortDirectory(QString portsFolder) : m_folder(std::move(portsFolder)) {}

PortDirectory PortDirectory::forDevice(const QString &devicePath)
{
    PortDirectory directory(QString{});
    directory.m_device = devicePath;
    return directory;
}

QString PortDirectory::portName(int portNo) const
{
    if (portNo < 1)
        return {};
    return m_device.isEmpty() ? QStringLiteral("COM") + QString::number(portNo) : m_device;
}

QString PortDirectory::defaultPortsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Orrisan/VantrelAssistant/ports");
}

QString PortDirectory::linkPath(int portNo) const
{
    return m_folder + QStringLiteral("/COM") + QString::number(portNo);
}

QString PortDirectory::fixedDevicePath(int portNo)
{
    for (const FixedRange &r : kRanges) {
        if (portNo >= r.firstPort && portNo < r.firstPort + kRangeSize)
            return QLatin1String(r.prefix) + QString::number(portNo - r.firstPort);
    }
    return {};
}

int PortDirectory::fixedPortNo(const QString &devicePath)
{
    for (const FixedRange &r : kRanges) {
        const QLatin1String prefix(r.prefix);
        if (!devicePath.startsWith(prefix))
            continue;
        const QStringView digits = QStringView(devicePath).mid(prefix.size());
        bool ok = false;
        const int index = digits.toInt(&ok);
        // Only a plain decimal index: "ttyS01" or "ttyS+1" are other names.
        if (ok && index >= 0 && index < kRangeSize && digits == QString::number(index))
            return r.firstPort + index;
    }
    return 0;
}

QString PortDirectory::devicePathFor(int portNo) const
{
    if (portNo < 1)
        return {};
    if (!m_device.isEmpty())
        return m_device;
    const QFileInfo link(linkPath(portNo));
    // A link may also name a serial device server: its target is then a
    // "socket://" or "rfc2217://" address, never a file.
    if (link.isSymLink()) {
        const QString target = linkTarget(linkPath(portNo));
        if (NetworkAddress::looksLikeNetwork(target))
            return NetworkAddress::parse(target) ? target : QString{};
    }
    if (link.isSymLink() || link.exists())
        return link.canonicalFilePath(); // empty when the target is gone
    const QString fixed = fixedDevicePath(portNo);
    if (fixed.isEmpty() || !QFileInfo::exists(fixed))
        return {};
    return fixed;
}

QList<PortEntry> PortDirectory::presentPorts() const
{
    QMap<QString, QString> descriptions; // device path -> description
    QMap<int, QString> fixedDevices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        descriptions.insert(QFileInfo(path).canonicalFilePath(), describe(info));
        if (const int n = fixedPortNo(path))
            fixedDevices.insert(n, path);
    }

    QMap<int, PortEntry> ports;
    static const QRegularExpression linkName(QStringLiteral("^COM([1-9][0-9]{0,8})$"));
    const QDir folder(m_folder);
    const QStringList names = folder.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QList<int> linked;
    for (const QString &name : names) {
        const QRegularExpressionMatch m = linkName.match(name);
        if (!m.hasMatch())
            continue;
        const int n = m.captured(1).toInt();
        linked.append(n);
        const QString target = devicePathFor(n);
        if (target.isEmpty())
            continue;
        QString description = descriptions.value(target);
        if (const std::optional<NetworkAddress> server = NetworkAddress::parse(target))
            description = server->kind == NetworkAddress::Kind::Raw ? QStringLiteral("serial device server, raw TCP")
                                                                    : QStringLiteral("serial device server, RFC 2217");
        ports.insert(n, {n, name, target, description});
    }
    for (auto it = fixedDevices.cbegin(); it != fixedDevices.cend(); ++it) {
        if (linked.contains(it.key()) || !QFileInfo::exists(it.value()))
            continue;
        const QString name = QStringLiteral("COM") + QString::number(it.key());
        ports.insert(it.key(),
                     {it.key(), name, it.value(), descriptions.value(QFileInfo(it.value()).canonicalFilePath())});
    }
    return ports.values();
}
