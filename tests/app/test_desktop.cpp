// Opening from outside the window: a file named on the command line, a file
// dropped on the window, the recent files, and the window's icon.
#include "app/ProgramDrop.h"
#include "app/RecentFilesMenu.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "files/IniDocument.h"
#include "files/SettingsFile.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TpdTestData.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
const QString Title = QStringLiteral("Vantrel Assistant Ver.1.01");
const QString DeleteQuestion = QStringLiteral("Are you sure you want to delete the data you are editing ? ");

// Drags `urls` over `target` and drops them; returns whether the drag was accepted.
bool dragAndDrop(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    data.setText(urls.isEmpty() ? QString() : urls.first().toLocalFile());
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

QStringList menuTexts(const TForm1 &form)
{
    QStringList texts;
    for (QAction *action : form.recentFiles()->menu()->actions())
        texts << action->text();
    return texts;
}
}

class TestDesktop : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString iniPath() const { return path("settings.ini"); }
    QString program(const QString &name)
    {
        writeBytes(path(name), goldenBytes("example.tpd"));
        return path(name);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void droppedFile_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one program") << QList{QUrl::fromLocalFile("/lab/a.tpd")} << "/lab/a.tpd";
        QTest::newRow("suffix in capitals") << QList{QUrl::fromLocalFile("/lab/A.TPD")} << "/lab/A.TPD";
        QTest::newRow("other file") << QList{QUrl::fromLocalFile("/lab/a.txt")} << "";
        QTest::newRow("no suffix") << QList{QUrl::fromLocalFile("/lab/tpd")} << "";
        QTest::newRow("two programs") << QList{QUrl::fromLocalFile("/a.tpd"), QUrl::fromLocalFile("/b.tpd")} << "";
        QTest::newRow("remote") << QList{QUrl("https://example.invalid/a.tpd")} << "";
        QTest::newRow("nothing") << QList<QUrl>{} << "";
    }

    void droppedFile()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, expected);
        QCOMPARE(droppedProgramFile(urls), expected);
    }

    // A start with a remembered program number counts as changed; the file
    // named on the command line still opens without a question.
    void commandLineOpens()
    {
        AppSettings settings;
        settings.prgNo = 3;
        QVERIFY(SettingsFile::write(iniPath(), settings, nullptr));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        QVERIFY(form.document().isModified());
        form.openFromCommandLine(program("bake.tpd"));
        QCOMPARE(prompts.texts(), QStringList());
        QCOMPARE(form.document().fileName(), path("bake.tpd"));
        QCOMPARE(form.windowTitle(), "bake - " + Title);
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QStringLiteral("Loading was completed"));
        QVERIFY(!form.document().isModified());
    }

    void commandLineMissingFile()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.openFromCommandLine(path("gone.tpd"));
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY(prompts.shown[0].text.startsWith("Loading error\n"));
        QCOMPARE(form.windowTitle(), Title);
        QVERIFY(form.document().fileName().isEmpty());
    }

    void dropOpensAfterTheQuestion_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<bool>("opened");
        QTest::newRow("unchanged") << false << QList<int>{} << QStringList{} << true;
        QTest::newRow("changed, Yes") << true << QList{int(Prompts::Yes)} << QStringList{DeleteQuestion} << true;
        QTest::newRow("changed, No") << true << QList{int(Prompts::No)} << QStringList{DeleteQuestion} << false;
    }

    void dropOpensAfterTheQuestion()
    {
        QFETCH(bool, modified);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, questions);
        QFETCH(bool, opened);
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.document().setModified(modified);
        for (int answer : answers)
            prompts.boxAnswers << Prompts::Button(answer);
        // Dropped on the comment, which would otherwise take the name as text.
        QVERIFY(dragAndDrop(form.Memo1()->viewport(), {QUrl::fromLocalFile(program("bake.tpd"))}));
        QCOMPARE(prompts.texts(), questions);
        QCOMPARE(form.document().fileName(), opened ? path("bake.tpd") : QString());
        QVERIFY(!form.Memo1()->toPlainText().contains("bake"));
    }

    void dropRefused_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("transfer");
        QTest::newRow("other file") << QStringList{"notes.txt"} << false;
        QTest::newRow("two programs") << QStringList{"a.tpd", "b.tpd"} << false;
        QTest::newRow("during a transfer") << QStringList{"a.tpd"} << true;
    }

    void dropRefused()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, transfer);
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        QList<QUrl> urls;
        for (const QString &name : names)
            urls << QUrl::fromLocalFile(program(name));
        if (transfer)
            form.enterTransferState();
        QVERIFY(!dragAndDrop(form.Memo1()->viewport(), urls));
        QVERIFY(!dragAndDrop(&form, urls));
        if (transfer)
            form.ButtanReset();
        QCOMPARE(prompts.texts(), QStringList());
        QVERIFY(form.document().fileName().isEmpty());
        QVERIFY(form.Memo1()->toPlainText().isEmpty());
    }

    // Opened and saved files, newest first, kept for the next start; a file
    // that has gone is taken off the list with a message when picked.
    void recentFiles()
    {
        ScriptedPrompts prompts;
        auto form = std::make_unique<TForm1>(prompts, iniPath());
        QCOMPARE(menuTexts(*form), QStringList{"(none)"});
        for (const char *name : {"a.tpd", "b.tpd", "c.tpd"})
            form->openFromCommandLine(program(name));
        prompts.fileAnswers = {path("saved.tpd")};
        form->findChild<QAction *>("SaveAs1")->trigger();
        QCOMPARE(menuTexts(*form), (QStringList{"&1 saved.tpd", "&2 c.tpd", "&3 b.tpd", "&4 a.tpd"}));

        form = std::make_unique<TForm1>(prompts, iniPath());
        QCOMPARE(menuTexts(*form), (QStringList{"&1 saved.tpd", "&2 c.tpd", "&3 b.tpd", "&4 a.tpd"}));
        form->recentFiles()->menu()->actions().at(3)->trigger(); // a.tpd
        QCOMPARE(form->document().fileName(), path("a.tpd"));
        QCOMPARE(menuTexts(*form).first(), QStringLiteral("&1 a.tpd"));

        QVERIFY(QFile::remove(path("b.tpd")));
        prompts.shown.clear();
        form->recentFiles()->menu()->actions().at(3)->trigger(); // b.tpd
        QCOMPARE(prompts.texts(),
                 QStringList{"The file " + path("b.tpd")
                             + " no longer exists.\nIt has been removed from the recent files."});
        QCOMPARE(form->document().fileName(), path("a.tpd"));
        QCOMPARE(menuTexts(*form), (QStringList{"&1 a.tpd", "&2 saved.tpd", "&3 c.tpd"}));
        QCOMPARE(RecentFiles::fromIni(SettingsFile::load(iniPath())).paths(),
                 (QStringList{path("a.tpd"), path("saved.tpd"), path("c.tpd")}));
    }

    void recentFilesLockedDuringTransfer()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.openFromCommandLine(program("a.tpd"));
        form.N1Click();
        form.enterTransferState();
        QVERIFY(!form.recentFiles()->menu()->menuAction()->isEnabled());
        QAction *entry = form.recentFiles()->menu()->actions().at(0);
        QVERIFY(!entry->isEnabled());
        entry->trigger();
        QVERIFY(form.document().fileName().isEmpty());
        form.ButtanReset();
        QVERIFY(form.recentFiles()->menu()->menuAction()->isEnabled());
        QVERIFY(form.recentFiles()->menu()->actions().at(0)->isEnabled());
    }

    void windowCarriesTheIcon()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        const QIcon icon = form.windowIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(256, 256)));
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
