// The File commands on a program document, without a window.
#include "files/commands/FileCommands.h"
#include "model/ProgramDocument.h"
#include "model/StatusPanel.h"
#include "tests/support/FakeFileView.h"
#include "tests/support/FifoWatchdog.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PathKinds.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TpdTestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <unistd.h>

namespace {
const QString Title = QStringLiteral("Vantrel Assistant Ver.1.01");

// The editor without a window: the program, the prompts and the view.
struct Editor
{
    ProgramDocument document;
    ScriptedPrompts prompts;
    FakeFileView view{document};
    FileCommands commands{document, prompts, view};

    Editor()
    {
        document.initialise();
        document.setInitialTempText(QStringLiteral("0.0"));
    }
};

// What a refused load or save must leave as it was.
struct Snapshot
{
    TemperatureProgram table;
    QString initialTemp, comment, fileName, fileDir, caption, panel0;
    int programNo;
    bool modified;

    explicit Snapshot(const Editor &e)
        : table(e.document.table())
        , initialTemp(e.document.initialTempText())
        , comment(e.document.comment())
        , fileName(e.document.fileName())
        , fileDir(e.commands.startFolder)
        , caption(e.view.caption)
        , panel0(e.view.panels[0])
        , programNo(e.document.programNo())
        , modified(e.document.isModified())
    {}
    bool operator==(const Snapshot &) const = default;
};
}

