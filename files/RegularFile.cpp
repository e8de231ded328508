#include "files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString kindOf(const struct stat &info)
{
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(info.st_mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(info.st_mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a special file");
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 mebibyte = 1024 * 1024;
    return bytes % mebibyte == 0 ? QStringLiteral("%1 MiB").arg(bytes / mebibyte)
                                 : QStringLiteral("%1 bytes").arg(bytes);
}

// Why a file of this kind and size is not read; empty when it may be.
QString readRefusal(const struct stat &info, qint64 maximumSize)
{
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("is a folder");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("is not a regular file (%1)").arg(kindOf(info));
    if (info.st_size > maximumSize)
        return QStringLiteral("is larger than %1").arg(sizeText(maximumSize));
    return QString();
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<QByteArray> read(const QString &path, qint64 maximumSize, QString *reason)
{
    auto fail = [reason](const QString &why) -> std::optional<QByteArray> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("cannot be opened: no file name was given"));
    const QByteArray name = QFile::encodeName(path);

    // Judged from the name first: opening a FIFO or a device could wait for
    // ever or do something to the device.
    struct stat info
    {};
    if (::stat(name.constData(), &info) != 0)
        return fail(QStringLiteral("cannot be opened: ") + systemText(errno));
    if (const QString why = readRefusal(info, maximumSize); !why.isEmpty())
        return fail(why);

    // Without waiting, and judged again: the name may lead elsewhere by now.
    const Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return fail(QStringLiteral("cannot be opened: ") + systemText(errno));
    if (::fstat(file.get(), &info) != 0)
        return fail(QStringLiteral("cannot be read: ") + systemText(errno));
    if (const QString why = readRefusal(info, maximumSize); !why.isEmpty())
        return fail(why);

    // The file may grow while it is read: one byte past the limit tells.
    QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype length = 0;
    for (;;) {
        if (length == bytes.size()) {
            if (length > maximumSize)
                break;
            bytes.resize(qsizetype(std::min<qint64>(maximumSize + 1, qint64(length) * 2 + 4096)));
        }
        const ssize_t n = ::read(file.get(), bytes.data() + length, size_t(bytes.size() - length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(QStringLiteral("cannot be read: ") + systemText(errno));
        if (n == 0)
            break;
        length += n;
    }
    if (length > maximumSize)
        return fail(QStringLiteral("is larger than %1").arg(sizeText(maximumSize)));
    bytes.truncate(length);
    return bytes;
}

QString replaceRefusal(const QString &path)
{
    struct stat info
    {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("a folder of that name exists");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("not a regular file (%1)").arg(kindOf(info));
    return QString();
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first
    {
    }, second{};
    const bool firstExists = ::stat(QFile::encodeName(a).constData(), &first) == 0;
    const bool secondExists = ::stat(QFile::encodeName(b).constData(), &second) == 0;
    if (firstExists && secondExists)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    if (firstExists != secondExists)
        return false;
    auto place = [](const QString &path) {
        const QFileInfo info(path);
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return (folder.isEmpty() ? QDir::cleanPath(info.absolutePath()) : folder) + u'/' + info.fileName();
    };
    return place(a) == place(b);
}

} // namespace RegularFile
