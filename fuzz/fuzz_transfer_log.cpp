// The transfer log from a file's bytes: every record read is written back
// and reads back the same, appended one by one to a fresh log (rotating into
// yearly files as the years turn) the records read back whole and in the
// same order, and one more record after a year's turn loses none of them.

#include "fuzz/FuzzCheck.h"

#include "files/TransferLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QTimeZone>
#include <cstdint>

namespace {

QString readFolder;
QString writeFolder;

void emptyFolder(const QString &path)
{
    QDir dir(path);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        FUZZ_CHECK(dir.remove(name), path + u'/' + name);
}

QString describe(const TransferRecord &r) { return shown(TransferLog::line(r)); }

QString describe(const QList<TransferRecord> &records)
{
    QStringList lines;
    for (const TransferRecord &r : records)
        lines << describe(r);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    makeApplication<QCoreApplication>(*argv);
    readFolder = scratchFolder() + QStringLiteral("/read");
    writeFolder = scratchFolder() + QStringLiteral("/written");
    FUZZ_CHECK(QDir().mkpath(readFolder) && QDir().mkpath(writeFolder), scratchFolder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    emptyFolder(readFolder);
    emptyFolder(writeFolder);
    {
        QFile file(TransferLog(readFolder).currentPath());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), file.errorString());
    }
    const QList<TransferRecord> read = TransferLog(readFolder).read().records;

    // Each record's line reads back as that record.
    for (const TransferRecord &r : read) {
        const QByteArray line = TransferLog::line(r);
        const QJsonDocument document = QJsonDocument::fromJson(line);
        const auto again = document.isObject() ? TransferRecord::fromJson(document.object()) : std::nullopt;
        FUZZ_CHECK(again.has_value(), QStringLiteral("written as ") + shown(line));
        FUZZ_CHECK(*again == r, describe(r) + QStringLiteral(" reads back as ") + describe(*again));
    }

    // Appended to a log of their own, in the order read: nothing lost, nothing moved.
    const TransferLog log(writeFolder);
    int lastYear = 0;
    for (const TransferRecord &r : read) {
        QString reason;
        FUZZ_CHECK(log.append(r, &reason), describe(r) + QStringLiteral(": ") + reason);
        lastYear = std::max(lastYear, r.time.toUTC().date().year());
    }
    const TransferLog::Contents written = log.read();
    FUZZ_CHECK(written.warnings.isEmpty(), written.warnings.join(QLatin1Char('\n')));
    FUZZ_CHECK(written.records == read,
               QStringLiteral("read:\n%1\nwritten and read again:\n%2").arg(describe(read), describe(written.records)));

    // One more after a year's turn: the rotated file is read with the rest.
    if (!read.isEmpty() && lastYear < 9999) {
        TransferRecord next = read.last();
        next.time = QDateTime(QDate(lastYear + 1, 1, 1), QTime(0, 0), QTimeZone::utc());
        QString reason;
        FUZZ_CHECK(log.append(next, &reason), reason);
        const QList<TransferRecord> after = log.read().records;
        FUZZ_CHECK(after == read + QList<TransferRecord>{next},
                   QStringLiteral("after a year's turn:\n%1").arg(describe(after)));
    }
    return 0;
}
