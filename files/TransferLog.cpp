#include "files/TransferLog.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <tuple>
#include <unistd.h>

namespace {
const QString CurrentName = QStringLiteral("transfers.jsonl");

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The records of one file's bytes; lines that are not records become warnings.
void parseInto(const QString &path, const QByteArray &bytes, TransferLog::Contents *contents)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &text = lines.at(i);
        if (text.trimmed().isEmpty())
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(text);
        const auto record = document.isObject() ? TransferRecord::fromJson(document.object()) : std::nullopt;
        if (record) {
            contents->records << *record;
            continue;
        }
        const bool torn = i == lines.size() - 1; // no newline after it: the write was cut short
        contents->warnings << QStringLiteral("%1: line %2 %3; skipped")
                                  .arg(path)
                                  .arg(i + 1)
                                  .arg(torn ? QStringLiteral("is an incomplete last record")
                                            : QStringLiteral("is not a record"));
    }
}

bool readAll(const QString &path, QByteArray *bytes, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    *bytes = file.readAll();
    return true;
}

bool writeWhole(int fd, const QByteArray &bytes, QString *reason)
{
    ssize_t written;
    do
        written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    while (written < 0 && errno == EINTR);
    if (written < 0) {
        *reason = systemReason(errno);
        return false;
    }
    if (written != bytes.size()) {
        // A second write would not be atomic with the first: what is on disk
        // is a torn line that the reader skips.
        *reason = QStringLiteral("only %1 of %2 bytes were written").arg(written).arg(bytes.size());
        return false;
    }
    return true;
}

// A yearly file: its year, which of that year's files it is, and its name.
struct YearlyFile
{
    int year = 0;
    int number = 1;
    QString name;
    bool operator<(const YearlyFile &o) const { return std::tie(year, number) < std::tie(o.year, o.number); }
};

// The yearly files of the folder in the order their records were appended:
// by year, a year's second file after its first. A year of fewer than four
// digits is read too: earlier builds named a file so after a damaged record.
QList<YearlyFile> yearlyFiles(const QString &folder)
{
    static const QRegularExpression yearly(QStringLiteral("^transfers-(\\d{1,4})(?:-(\\d{1,9}))?\\.jsonl$"));
    QList<YearlyFile> files;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("transfers-*.jsonl")}, QDir::Files)) {
        const QRegularExpressionMatch match = yearly.match(name);
        if (match.hasMatch())
            files.append(
                {match.captured(1).toInt(), match.captured(2).isEmpty() ? 1 : match.captured(2).toInt(), name});
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool endsWithoutNewline(int fd)
{
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}
} // namespace

QString TransferLog::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Orrisan/VantrelAssistant");
}

TransferLog::TransferLog(const QString &folder) : m_folder(folder) {}

QString TransferLog::currentPath() const { return m_folder + QLatin1Char('/') + CurrentName; }

QByteArray TransferLog::line(const TransferRecord &record)
{
    return QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact) + '\n';
}

bool TransferLog::append(const TransferRecord &record, QString *reason) const
{
    if (!QDir().mkpath(m_folder)) {
        *reason = QStringLiteral("the folder %1 cannot be created").arg(m_folder);
        return false;
    }
    if (!TransferRecord::readsBack(record.time)) {
        *reason = QStringLiteral("the record's time %1 cannot be written").arg(record.time.toString());
        return false;
    }
    if (!rotateIfNewYear(record.time.toUTC().date().year(), reason))
        return false;
    const QByteArray path = QFile::encodeName(currentPath());
    const int fd = ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        *reason = QStringLiteral("%1: %2").arg(currentPath(), systemReason(errno));
        return false;
    }
    // After a torn line the record starts on a line of its own, in the same write.
    const QByteArray bytes = (endsWithoutNewline(fd) ? QByteArray("\n") : QByteArray()) + line(record);
    bool ok = writeWhole(fd, bytes, reason);
    if (ok && ::fsync(fd) != 0) {
        *reason = systemReason(errno);
        ok = false;
    }
    ::close(fd);
    if (!ok)
        *reason = QStringLiteral("%1: %2").arg(currentPath(), *reason);
    return ok;
}

bool TransferLog::rotateIfNewYear(int year, QString *reason) const
{
    QByteArray bytes;
    QString unused;
    if (!QFile::exists(currentPath()) || !readAll(currentPath(), &bytes, &unused))
        return true; // nothing to rotate; the open that follows reports what is wrong
    Contents contents;
    parseInto(currentPath(), bytes, &contents);
    if (contents.records.isEmpty())
        return true;
    const int newestYear = contents.records.last().time.date().year();
    if (newestYear >= year)
        return true;
    // Named by the newest record's year, but never before a yearly file
    // already there (a clock set wrong, a damaged line): the files are read
    // in the order of their names, which must stay the order appended.
    const QList<YearlyFile> existing = yearlyFiles(m_folder);
    const int fileYear = existing.isEmpty() ? newestYear : std::max(newestYear, existing.last().year);
    // Never over an existing yearly file, not even one that another process
    // makes meanwhile: a second file of that year gets a suffix.
    const QByteArray current = QFile::encodeName(currentPath());
    for (int n = 1;; ++n) {
        // Four digits always, as the reader wants them.
        const QString year = QStringLiteral("%1").arg(fileYear, 4, 10, QLatin1Char('0'));
        const QString target = m_folder
            + (n == 1 ? QStringLiteral("/transfers-%1.jsonl").arg(year)
                      : QStringLiteral("/transfers-%1-%2.jsonl").arg(year).arg(n));
        const QByteArray to = QFile::encodeName(target);
        int renamed = ::renameat2(AT_FDCWD, current.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (renamed != 0 && errno == EINVAL) // a file system without it: a link never replaces either
            renamed = ::link(current.constData(), to.constData()) == 0 ? ::unlink(current.constData()) : -1;
        if (renamed == 0)
            break;
        if (errno == EEXIST)
            continue;
        if (errno == ENOENT)
            return true; // the other program (editor or tool) rotated it first
        *reason = QStringLiteral("%1 cannot be renamed to %2: %3").arg(currentPath(), target, systemReason(errno));
        return false;
    }
    const int dir = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

TransferLog::Contents TransferLog::read() const
{
    QStringList names;
    for (const YearlyFile &file : yearlyFiles(m_folder))
        names << file.name;
    names << CurrentName;
    Contents contents;
    for (const QString &name : names) {
        const QString path = m_folder + QLatin1Char('/') + name;
        if (!QFile::exists(path))
            continue;
        QByteArray bytes;
        QString reason;
        if (readAll(path, &bytes, &reason))
            parseInto(path, bytes, &contents);
        else
            contents.warnings << QStringLiteral("%1: cannot be read: %2").arg(path, reason);
    }
    return contents;
}
