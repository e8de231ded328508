// The transfer log: every ending written and read back whole, a torn last
// line skipped and written past, a folder that cannot take the log, and the
// yearly files.
#include "files/TransferLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
TransferRecord record(const QString &time, const QString &kind, int acknowledged)
{
    TransferRecord r;
    r.time = QDateTime::fromString(time, Qt::ISODateWithMs);
    r.user = QStringLiteral("lab");
    r.host = QStringLiteral("bench-1");
    r.portName = QStringLiteral("COM3");
    r.devicePath = QStringLiteral("/dev/ttyS2");
    r.unit = 2;
    r.filePath = QStringLiteral("/data/run \"a\".tpd");
    r.fileSha256 = TransferRecord::NotSaved;
    r.endingKind = kind;
    r.endingText = QStringLiteral("Comm.port setting is different or\n\rpower of device is not turned on.");
    r.segmentsAcknowledged = acknowledged;
    r.program = {5,
                 QStringLiteral("25.00"),
                 {{QStringLiteral("Ramp"), QStringLiteral("100.0"), QStringLiteral("5.0"), QStringLiteral("0.00")},
                  {QStringLiteral("Hold"), QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("1.30")}}};
    return r;
}

void appendBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QCOMPARE(file.write(bytes), bytes.size());
}
} // namespace