class TestFileCommands : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString dir() const { return m_dir->path(); }
    QString path(const QString &name) const { return m_dir->filePath(name); }

    void open(Editor &editor, const QString &file)
    {
        editor.prompts.fileAnswers = {file};
        editor.commands.openProgram();
        QCOMPARE(editor.document.fileName(), file);
        editor.prompts.shown.clear();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void captionNamesTheFile_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caption");
        QTest::newRow("open data.old.tpd") << true << "data.old.tpd"
                                           << "data.old.tpd"
                                           << "data.old";
        QTest::newRow("save data.old.tpd") << false << "data.old.tpd"
                                           << "data.old.tpd"
                                           << "data.old";
        QTest::newRow("save without suffix") << false << "ramp test"
                                             << "ramp test.tpd"
                                             << "ramp test";
        QTest::newRow("save with another suffix") << false << "archive.v2"
                                                  << "archive.v2"
                                                  << "archive";
    }

    void captionNamesTheFile()
    {
        QFETCH(bool, open);
        QFETCH(QString, chosen);
        QFETCH(QString, file);
        QFETCH(QString, caption);
        if (open)
            writeBytes(path(file), goldenBytes("example.tpd"));
        Editor editor;
        editor.prompts.fileAnswers = {path(chosen)};
        open ? editor.commands.openProgram() : editor.commands.saveProgramAs();
        QCOMPARE(editor.view.caption, caption + " - " + Title);
        QCOMPARE(editor.document.fileName(), path(file));
        QCOMPARE(editor.view.used, QStringList{path(file)});
        QVERIFY(QFile::exists(path(file)));
    }

    void refusedFileLeavesTheEditorAlone_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<folder>" or "<missing>" for no file
        const QByteArray rows = goldenBytes("example.tpd").mid(goldenBytes("example.tpd").indexOf("\" Mode"));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("Ver1.01") << QByteArray("Ver1.01\r\n3\r\n40.00\r\n") + rows;
        QTest::newRow("ver1.00") << QByteArray("ver1.00\r\n3\r\n40.00\r\n") + rows;
        QTest::newRow("bad program number") << QByteArray("Ver1.00\r\nthree\r\n40.00\r\n") + rows;
        QTest::newRow("bad initial temperature") << QByteArray("Ver1.00\r\n3\r\nwarm\r\n") + rows;
        QTest::newRow("five lines") << QByteArray("Ver1.00\r\n3\r\n40.00\r\n") + rows.left(rows.indexOf("\" Rate"));
        QTest::newRow("a folder") << QByteArray("<folder>");
        QTest::newRow("missing") << QByteArray("<missing>");
    }

    void refusedFileLeavesTheEditorAlone()
    {
        QFETCH(QByteArray, content);
        writeBytes(path("first.tpd"), goldenBytes("comment3.tpd"));
        if (content == "<folder>")
            QVERIFY(QDir(dir()).mkdir("bad.tpd"));
        else if (content != "<missing>")
            writeBytes(path("bad.tpd"), content);
        Editor editor;
        open(editor, path("first.tpd"));
        editor.document.setCell(2, 1, "99.0");
        editor.document.setComment("my notes");
        editor.document.setModified(true);
        const Snapshot before(editor);

        editor.prompts.boxAnswers = {Prompts::Yes};
        editor.prompts.fileAnswers = {path("bad.tpd")};
        editor.commands.openProgram();

        QCOMPARE(editor.prompts.shown.size(), 3);
        QCOMPARE(editor.prompts.shown[2].kind, ScriptedPrompts::Kind::Message);
        QCOMPARE(editor.prompts.shown[2].text.section('\n', 0, 0), QString("Loading error"));
        QVERIFY(Snapshot(editor) == before);
    }

    // A FIFO named as a program file: Open refuses it at once with the
    // reason, and Save as asks nothing about replacing it and refuses it.
    void fifoIsNeitherWaitedOnNorReplaced()
    {
        writeBytes(path("first.tpd"), goldenBytes("comment3.tpd"));
        const QString fifo = makePath(*m_dir, "f.tpd", "fifo");
        Editor editor;
        open(editor, path("first.tpd"));
        const Snapshot before(editor);

        FifoWatchdog watchdog(fifo);
        editor.prompts.fileAnswers = {fifo};
        editor.commands.openProgram();
        QVERIFY2(!watchdog.fired(), "Open waited on the FIFO");
        QCOMPARE(editor.prompts.shown.size(), 2); // the dialog, then the refusal
        QCOMPARE(editor.prompts.shown[1].text, "Loading error\n\"" + fifo + "\" is not a regular file (a FIFO).");
        QVERIFY(Snapshot(editor) == before);

        editor.prompts.shown.clear();
        editor.prompts.fileAnswers = {fifo};
        editor.commands.saveProgramAs();
        QCOMPARE(editor.prompts.shown.size(), 2);
        QCOMPARE(editor.prompts.shown[1].text,
                 "Save error\n\"" + fifo + "\" could not be saved: not a regular file (a FIFO).");
        QCOMPARE(typeOf(fifo), mode_t(S_IFIFO));
        QCOMPARE(editor.document.fileName(), path("first.tpd"));
    }

    // Load then Save as gives the same bytes back.
    void reloadAndSaveGivesTheSameBytes_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        QTest::newRow("example") << "example.tpd"
                                 << "example.tpd";
        QTest::newRow("three-line comment") << "comment3.tpd"
                                            << "comment3.tpd";
        QTest::newRow("code page 932 comment") << "cp932.tpd"
                                               << "cp932.tpd";
        QTest::newRow("no final line end") << "example-no-final-crlf.tpd"
                                           << "example.tpd";
    }

    void reloadAndSaveGivesTheSameBytes()
    {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        writeBytes(path("in.tpd"), goldenBytes(source));
        Editor editor;
        open(editor, path("in.tpd"));
        QCOMPARE(editor.view.panels[StatusPanel::Hint], QString("Loading was completed"));
        QCOMPARE(editor.view.replaced, 1);
        editor.prompts.fileAnswers = {path("out.tpd")};
        editor.commands.saveProgramAs();
        QCOMPARE(readBytes(path("out.tpd")), goldenBytes(expected));
        QCOMPARE(editor.view.saved, 1);
        QVERIFY(!editor.document.isModified());
    }

    // A save that cannot be done says why and leaves every file as it was.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("target"); // chosen in Save as, or empty for Save
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("protectedFile"); // must stay byte-identical
        QTest::addColumn<QString>("reason");        // in the message's second line
        QTest::newRow("name is a folder") << "folder.tpd"
                                          << ""
                                          << "folder.tpd/inside.tpd"
                                          << "a folder of that name exists";
        QTest::newRow("parent is a file") << "plain.txt/prog.tpd"
                                          << ""
                                          << "plain.txt"
                                          << "plain.txt";
        QTest::newRow("read-only folder") << ""
                                          << ""
                                          << "ro/prog.tpd"
                                          << "prog.tpd";
        QTest::newRow("emoji in the comment") << "" << QString::fromUtf8("hot \xF0\x9F\x94\xA5 oven") << "prog.tpd"
                                              << "U+1F525";
        QTest::newRow("symbol outside 932") << "" << QString::fromUtf8("ok\nsnow \xE2\x98\x83") << "prog.tpd"
                                            << "Comment line 2";
    }

    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, comment);
        QFETCH(QString, protectedFile);
        QFETCH(QString, reason);
        const bool readOnly = protectedFile.startsWith("ro/");
        if (readOnly && ::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QVERIFY(QDir(dir()).mkpath("folder.tpd") && QDir(dir()).mkpath("ro"));
        for (const char *name : {"prog.tpd", "ro/prog.tpd", "folder.tpd/inside.tpd", "plain.txt"})
            writeBytes(path(name), goldenBytes("comment3.tpd"));
        QFile::setPermissions(path("ro"), QFile::ReadOwner | QFile::ExeOwner);
        auto restore = qScopeGuard(
            [&] { QFile::setPermissions(path("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });

        Editor editor;
        open(editor, path(readOnly ? "ro/prog.tpd" : "prog.tpd"));
        if (!comment.isEmpty())
            editor.document.setComment(comment);
        editor.document.setModified(true);
        const QStringList filesBefore = QDir(dir()).entryList(QDir::AllEntries | QDir::Hidden);
        const Snapshot expected(editor);
        editor.prompts.boxAnswers = {Prompts::Yes};
        if (!target.isEmpty())
            editor.prompts.fileAnswers = {path(target)};
        target.isEmpty() ? editor.commands.saveProgram() : editor.commands.saveProgramAs();

        const ScriptedPrompts::Shown &last = editor.prompts.shown.constLast();
        QCOMPARE(last.kind, ScriptedPrompts::Kind::Message);
        QCOMPARE(last.text.section('\n', 0, 0), QString("Save error"));
        QVERIFY2(last.text.section('\n', 1).contains(reason), qPrintable(last.text));
        QCOMPARE(readBytes(path(protectedFile)), goldenBytes("comment3.tpd"));
        QCOMPARE(QDir(dir()).entryList(QDir::AllEntries | QDir::Hidden), filesBefore);
        QVERIFY(Snapshot(editor) == expected);
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
