#include "files/IniDocument.h"
#include "files/RecentFiles.h"
#include "files/SettingsFile.h"

#include <QTemporaryDir>
#include <QTest>

class TestRecentFiles : public QObject
{
    Q_OBJECT
private slots:
    void addAndRemove_data();
    void addAndRemove();
    void menuTexts_data();
    void menuTexts();
    void keptInItsOwnSection();
};

void TestRecentFiles::addAndRemove_data()
{
    QTest::addColumn<QStringList>("steps"); // "+path" adds, "-path" removes
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("newest first") << QStringList{"+/a.tpd", "+/b.tpd", "+/c.tpd"}
                                  << QStringList{"/c.tpd", "/b.tpd", "/a.tpd"};
    QTest::newRow("reopened moves up, listed once")
        << QStringList{"+/a.tpd", "+/b.tpd", "+/a.tpd"} << QStringList{"/a.tpd", "/b.tpd"};
    QStringList nine;
    for (int i = 1; i <= 9; ++i)
        nine << QStringLiteral("+/p%1.tpd").arg(i);
    QTest::newRow("eight at most, oldest falls off")
        << nine << QStringList{"/p9.tpd", "/p8.tpd", "/p7.tpd", "/p6.tpd", "/p5.tpd", "/p4.tpd", "/p3.tpd", "/p2.tpd"};
    QTest::newRow("removed") << QStringList{"+/a.tpd", "+/b.tpd", "-/a.tpd"} << QStringList{"/b.tpd"};
    QTest::newRow("a name with a line break is not listed")
        << QStringList{"+/a.tpd", "+/x\ny.tpd"} << QStringList{"/a.tpd"};
}

void TestRecentFiles::addAndRemove()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    RecentFiles recent;
    for (const QString &step : steps)
        step.startsWith(u'+') ? recent.add(step.mid(1)) : recent.remove(step.mid(1));
    QCOMPARE(recent.paths(), expected);
}

void TestRecentFiles::menuTexts_data()
{
    QTest::addColumn<QStringList>("paths"); // oldest first
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("distinct names") << QStringList{"/lab/a.tpd", "/lab/b.tpd"} << QStringList{"&1 b.tpd", "&2 a.tpd"};
    QTest::newRow("alike names show their folders")
        << QStringList{"/lab/one/bake.tpd", "/lab/x.tpd", "/lab/two/bake.tpd"}
        << QStringList{"&1 bake.tpd  (/lab/two)", "&2 x.tpd", "&3 bake.tpd  (/lab/one)"};
    QTest::newRow("ampersand is not a shortcut") << QStringList{"/R&D/a&b.tpd"} << QStringList{"&1 a&&b.tpd"};
}

void TestRecentFiles::menuTexts()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, expected);
    RecentFiles recent;
    for (const QString &path : paths)
        recent.add(path);
    QCOMPARE(recent.menuTexts(), expected);
}

void TestRecentFiles::keptInItsOwnSection()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    AppSettings settings;
    settings.fileDir = QStringLiteral("/lab/");
    QVERIFY(SettingsFile::write(path, settings, nullptr));

    RecentFiles recent;
    recent.add(QStringLiteral("/lab/a.tpd"));
    recent.add(QStringLiteral("/lab/b.tpd"));
    QVERIFY(SettingsFile::update(
        path, [&](IniDocument &ini) { recent.toIni(ini); }, nullptr));
    QCOMPARE(SettingsFile::read(path), settings);
    QCOMPARE(RecentFiles::fromIni(SettingsFile::load(path)).paths(), recent.paths());

    // A shorter list leaves no stale entry behind.
    recent.remove(QStringLiteral("/lab/a.tpd"));
    QVERIFY(SettingsFile::update(
        path, [&](IniDocument &ini) { recent.toIni(ini); }, nullptr));
    QCOMPARE(RecentFiles::fromIni(SettingsFile::load(path)).paths(), QStringList{"/lab/b.tpd"});

    // Writing the window settings again keeps the list.
    QVERIFY(SettingsFile::write(path, settings, nullptr));
    QCOMPARE(RecentFiles::fromIni(SettingsFile::load(path)).paths(), QStringList{"/lab/b.tpd"});
}

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "test_recent_files.moc"
