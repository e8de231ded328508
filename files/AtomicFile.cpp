#include "files/AtomicFile.h"

#include "files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int RandomLength = 6;

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// ".NAME.vantrel-tmp-": what every temporary file for the target NAME starts with.
QByteArray temporaryPrefix(const QString &targetName) { return '.' + QFile::encodeName(targetName) + ".vantrel-tmp-"; }

bool isTemporaryName(const char *name, const QByteArray &prefix)
{
    if (std::strncmp(name, prefix.constData(), size_t(prefix.size())) != 0)
        return false;
    const char *rest = name + prefix.size();
    if (std::strlen(rest) != RandomLength)
        return false;
    for (const char *c = rest; *c; ++c)
        if (!((*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9')))
            return false;
    return true;
}

bool sameNode(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Removes the temporary files that killed writes to the same target left in
// `folder`. A file a running write holds is locked and stays.
void removeStaleTemporaryFiles(const QString &folder, const QByteArray &prefix)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name, prefix))
            continue;
        struct stat seen
        {};
        if (::fstatat(dirFd, entry->d_name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(seen.st_mode)
            || seen.st_uid != ::geteuid())
            continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened
        {};
        if (::fstat(fd, &opened) == 0 && sameNode(opened, seen) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::fstatat(dirFd, entry->d_name, &seen, AT_SYMLINK_NOFOLLOW) == 0 && sameNode(opened, seen))
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

QByteArray randomSuffix()
{
    static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(RandomLength, Qt::Uninitialized);
    for (char &c : suffix)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return suffix;
}

// Creates and locks a new temporary file; returns its descriptor, or -1
// with errno set.
int createTemporaryFile(const QByteArray &prefixPath, QByteArray *name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = prefixPath + randomSuffix();
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        // Another write's clean-up may have taken the file between the
        // creation and the lock; then it is no longer in the folder.
        struct stat info
        {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &info) == 0 && info.st_nlink > 0)
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };

    if (path.isEmpty())
        return fail(QStringLiteral("no file name was given"));
    QString target = QFileInfo(path).absoluteFilePath();
    const QFileInfo link(target);
    if (link.isSymLink()) {
        target = link.canonicalFilePath();
        if (target.isEmpty())
            return fail(QStringLiteral("it is a link to a file that does not exist"));
    }
    if (const QString why = RegularFile::replaceRefusal(target); !why.isEmpty())
        return fail(why);

    const QByteArray targetName = QFile::encodeName(target);
    struct stat existing
    {};
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    if (exists && ::access(targetName.constData(), W_OK) != 0)
        return fail(systemText(errno));

    const QFileInfo info(target);
    const QByteArray prefix = temporaryPrefix(info.fileName());
    removeStaleTemporaryFiles(info.absolutePath(), prefix);

    QByteArray temporary;
    const int fd = createTemporaryFile(QFile::encodeName(info.absolutePath() + u'/') + prefix, &temporary);
    if (fd < 0)
        return fail(systemText(errno));
    // The lock on the temporary file lasts until the descriptor is closed,
    // after the rename, so no other write's clean-up takes it meanwhile.
    auto abandon = [&](int error) {
        ::unlink(temporary.constData());
        ::close(fd);
        return fail(systemText(error));
    };
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0)
        return abandon(errno);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return abandon(errno);
    if (::rename(temporary.constData(), targetName.constData()) != 0)
        return abandon(errno);
    ::close(fd);
    return true;
}
