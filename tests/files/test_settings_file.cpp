#include "files/IntegerText.h"
#include "files/SettingsFile.h"
#include "tests/support/FifoWatchdog.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PathKinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <unistd.h>

namespace {

AppSettings sampleSettings()
{
    AppSettings s;
    s.left = -120;
    s.top = 45;
    s.width = 1024;
    s.height = 768;
    s.comPortNo = 33;
    s.comPortIndex = 2;
    s.prgNo = 6;
    s.fileDir = QStringLiteral("/home/user/温度 data/");
    return s;
}

} // namespace

class SettingsFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void defaultPathFollowsXdgConfigHome()
    {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
        const QString result = SettingsFile::defaultPath();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(result, m_dir.path() + QStringLiteral("/Orrisan/VantrelAssistant/VantrelAssistant.ini"));
    }

    void defaultsWithoutFile() { QCOMPARE(SettingsFile::read(path(QStringLiteral("missing.ini"))), AppSettings()); }

    void defaultsWithoutSections()
    {
        const QString file = path(QStringLiteral("other.ini"));
        writeBytes(file, "[Other]\nLeft=5\nPrgNo=3\n");
        QCOMPARE(SettingsFile::read(file), AppSettings());
    }

    void roundTrip()
    {
        const QString file = path(QStringLiteral("nested/deeper/round.ini"));
        QString error;
        QVERIFY2(SettingsFile::write(file, sampleSettings(), &error), qPrintable(error));
        QCOMPARE(SettingsFile::read(file), sampleSettings());
        QVERIFY2(SettingsFile::write(file, AppSettings(), &error), qPrintable(error));
        QCOMPARE(SettingsFile::read(file), AppSettings());
    }

    void fileDirRoundTrip_data()
    {
        QTest::addColumn<QString>("fileDir");
        QTest::newRow("byte order mark first") << QStringLiteral("\uFEFF/lab");
        QTest::newRow("semicolon first") << QStringLiteral("; not a comment");
        QTest::newRow("bracket first") << QStringLiteral("[System]");
        QTest::newRow("equals sign") << QStringLiteral("/a=b/");
    }

    void fileDirRoundTrip()
    {
        QFETCH(QString, fileDir);
        const QString file = path(QStringLiteral("dir.ini"));
        AppSettings s = sampleSettings();
        s.fileDir = fileDir;
        QString error;
        QVERIFY2(SettingsFile::write(file, s, &error), qPrintable(error));
        QCOMPARE(SettingsFile::read(file), s);
    }

    void writesEveryKeyAsDecimal()
    {
        const QString file = path(QStringLiteral("fresh.ini"));
        AppSettings s = sampleSettings();
        s.fileDir = QStringLiteral("/data/");
        QString error;
        QVERIFY2(SettingsFile::write(file, s, &error), qPrintable(error));
        QCOMPARE(readBytes(file),
                 QByteArray("[Window]\nLeft=-120\nTop=45\nWidth=1024\nHeight=768\n\n"
                            "[System]\nComPortNo=33\nComPortIndex=2\nPrgNo=6\nFileDir=/data/\n"));
    }

    void integerText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "20" << true << 20;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("negative") << "-5" << true << -5;
        QTest::newRow("plus sign") << "+7" << true << 7;
        QTest::newRow("0x lower") << "0x20" << true << 32;
        QTest::newRow("0X upper") << "0X1f" << true << 31;
        QTest::newRow("0x alone") << "0x" << false << 0;
        QTest::newRow("0X alone") << "0X" << false << 0;
        QTest::newRow("dollar") << "$20" << true << 32;
        QTest::newRow("dollar alone") << "$" << false << 0;
        QTest::newRow("negative dollar") << "-$10" << true << -16;
        QTest::newRow("0x then sign") << "0x-1" << false << 0;
        QTest::newRow("sign then 0x") << "-0x10" << false << 0;
        QTest::newRow("x prefix") << "x20" << false << 0;
        QTest::newRow("bad hex digit") << "0x1g" << false << 0;
        QTest::newRow("trailing letters") << "12abc" << false << 0;
        QTest::newRow("inner space") << "1 2" << false << 0;
        QTest::newRow("sign and space") << "- 5" << false << 0;
        QTest::newRow("decimal point") << "3.0" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("full-width digits") << "１２" << false << 0;
        QTest::newRow("int max") << "2147483647" << true << INT_MAX;
        QTest::newRow("int min") << "-2147483648" << true << INT_MIN;
        QTest::newRow("above int max") << "2147483648" << false << 0;
        QTest::newRow("hex int max") << "0x7FFFFFFF" << true << INT_MAX;
        QTest::newRow("hex above int max") << "0xFFFFFFFF" << false << 0;
        QTest::newRow("many digits") << "99999999999999999999999" << false << 0;
    }

    void integerText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const std::optional<int> parsed = parseIntegerText(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    // Values as they reach the application: defaults for what does not
    // convert, the window's minimum size, the program number's range.
    void valuesFromFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("prgNo");
        QTest::addColumn<int>("comPortIndex");
        QTest::newRow("hex left") << QByteArray("[Window]\nLeft=0x20\n") << 32 << 770 << 490 << 0 << 0;
        QTest::newRow("dollar left") << QByteArray("[Window]\nLeft=$20\n") << 32 << 770 << 490 << 0 << 0;
        QTest::newRow("width below minimum") << QByteArray("[Window]\nWidth=500\n") << 0 << 770 << 490 << 0 << 0;
        QTest::newRow("height below minimum") << QByteArray("[Window]\nHeight=100\n") << 0 << 770 << 490 << 0 << 0;
        QTest::newRow("large window") << QByteArray("[Window]\nWidth=0x400\nHeight=600\n") << 0 << 1024 << 600 << 0
                                      << 0;
        QTest::newRow("width not a number") << QByteArray("[Window]\nWidth=wide\n") << 0 << 770 << 490 << 0 << 0;
        QTest::newRow("negative left") << QByteArray("[Window]\nLeft=-1600\n") << -1600 << 770 << 490 << 0 << 0;
        QTest::newRow("PrgNo above range") << QByteArray("[System]\nPrgNo=12\n") << 0 << 770 << 490 << 7 << 0;
        QTest::newRow("PrgNo below range") << QByteArray("[System]\nPrgNo=-3\n") << 0 << 770 << 490 << 0 << 0;
        QTest::newRow("PrgNo in range") << QByteArray("[System]\nPrgNo=5\n") << 0 << 770 << 490 << 5 << 0;
        QTest::newRow("PrgNo 0x") << QByteArray("[System]\nPrgNo=0x\n") << 0 << 770 << 490 << 0 << 0;
        QTest::newRow("index -1 kept") << QByteArray("[System]\nComPortIndex=-1\n") << 0 << 770 << 490 << 0 << -1;
        QTest::newRow("names any case, values trimmed")
            << QByteArray("[ window ]\r\n  LEFT  =   17   \r\n[SYSTEM]\r\nprgno=\t4\r\n") << 17 << 770 << 490 << 4 << 0;
        QTest::newRow("first key wins") << QByteArray("[Window]\nLeft=1\nLeft=2\n") << 1 << 770 << 490 << 0 << 0;
        QTest::newRow("first section wins")
            << QByteArray("[Window]\nLeft=1\n[Window]\nLeft=2\nWidth=900\n") << 1 << 770 << 490 << 0 << 0;
        QTest::newRow("commented key ignored") << QByteArray("[Window]\n;Left=5\n") << 0 << 770 << 490 << 0 << 0;
        QTest::newRow("key in wrong section") << QByteArray("[System]\nLeft=5\n") << 0 << 770 << 490 << 0 << 0;
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Window]\nLeft=9\n") << 9 << 770 << 490 << 0 << 0;
        QTest::newRow("no final line end") << QByteArray("[Window]\nLeft=8") << 8 << 770 << 490 << 0 << 0;
    }

    void valuesFromFile()
    {
        QFETCH(QByteArray, content);
        const QString file = path(QStringLiteral("values.ini"));
        writeBytes(file, content);
        const AppSettings s = SettingsFile::read(file);
        QTEST(s.left, "left");
        QTEST(s.width, "width");
        QTEST(s.height, "height");
        QTEST(s.prgNo, "prgNo");
        QTEST(s.comPortIndex, "comPortIndex");
    }

    void fileDirIsCutAtTheStringLimit()
    {
        const QString file = path(QStringLiteral("long.ini"));
        const QString longDir = QStringLiteral("/") + QString(3000, u'd') + QStringLiteral("/");
        writeBytes(file, "[System]\nFileDir=" + longDir.toUtf8() + "\n");
        QCOMPARE(SettingsFile::read(file).fileDir, longDir.left(SettingsFile::MaximumStringLength));
    }

    void writeKeepsOtherContent()
    {
        const QString file = path(QStringLiteral("keep.ini"));
        writeBytes(file,
                   "; written by hand\r\n"
                   "[window]\r\n"
                   "left = 5\r\n"
                   "Colour=blue\r\n"
                   "\r\n"
                   "[Extra]\r\n"
                   "Key=Value with  spaces \r\n"
                   "Raw=\xff\xfe not UTF-8\r\n"
                   "[System]\r\n"
                   "FileDir=/old/\r\n"
                   "Unknown=1");
        AppSettings s;
        s.left = 10;
        s.top = 20;
        s.width = 800;
        s.height = 600;
        s.comPortNo = 3;
        s.comPortIndex = 2;
        s.prgNo = 5;
        s.fileDir = QStringLiteral("/data/");
        QString error;
        QVERIFY2(SettingsFile::write(file, s, &error), qPrintable(error));
        QCOMPARE(readBytes(file),
                 QByteArray("; written by hand\r\n"
                            "[window]\r\n"
                            "Left=10\r\n"
                            "Colour=blue\r\n"
                            "Top=20\r\n"
                            "Width=800\r\n"
                            "Height=600\r\n"
                            "\r\n"
                            "[Extra]\r\n"
                            "Key=Value with  spaces \r\n"
                            "Raw=\xff\xfe not UTF-8\r\n"
                            "[System]\r\n"
                            "FileDir=/data/\r\n"
                            "Unknown=1\r\n"
                            "ComPortNo=3\r\n"
                            "ComPortIndex=2\r\n"
                            "PrgNo=5\r\n"));
        QCOMPARE(SettingsFile::read(file), s);
    }

    void lineBreakInFileDirIsNotWritten()
    {
        const QString file = path(QStringLiteral("break.ini"));
        AppSettings s;
        s.fileDir = QStringLiteral("/tmp/a\n[Window]\nLeft=99/");
        QString error;
        QVERIFY2(SettingsFile::write(file, s, &error), qPrintable(error));
        const AppSettings back = SettingsFile::read(file);
        QCOMPARE(back.left, 0);
        QCOMPARE(back.fileDir, QString());
    }

    // A settings file that is not a regular one, or too large to be ours,
    // gives the defaults without being waited on, and is not replaced.
    void notARegularSettingsFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("FIFO") << "fifo"
                              << "not a regular file (a FIFO)";
        QTest::newRow("link to a FIFO") << "link to a fifo"
                                        << "not a regular file (a FIFO)";
        QTest::newRow("too large") << "too large"
                                   << "it is larger than 1 MiB";
    }

    void notARegularSettingsFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString ini =
            makePath(dir, QStringLiteral("VantrelAssistant.ini"), kind, SettingsFile::MaximumFileSize + 1);
        const mode_t before = typeOf(ini);
        FifoWatchdog watchdog(kind == QLatin1String("link to a fifo") ? dir.filePath(QStringLiteral("the-fifo")) : ini);

        QCOMPARE(SettingsFile::read(ini), AppSettings());
        QString error;
        QVERIFY(!SettingsFile::write(ini, sampleSettings(), &error));
        QVERIFY2(!watchdog.fired(), "the settings file was waited on");
        QCOMPARE(error, QStringLiteral("The settings file \"%1\" could not be written: %2.").arg(ini, reason));
        QCOMPARE(typeOf(ini), before);
        QCOMPARE(QFileInfo(ini).size(), kind == QLatin1String("too large") ? SettingsFile::MaximumFileSize + 1 : 0);
    }

    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("parent is a regular file") << "parent-file";
        QTest::newRow("name is a folder") << "folder";
        QTest::newRow("read-only folder") << "read-only";
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QByteArray old = "[Window]\nLeft=77\n[Mine]\nKeep=yes\n";
        QString target;
        QString witness; // a file that must come out byte-identical
        if (kind == QLatin1String("parent-file")) {
            witness = dir.filePath(QStringLiteral("plain"));
            target = witness + QStringLiteral("/VantrelAssistant.ini");
        } else if (kind == QLatin1String("folder")) {
            target = dir.filePath(QStringLiteral("VantrelAssistant.ini"));
            QVERIFY(QDir().mkpath(target));
            witness = target + QStringLiteral("/inside");
        } else {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders");
            witness = target = dir.filePath(QStringLiteral("ro/VantrelAssistant.ini"));
            QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("ro"))));
        }
        writeBytes(witness, old);
        if (kind == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner));

        QString error;
        const bool written = SettingsFile::write(target, sampleSettings(), &error);
        QFile::setPermissions(dir.filePath(QStringLiteral("ro")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(!written);
        QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
        QCOMPARE(readBytes(witness), old);
        QCOMPARE(QDir(QFileInfo(witness).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "test_settings_file.moc"
