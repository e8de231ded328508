#pragma once

// Every kind of thing a path can name, made in a temporary folder for tests
// of what reads or replaces files.

#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// Makes `name` in `dir` as `kind` says and returns its path: "regular" (a
// file holding "old"), "too large" (an empty file of `largeSize` bytes, no
// disk used), "fifo", "link to a fifo" (the FIFO is "the-fifo"), "link to a
// regular file" ("the-file", holding "old"), "folder", "character device",
// or "missing". The device is a null device of the test's own where it may
// make one, so that a failing write cannot replace the system's /dev/null;
// elsewhere it is /dev/null, which only the superuser could replace.
inline QString makePath(const QTemporaryDir &dir, const QString &name, const QString &kind, qint64 largeSize = 0)
{
    const QString path = dir.filePath(name);
    const QByteArray encoded = QFile::encodeName(path);
    const QString fifo = dir.filePath(QStringLiteral("the-fifo"));
    const QString file = dir.filePath(QStringLiteral("the-file"));
    bool made = true;
    if (kind == QLatin1String("regular")) {
        writeBytes(path, "old");
    } else if (kind == QLatin1String("too large")) {
        QFile big(path);
        made = big.open(QIODevice::WriteOnly) && big.resize(largeSize);
    } else if (kind == QLatin1String("fifo")) {
        made = ::mkfifo(encoded.constData(), 0600) == 0;
    } else if (kind == QLatin1String("link to a fifo")) {
        made = ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 && QFile::link(fifo, path);
    } else if (kind == QLatin1String("link to a regular file")) {
        writeBytes(file, "old");
        made = QFile::link(file, path);
    } else if (kind == QLatin1String("folder")) {
        made = QDir(dir.path()).mkdir(name);
    } else if (kind == QLatin1String("character device")) {
        if (::geteuid() != 0)
            return QStringLiteral("/dev/null");
        made = ::mknod(encoded.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    } else if (kind != QLatin1String("missing")) {
        qFatal("no kind %s", qPrintable(kind));
    }
    if (!made)
        qFatal("cannot make %s as %s", qPrintable(path), qPrintable(kind));
    return path;
}

// The file type bits of what lies at `path`, links not followed; 0 for nothing.
inline mode_t typeOf(const QString &path)
{
    struct stat info
    {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}
