// Help: the manual on F1, where the files live, About; every window it opens
// closes with Escape and reaches its buttons from the keyboard.
#include "app/HelpMenu.h"
#include "tests/support/WindowTest.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QtTest>

class TestHelpMenu : public WindowTest
{
    Q_OBJECT
    QString manualPath() const
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + '/' + UserPlaces::ManualName;
    }

private slots:
    void init()
    {
        QVERIFY(QDir().mkpath(QFileInfo(manualPath()).path()));
        QFile manual(manualPath());
        QVERIFY(manual.open(QIODevice::WriteOnly));
        manual.write("# The manual\n\n## Using the editor\n\nPress F1.\n");
    }

    void cleanup()
    {
        if (m_form)
            closeWindow();
        m_form = nullptr;
    }

    void f1ShowsTheManualAndEscapeClosesIt()
    {
        QVERIFY(openWindow());
        QCOMPARE(QApplication::focusWidget(), grid());
        key(Qt::Key_F1);
        QDialog *manual = m_form->helpMenu()->manualWindow();
        QVERIFY(manual);
        QTRY_VERIFY(manual->isActiveWindow());
        auto *text = manual->findChild<QTextBrowser *>("ManualText");
        QVERIFY(text->toPlainText().contains("Press F1."));
        QCOMPARE(QApplication::focusWidget(), text);
        // Tab leaves the text for the Close button; Escape closes the window.
        key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), manual->findChild<QPushButton *>("Close"));
        key(Qt::Key_Escape);
        QVERIFY(!manual->isVisible());
    }

    void filesAndFoldersNamesThePlaces()
    {
        QVERIFY(openWindow());
        m_form->helpMenu()->filesAndFolders()->trigger();
        QDialog *files = m_form->helpMenu()->filesWindow();
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        const QStringList paths{m_dir.filePath("settings.ini"), config + "/Orrisan/VantrelAssistant/ports",
                                data + "/Orrisan/VantrelAssistant/transfers.jsonl"};
        QString letters; // each button has a letter of its own
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(files->findChild<QLineEdit *>(QStringLiteral("Path%1").arg(i))->text(), paths[i]);
            letters +=
                QKeySequence::mnemonic(files->findChild<QPushButton *>(QStringLiteral("OpenFolder%1").arg(i))->text())
                    .toString();
        }
        QCOMPARE(letters, QString("Alt+SAlt+PAlt+T"));
        QTRY_VERIFY(files->isActiveWindow());
        key(Qt::Key_Escape);
        QVERIFY(!files->isVisible());
    }

    void aboutNamesVersionLicenceAndQt()
    {
        QVERIFY(openWindow());
        m_form->helpMenu()->about()->trigger();
        QCOMPARE(m_prompts->shown.size(), 1);
        QCOMPARE(m_prompts->shown[0].caption, QString("About Vantrel Assistant"));
        const QString text = m_prompts->shown[0].text;
        for (const QString &part : {QString("Ver.1.01"), QString("Licence: proprietary"), QString("Qt ") + qVersion()})
            QVERIFY2(text.contains(part), qPrintable(text));
    }

    void openingAFolder_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("managerOpens");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("opened") << true << true << "";
        QTest::newRow("no file manager") << true << false << "No file manager could open the folder %1.";
        QTest::newRow("not made yet")
            << false << true << "The folder %1 does not exist yet: it is made when something is first kept there.";
    }

    void openingAFolder()
    {
        QFETCH(bool, exists);
        QFETCH(bool, managerOpens);
        QFETCH(QString, message);
        const QString folder = m_dir.filePath("ports");
        QDir(folder).removeRecursively();
        if (exists)
            QVERIFY(QDir().mkpath(folder));
        QMainWindow window;
        ScriptedPrompts prompts;
        QStringList opened;
        HelpMenu help(window.menuBar(), UserPlaces{{}, {}, "s.ini", folder, "t.jsonl"}, prompts, &window,
                      [&](const QString &f) {
                          opened << f;
                          return managerOpens;
                      });
        help.openFolder(folder);
        QCOMPARE(opened, exists ? QStringList{folder} : QStringList{});
        QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList{} : QStringList{message.arg(folder)});
    }

    void aMissingManualSaysWhereItWasLookedFor()
    {
        QMainWindow window;
        ScriptedPrompts prompts;
        const QStringList searched =
            UserPlaces::manualCandidates("/opt/x/bin", {"/home/u/.local/share", "/usr/share", "/usr/share/"});
        QCOMPARE(
            searched,
            QStringList({"/opt/x/share/vantrel-assistant/manual.md", "/home/u/.local/share/vantrel-assistant/manual.md",
                         "/usr/share/vantrel-assistant/manual.md"}));
        HelpMenu help(window.menuBar(), UserPlaces{{}, searched, "s.ini", "ports", "t.jsonl"}, prompts, &window);
        help.contents()->trigger();
        QVERIFY(!help.manualWindow());
        QCOMPARE(prompts.texts(),
                 QStringList{"The manual is not installed. It was looked for as:\n" + searched.join('\n')});
    }
};

QTEST_MAIN(TestHelpMenu)
#include "test_help_menu.moc"