class TestTransferLog : public QObject
{
    Q_OBJECT
private slots:
    void everyEndingReadsBack_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("acknowledged");
        for (const char *kind : {"completed", "status refused", "command refused", "no answer", "stopped", "running",
                                 "declined", "port failure"})
            QTest::newRow(kind) << QString::fromLatin1(kind) << (QByteArray(kind) == "completed" ? 2 : 0);
    }

    void everyEndingReadsBack()
    {
        QFETCH(QString, kind);
        QFETCH(int, acknowledged);
        QTemporaryDir dir;
        const TransferLog log(dir.path() + QStringLiteral("/made/on/demand"));
        const TransferRecord first = record(QStringLiteral("2026-12-07T14:03:00.123Z"), kind, acknowledged);
        TransferRecord second = record(QStringLiteral("2026-12-07T14:04:00.000Z"), QStringLiteral("completed"), 2);
        second.lineNote = QStringLiteral("/dev/ttyUSB0: answers may be held up to the adapter's latency timer");
        QString reason;
        QVERIFY2(log.append(first, &reason), qPrintable(reason));
        QVERIFY2(log.append(second, &reason), qPrintable(reason));
        const TransferLog::Contents contents = log.read();
        QCOMPARE(contents.warnings, QStringList());
        QCOMPARE(contents.records, (QList<TransferRecord>{first, second}));
        QCOMPARE(contents.records.first().time.time().msec(), 123);
        QCOMPARE(QFile(log.currentPath()).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
    }

    void tornAndDamagedLines_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<QString>("warning");
        const QByteArray line =
            TransferLog::line(record(QStringLiteral("2026-01-01T00:00:00.000Z"), QStringLiteral("completed"), 2));
        QTest::newRow("cut inside the record") << line.left(line.size() / 2) << "line 2 is not a record";
        QTest::newRow("cut before its newline") << line.chopped(1) << "";
        QTest::newRow("a line that is no record") << QByteArray("{\"time\":1}\n") << "line 2 is not a record";
        QTest::newRow("not JSON") << QByteArray("\x01garbage\n") << "line 2 is not a record";
        // Read as a time, it would be written back without one.
        QByteArray pastTheLastYear = line;
        pastTheLastYear.replace("2026-01-01T00:00:00.000Z", "9999-12-31T23:59:59.999-01:00");
        QTest::newRow("a UTC year past 9999") << pastTheLastYear << "line 2 is not a record";
    }

    // What a crash leaves: the records before it read, the damaged line
    // skipped with a warning, and the next record on a line of its own.
    void tornAndDamagedLines()
    {
        QFETCH(QByteArray, damage);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        const TransferRecord before = record(QStringLiteral("2026-01-01T00:00:00.000Z"), QStringLiteral("stopped"), 1);
        const TransferRecord after = record(QStringLiteral("2026-01-02T00:00:00.000Z"), QStringLiteral("completed"), 2);
        QString reason;
        QVERIFY(log.append(before, &reason));
        appendBytes(log.currentPath(), damage);
        QVERIFY2(log.append(after, &reason), qPrintable(reason));
        const TransferLog::Contents contents = log.read();
        const bool whole = warning.isEmpty(); // a record cut only before its newline is still whole
        QCOMPARE(contents.records.size(), whole ? 3 : 2);
        QCOMPARE(contents.records.first(), before);
        QCOMPARE(contents.records.last(), after);
        QCOMPARE(contents.warnings.size(), whole ? 0 : 1);
        if (!whole)
            QVERIFY2(contents.warnings.first().contains(warning), qPrintable(contents.warnings.first()));
    }

    void tornLastLineIsSkipped()
    {
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        const TransferRecord kept = record(QStringLiteral("2026-01-01T00:00:00.000Z"), QStringLiteral("completed"), 2);
        QString reason;
        QVERIFY(log.append(kept, &reason));
        appendBytes(log.currentPath(), TransferLog::line(kept).left(40));
        const TransferLog::Contents contents = log.read();
        QCOMPARE(contents.records, QList<TransferRecord>{kept});
        QCOMPARE(contents.warnings.size(), 1);
        QVERIFY(contents.warnings.first().contains(QStringLiteral("line 2 is an incomplete last record")));
    }

    void unwritableFolder()
    {
        QTemporaryDir dir;
        const QString blocker = dir.path() + QStringLiteral("/file");
        appendBytes(blocker, "x");
        const TransferLog log(blocker + QStringLiteral("/log"));
        QString reason;
        QVERIFY(
            !log.append(record(QStringLiteral("2026-01-01T00:00:00.000Z"), QStringLiteral("completed"), 2), &reason));
        QVERIFY(reason.contains(blocker));
        QCOMPARE(log.read().records.size(), 0);
    }

    void yearRotation_data()
    {
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<QStringList>("files"); // what the folder holds afterwards
        QTest::newRow("same year") << QStringList{"2026-01-01T00:00:00.000Z", "2026-12-31T23:59:59.999Z"}
                                   << QStringList{"transfers.jsonl"};
        QTest::newRow("new year") << QStringList{"2025-12-31T23:59:59.999Z", "2026-01-01T00:00:00.000Z"}
                                  << QStringList{"transfers-2025.jsonl", "transfers.jsonl"};
        QTest::newRow("clock set back stays")
            << QStringList{"2026-01-01T00:00:00.000Z", "2025-06-01T00:00:00.000Z"} << QStringList{"transfers.jsonl"};
        QTest::newRow("two years") << QStringList{"2024-05-01T00:00:00.000Z", "2025-05-01T00:00:00.000Z",
                                                  "2026-05-01T00:00:00.000Z"}
                                   << QStringList{"transfers-2024.jsonl", "transfers-2025.jsonl", "transfers.jsonl"};
        QTest::newRow("a damaged year below 1000")
            << QStringList{"0549-12-31T23:59:00.000Z", "2026-05-01T00:00:00.000Z"}
            << QStringList{"transfers-0549.jsonl", "transfers.jsonl"};
        QTest::newRow("a damaged year after later ones")
            << QStringList{"2024-05-01T00:00:00.000Z", "2025-05-01T00:00:00.000Z", "0549-12-31T23:59:00.000Z",
                           "2026-05-01T00:00:00.000Z"}
            << QStringList{"transfers-2024-2.jsonl", "transfers-2024.jsonl", "transfers.jsonl"};
    }

    void yearRotation()
    {
        QFETCH(QStringList, times);
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        QList<TransferRecord> written;
        for (const QString &time : times) {
            written << record(time, QStringLiteral("completed"), 2);
            QString reason;
            QVERIFY2(log.append(written.last(), &reason), qPrintable(reason));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);
        QCOMPARE(log.read().records, written);
    }

    // A time that has no text to be written as is refused, and nothing is written.
    void unwritableTimeIsRefused()
    {
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        TransferRecord r = record(QStringLiteral("2026-01-01T00:00:00.000Z"), QStringLiteral("completed"), 2);
        r.time = QDateTime::fromString(QStringLiteral("9999-12-31T23:59:59.999-01:00"), Qt::ISODateWithMs);
        QVERIFY(r.time.isValid());
        QString reason;
        QVERIFY(!log.append(r, &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(!QFile::exists(log.currentPath()));
    }

    // A yearly file named with fewer than four digits by an earlier build is read.
    void shortYearFileIsRead()
    {
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        const TransferRecord old = record(QStringLiteral("0549-12-31T23:59:00.000Z"), QStringLiteral("completed"), 2);
        const TransferRecord now = record(QStringLiteral("2026-01-01T00:00:00.000Z"), QStringLiteral("stopped"), 1);
        appendBytes(dir.path() + QStringLiteral("/transfers-549.jsonl"), TransferLog::line(old));
        QString reason;
        QVERIFY2(log.append(now, &reason), qPrintable(reason));
        QCOMPARE(log.read().records, (QList<TransferRecord>{old, now}));
    }

    // A yearly file already there is never overwritten.
    void rotationKeepsAnExistingYearFile()
    {
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        QString reason;
        QVERIFY(
            log.append(record(QStringLiteral("2025-03-01T00:00:00.000Z"), QStringLiteral("completed"), 2), &reason));
        QVERIFY(QFile::copy(log.currentPath(), dir.path() + QStringLiteral("/transfers-2025.jsonl")));
        QVERIFY(
            log.append(record(QStringLiteral("2026-03-01T00:00:00.000Z"), QStringLiteral("completed"), 2), &reason));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"transfers-2025-2.jsonl", "transfers-2025.jsonl", "transfers.jsonl"}));
        // Read in the order written: the copy (its first file of 2025), the
        // original (its second), then 2026.
        const QList<TransferRecord> records = log.read().records;
        QCOMPARE(records.size(), 3);
        QCOMPARE(records.last().time.date().year(), 2026);
    }
};

QTEST_GUILESS_MAIN(TestTransferLog)
#include "test_transfer_log.moc"
