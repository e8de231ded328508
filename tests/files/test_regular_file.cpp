// Reading and replacing files by what lies at the path: only regular files
// are read or replaced, nothing waits on a FIFO, and a write removes the
// temporary files that killed writes to the same target left, and nothing else.
#include "files/AtomicFile.h"
#include "files/RegularFile.h"
#include "tests/support/FifoWatchdog.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PathKinds.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>
#include <unistd.h>

namespace {
constexpr qint64 Limit = 1024 * 1024;
}

class RegularFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readByKindOfPath_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: read
        QTest::newRow("regular file") << "regular"
                                      << "";
        QTest::newRow("link to a regular file") << "link to a regular file"
                                                << "";
        QTest::newRow("FIFO") << "fifo"
                              << "is not a regular file (a FIFO)";
        QTest::newRow("link to a FIFO") << "link to a fifo"
                                        << "is not a regular file (a FIFO)";
        QTest::newRow("character device") << "character device"
                                          << "is not a regular file (a character device)";
        QTest::newRow("folder") << "folder"
                                << "is a folder";
        QTest::newRow("too large") << "too large"
                                   << "is larger than 1 MiB";
        QTest::newRow("missing") << "missing"
                                 << "cannot be opened: No such file or directory";
    }

    void readByKindOfPath()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = makePath(dir, QStringLiteral("p.tpd"), kind, Limit + 1);
        FifoWatchdog watchdog(kind == QLatin1String("link to a fifo") ? dir.filePath("the-fifo") : path);

        QString why;
        const std::optional<QByteArray> bytes = RegularFile::read(path, Limit, &why);
        QVERIFY2(!watchdog.fired(), "the read waited on the FIFO");
        if (reason.isEmpty()) {
            QCOMPARE(bytes, std::optional<QByteArray>("old"));
        } else {
            QVERIFY(!bytes);
            QCOMPARE(why, reason);
        }
        QCOMPARE(typeOf(path) != 0, kind != QLatin1String("missing"));
    }

    // Only a regular file is replaced (through a link, the file it leads
    // to); anything else stays what it was.
    void replaceByKindOfPath_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: written
        QTest::newRow("missing") << "missing"
                                 << "";
        QTest::newRow("regular file") << "regular"
                                      << "";
        QTest::newRow("link to a regular file") << "link to a regular file"
                                                << "";
        QTest::newRow("FIFO") << "fifo"
                              << "not a regular file (a FIFO)";
        QTest::newRow("link to a FIFO") << "link to a fifo"
                                        << "not a regular file (a FIFO)";
        QTest::newRow("character device") << "character device"
                                          << "not a regular file (a character device)";
        QTest::newRow("folder") << "folder"
                                << "a folder of that name exists";
    }

    void replaceByKindOfPath()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = makePath(dir, QStringLiteral("o.csv"), kind);
        const mode_t before = typeOf(path);
        const QStringList entriesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

        QString why;
        const bool written = writeFileAtomically(path, "new", &why);
        QCOMPARE(written, reason.isEmpty());
        QCOMPARE(why, reason);
        if (written) {
            QCOMPARE(readBytes(path), QByteArray("new"));
            QCOMPARE(typeOf(path), before ? before : S_IFREG); // a link stays a link
        } else {
            QCOMPARE(typeOf(path), before);
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), entriesBefore);
        }
    }

    // What lies beside the target "o.csv" when it is written: only the
    // temporary files that killed writes of ours left for that target go.
    void staleTemporaryFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // regular, held, fifo, folder, link, foreign
        QTest::addColumn<bool>("removed");
        QTest::newRow("ours, left by a killed write") << ".o.csv.vantrel-tmp-Ab3dE9"
                                                      << "regular" << true;
        QTest::newRow("ours, digits only") << ".o.csv.vantrel-tmp-000000"
                                           << "regular" << true;
        QTest::newRow("ours, held by a running write") << ".o.csv.vantrel-tmp-Ab3dE9"
                                                       << "held" << false;
        QTest::newRow("another target's") << ".p.csv.vantrel-tmp-Ab3dE9"
                                          << "regular" << false;
        QTest::newRow("a name that ends in ours") << ".xo.csv.vantrel-tmp-Ab3dE9"
                                                  << "regular" << false;
        QTest::newRow("not hidden") << "o.csv.vantrel-tmp-Ab3dE9"
                                    << "regular" << false;
        QTest::newRow("five characters") << ".o.csv.vantrel-tmp-Ab3dE"
                                         << "regular" << false;
        QTest::newRow("seven characters") << ".o.csv.vantrel-tmp-Ab3dE9x"
                                          << "regular" << false;
        QTest::newRow("not a letter or digit") << ".o.csv.vantrel-tmp-Ab3-E9"
                                               << "regular" << false;
        QTest::newRow("a person's copy") << ".o.csv.vantrel-tmp-Ab3dE9.bak"
                                         << "regular" << false;
        QTest::newRow("the old library's pattern") << "o.csv.Ab3dE9"
                                                   << "regular" << false;
        QTest::newRow("our name on a FIFO") << ".o.csv.vantrel-tmp-Ab3dE9"
                                            << "fifo" << false;
        QTest::newRow("our name on a folder") << ".o.csv.vantrel-tmp-Ab3dE9"
                                              << "folder" << false;
        QTest::newRow("our name on a link") << ".o.csv.vantrel-tmp-Ab3dE9"
                                            << "link" << false;
        QTest::newRow("our name, another user's file") << ".o.csv.vantrel-tmp-Ab3dE9"
                                                       << "foreign" << false;
    }

    void staleTemporaryFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("o.csv"));
        writeBytes(target, "old");
        const QString beside = dir.filePath(name);
        const QString linked = dir.filePath(QStringLiteral("linked"));
        QFile held(beside);
        if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(QFile::encodeName(beside).constData(), 0600) == 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(name));
        } else if (kind == QLatin1String("link")) {
            writeBytes(linked, "mine");
            QVERIFY(QFile::link(linked, beside));
        } else {
            writeBytes(beside, "new, never renamed");
        }
        if (kind == QLatin1String("foreign")) {
            if (::geteuid() != 0)
                QSKIP("only the superuser can give a file to another user");
            QVERIFY(::chown(QFile::encodeName(beside).constData(), 65534, 65534) == 0);
        }
        if (kind == QLatin1String("held"))
            QVERIFY(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX) == 0);
        QStringList expected =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (removed)
            expected.removeAll(name);

        FifoWatchdog watchdog(beside);
        QString why;
        QVERIFY2(writeFileAtomically(target, "new", &why), qPrintable(why));
        QVERIFY2(!watchdog.fired(), "the write waited on the FIFO");
        QCOMPARE(readBytes(target), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 expected);
        if (kind == QLatin1String("link"))
            QCOMPARE(readBytes(linked), QByteArray("mine"));
    }
};

QTEST_GUILESS_MAIN(RegularFileTest)
#include "test_regular_file.moc"
