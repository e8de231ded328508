#include "sim/PortLink.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace PortLink {

QString defaultPortsDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Orrisan/VantrelAssistant/ports");
}

QString create(const QString &portsDir, int comNumber, const QString &target, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return QString();
    };
    if (comNumber < 1)
        return fail(QStringLiteral("port number must be 1 or more"));
    if (!QDir().mkpath(portsDir))
        return fail(QStringLiteral("cannot create the folder %1").arg(portsDir));
    const QString path = QDir(portsDir).filePath(QStringLiteral("COM%1").arg(comNumber));
    const QByteArray encoded = QFile::encodeName(path);
    struct stat info;
    if (lstat(encoded.constData(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            return fail(QStringLiteral("%1 exists and is not a link").arg(path));
        if (unlink(encoded.constData()) != 0)
            return fail(QStringLiteral("cannot replace %1: %2").arg(path, qt_error_string(errno)));
    }
    if (symlink(QFile::encodeName(target).constData(), encoded.constData()) != 0)
        return fail(QStringLiteral("cannot create %1: %2").arg(path, qt_error_string(errno)));
    return path;
}

void remove(const QString &linkPath, const QString &target)
{
    if (linkPath.isEmpty())
        return;
    const QByteArray encoded = QFile::encodeName(linkPath);
    char buffer[4096];
    const ssize_t n = readlink(encoded.constData(), buffer, sizeof buffer - 1);
    if (n < 0 || QFile::decodeName(QByteArray(buffer, n)) != target)
        return;
    unlink(encoded.constData());
}

} // namespace PortLink
