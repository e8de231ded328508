#include "app/Controls.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "editor/GridEditor.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TpdTestData.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
const QString Title = QStringLiteral("Vantrel Assistant Ver.1.01");

// One prompt as "kind|caption|icon|buttons|text", dialogs as "kind|title|start".
QString describe(const ScriptedPrompts::Shown &s)
{
    using K = ScriptedPrompts::Kind;
    if (s.kind == K::OpenDialog || s.kind == K::SaveDialog)
        return QStringList{s.kind == K::OpenDialog ? "open" : "save", s.caption, s.text}.join(u'|');
    const std::pair<int, char> letters[] = {
        {Prompts::Ok, 'O'}, {Prompts::Yes, 'Y'}, {Prompts::No, 'N'}, {Prompts::Cancel, 'C'}};
    QString buttons;
    for (const auto &[bit, letter] : letters)
        if (s.buttons & bit)
            buttons += QLatin1Char(letter);
    const QString kind = s.kind == K::Box ? "box" : s.kind == K::Error ? "error" : "message";
    const QString icon = s.icon == Prompts::Icon::Question ? "?" : s.icon == Prompts::Icon::Error ? "!" : "";
    return QStringList{kind, s.caption, icon, buttons, s.text}.join(u'|');
}

QStringList described(const ScriptedPrompts &prompts)
{
    QStringList list;
    for (const auto &s : prompts.shown)
        list << describe(s);
    return list;
}

void trigger(TForm1 &form, const char *actionName)
{
    auto *action = form.findChild<QAction *>(QLatin1String(actionName));
    QVERIFY2(action, actionName);
    action->trigger();
}

// Every cell of grid rows 1 to 4.
QStringList gridCells(const TForm1 &form)
{
    QStringList cells;
    for (int row = 1; row <= 4; ++row)
        for (int col = 0; col < form.gridModel()->columnCount(); ++col)
            cells << form.gridModel()->cell(row, col);
    return cells;
}

// What a refused load or save must leave as it was.
struct EditorSnapshot
{
    QStringList cells;
    QString comment, caption, currentFile, fileDir, edit1, panel0;
    int programNo;
    double initialTemp;
    bool modified;

    explicit EditorSnapshot(const TForm1 &f)
        : cells(gridCells(f))
        , comment(f.Memo1()->toPlainText())
        , caption(f.windowTitle())
        , currentFile(f.document().fileName())
        , fileDir(f.fileCommands().startFolder)
        , edit1(f.Edit1()->text())
        , panel0(f.statusBar1()->panelText(StatusPanel::Hint))
        , programNo(f.SpinEdit1()->value())
        , initialTemp(f.document().initialTemp())
        , modified(f.document().isModified())
    {}
    bool operator==(const EditorSnapshot &) const = default;
};

// The example program typed into the grid, with a Ramp time and a Hold
// temperature and rate that the save clears.
void enterExample(TForm1 &form)
{
    SegmentGridModel *m = form.gridModel();
    const QStringList segments[] = {
        {"Ramp", "150.0", "10.0", "1.30"}, {"Hold", "120.0", "5.0", "5.30"}, {"Ramp", "60.0", "20.0", "0.00"}};
    for (int s = 0; s < 3; ++s) {
        m->setMode(s + 1, segments[s][0]);
        for (int row = 2; row <= 4; ++row)
            m->setCell(row, s + 1, segments[s][row - 1]);
    }
    form.SpinEdit1()->setValue(3);
    form.Edit1()->setText("40");
}
}

class TestFileMenu : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString dir() const { return m_dir->path(); }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString iniPath() const { return path("settings.ini"); }

    void openFile(TForm1 &form, ScriptedPrompts &prompts, const QString &file)
    {
        prompts.fileAnswers = {file};
        trigger(form, "Open1");
        QCOMPARE(form.document().fileName(), file);
        prompts.shown.clear();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Every question and answer of the commands, from an editor that holds
    // first.tpd with an edited comment.
    void questions_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QList<int>>("boxAnswers");
        QTest::addColumn<QStringList>("fileAnswers");     // names in the folder
        QTest::addColumn<QStringList>("expectedPrompts"); // %D is the folder
        QTest::addColumn<QString>("savedTo");             // file written, or empty
        QTest::addColumn<QString>("currentFile");         // afterwards, or empty
        QTest::addColumn<QString>("panel0");              // the initial temperature check clears it
        QTest::addColumn<bool>("modifiedAfter");
        QTest::addColumn<bool>("commentKept");

        const QString initQ = "box|Confirmation|?|YN|Are you sure you want to initialize this parameters?";
        const QString deleteQ = "box|Confirmation|?|YN|Are you sure you want to delete the data you are editing ? ";
        const QString overwriteQ =
            "box|Confirmation|?|YNC|The file %D/second.tpd already exists. Do you want to overwrite it ?";
        const QString openD = "open|Open|%D/", saveD = "save|Save as|%D/first.tpd";
        const QString loaded = "Loading was completed", saved = "Save was completed";
        const int Y = Prompts::Yes, N = Prompts::No, C = Prompts::Cancel;
        auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };

        row("new, unchanged") << "N1" << false << QList<int>{} << QStringList{} << QStringList{} << ""
                              << ""
                              << "" << false << false;
        row("new, changed, Yes") << "N1" << true << QList{Y} << QStringList{} << QStringList{initQ} << ""
                                 << ""
                                 << "" << false << false;
        row("new, changed, No") << "N1" << true << QList{N} << QStringList{} << QStringList{initQ} << ""
                                << "first.tpd" << loaded << true << true;
        row("open, unchanged") << "Open1" << false << QList<int>{} << QStringList{"second.tpd"} << QStringList{openD}
                               << ""
                               << "second.tpd" << loaded << false << false;
        row("open, changed, Yes") << "Open1" << true << QList{Y} << QStringList{"second.tpd"}
                                  << QStringList{deleteQ, openD} << ""
                                  << "second.tpd" << loaded << false << false;
        row("open, changed, No") << "Open1" << true << QList{N} << QStringList{"second.tpd"} << QStringList{deleteQ}
                                 << ""
                                 << "first.tpd" << loaded << true << true;
        row("open, changed, Yes, cancelled")
            << "Open1" << true << QList{Y} << QStringList{} << QStringList{deleteQ, openD} << ""
            << "first.tpd" << loaded << true << true;
        row("save") << "Save1" << true << QList<int>{} << QStringList{} << QStringList{} << "first.tpd"
                    << "first.tpd" << saved << false << true;
        row("save as, new name") << "SaveAs1" << true << QList<int>{} << QStringList{"third.tpd"} << QStringList{saveD}
                                 << "third.tpd"
                                 << "third.tpd" << saved << false << true;
        row("save as, cancelled") << "SaveAs1" << true << QList<int>{} << QStringList{} << QStringList{saveD} << ""
                                  << "first.tpd"
                                  << "" << true << true;
        row("save as, overwrite Yes") << "SaveAs1" << true << QList{Y} << QStringList{"second.tpd"}
                                      << QStringList{saveD, overwriteQ} << "second.tpd"
                                      << "second.tpd" << saved << false << true;
        row("save as, overwrite Cancel") << "SaveAs1" << true << QList{C} << QStringList{"second.tpd"}
                                         << QStringList{saveD, overwriteQ} << ""
                                         << "first.tpd"
                                         << "" << true << true;
        row("save as, overwrite No, cancelled")
            << "SaveAs1" << true << QList{N} << QStringList{"second.tpd"} << QStringList{saveD, overwriteQ, saveD} << ""
            << "first.tpd"
            << "" << true << true;
        row("save as, overwrite No, new name") << "SaveAs1" << false << QList{N} << QStringList{"second.tpd", "third"}
                                               << QStringList{saveD, overwriteQ, saveD} << "third.tpd"
                                               << "third.tpd" << saved << false << true;
        row("exit, changed, No")
            << "Exit1" << true << QList{N} << QStringList{}
            << QStringList{"box|Confirmation|?|YN|Data are not saved.Do you finish this application?"} << ""
            << "first.tpd" << loaded << true << true;
    }

    void questions()
    {
        QFETCH(QString, action);
        QFETCH(bool, modified);
        QFETCH(QList<int>, boxAnswers);
        QFETCH(QStringList, fileAnswers);
        QFETCH(QStringList, expectedPrompts);
        QFETCH(QString, savedTo);
        QFETCH(QString, currentFile);
        QFETCH(QString, panel0);
        QFETCH(bool, modifiedAfter);
        QFETCH(bool, commentKept);

        writeBytes(path("first.tpd"), goldenBytes("example.tpd"));
        writeBytes(path("second.tpd"), goldenBytes("comment3.tpd"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        openFile(form, prompts, path("first.tpd"));
        form.Memo1()->setPlainText("edited comment");
        form.document().setModified(modified);

        for (int answer : boxAnswers)
            prompts.boxAnswers << Prompts::Button(answer);
        for (const QString &name : fileAnswers)
            prompts.fileAnswers << path(name);
        trigger(form, qPrintable(action));

        QCOMPARE(described(prompts), expectedPrompts.replaceInStrings("%D", dir()));
        QCOMPARE(form.document().fileName(), currentFile.isEmpty() ? QString() : path(currentFile));
        // New keeps the caption; only a load or a save names another file.
        const QString named = currentFile.isEmpty() ? QString("first") : QFileInfo(currentFile).completeBaseName();
        QCOMPARE(form.windowTitle(), EditorView::markedCaption(named + " - " + Title, modifiedAfter));
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), panel0);
        QCOMPARE(form.document().isModified(), modifiedAfter);
        QCOMPARE(form.Memo1()->toPlainText() == "edited comment", commentKept);
        QCOMPARE(form.fileCommands().startFolder, dir() + "/");
        QCOMPARE(readBytes(path("first.tpd")) == goldenBytes("example.tpd"), savedTo != "first.tpd");
        QCOMPARE(readBytes(path("second.tpd")) == goldenBytes("comment3.tpd"), savedTo != "second.tpd");
        if (!savedTo.isEmpty())
            QVERIFY(readBytes(path(savedTo)).endsWith("\r\nedited comment\r\n"));
        QCOMPARE(QFile::exists(path("third.tpd")), savedTo == "third.tpd");
    }

    void newResetsTheEditor()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        enterExample(form);
        form.gridModel()->insertSlot(2);
        form.ChardDraw();
        form.Memo1()->setPlainText("notes");
        form.Memo1()->setFocus();
        form.document().setFileName(path("old.tpd"));
        form.fileCommands().startFolder = "/somewhere/";
        form.statusBar1()->setPanelText(StatusPanel::Hint, "Save was completed");
        form.statusBar1()->setPanelText(StatusPanel::Transfer, "Sending");
        form.setWindowTitle("old - " + Title);
        form.gridEditor()->modeCombo()->setCurrentIndex(2);
        form.document().setModified(false);

        trigger(form, "N1");

        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(form.gridModel()->columnCount(), 34);
        for (int col = 1; col <= 33; ++col) {
            QCOMPARE(form.gridModel()->cell(1, col), QString(" "));
            QCOMPARE(form.gridModel()->cell(2, col), QString("0.0"));
            QCOMPARE(form.gridModel()->cell(3, col), QString("0.0"));
            QCOMPARE(form.gridModel()->cell(4, col), QString("0.00"));
        }
        QCOMPARE(form.Edit1()->text(), QString("0.0"));
        QCOMPARE(form.document().initialTemp(), 0.0);
        QCOMPARE(form.gridEditor()->modeCombo()->currentIndex(), 0);
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QString());
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Transfer), QString());
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:0min0sec(0.00min)"));
        QVERIFY(form.Chart1()->points().isEmpty());
        QCOMPARE(form.Memo1()->toPlainText(), QString());
        QCOMPARE(form.SpinEdit1()->value(), 0);
        QVERIFY(!form.document().isModified());
        QCOMPARE(form.document().fileName(), QString());
        QCOMPARE(form.fileCommands().startFolder, QString("/somewhere/"));
        QCOMPARE(form.windowTitle(), "old - " + Title);
        QCOMPARE(form.StringGrid1()->currentCol(), 1);
        QCOMPARE(form.StringGrid1()->currentRow(), 1);
        QCOMPARE(QApplication::focusWidget(), form.StringGrid1());
        QVERIFY(form.gridEditor()->modeCombo()->isVisible());
    }

    void openTakesTheWholeFile()
    {
        QVERIFY(QDir(dir()).mkdir("other"));
        writeBytes(path("other/prog.tpd"), goldenBytes("comment3.tpd").replace("\r\n0\r\n25.00", "\r\n9\r\n25.00"));
        writeBytes(path("other/example.tpd"), goldenBytes("example.tpd"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.fileCommands().startFolder = dir() + "/";
        form.Memo1()->setPlainText("old text that goes\nat the end");
        form.Memo1()->moveCursor(QTextCursor::End);

        prompts.fileAnswers = {path("other/prog.tpd")};
        trigger(form, "Open1");
        QCOMPARE(described(prompts), QStringList{"open|Open|" + dir() + "/"});
        QCOMPARE(prompts.lastDialogFilter, QString("TemperatureProgData(*.tpd)|*.tpd"));
        QCOMPARE(form.Memo1()->toPlainText(), QString("Sample A, batch \"7\"\n\n  indented third line"));
        QCOMPARE(form.Memo1()->textCursor().position(), 0);
        QCOMPARE(form.SpinEdit1()->value(), 7);
        QCOMPARE(form.StringGrid1()->currentCol(), 1);
        QCOMPARE(form.StringGrid1()->currentRow(), 2);
        QCOMPARE(QApplication::focusWidget(), form.StringGrid1());
        QVERIFY(form.gridEditor()->modeCombo()->isHidden()); // no Mode cell is current
        QCOMPARE(form.fileCommands().startFolder, dir() + "/other/");
        QCOMPARE(form.windowTitle(), "prog - " + Title);
        QVERIFY(!form.document().isModified());

        // The next dialog starts in the folder of the last file.
        prompts.shown.clear();
        prompts.fileAnswers = {path("other/example.tpd")};
        trigger(form, "Open1");
        QCOMPARE(described(prompts), QStringList{"open|Open|" + dir() + "/other/"});
        QCOMPARE(form.Edit1()->text(), QString("40.00"));
        QCOMPARE(form.document().initialTemp(), 40.0);
        QCOMPARE(form.gridModel()->cell(1, 2), QString("Hold"));
        QCOMPARE(form.gridModel()->cell(4, 2), QString("5.30"));
        QCOMPARE(form.gridModel()->cell(2, 3), QString("60.0"));
        QCOMPARE(form.Memo1()->toPlainText(), QString());
        // 40 to 150 at 10/min, 5 min 30 s, 150 to 60 at 20/min.
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:21min0sec(21.00min)"));
        QCOMPARE(form.Chart1()->points().size(), 33);
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QString("Loading was completed"));
    }

    // A blank in a number row loads, but the chart cannot be drawn: the
    // error is shown and the file is not taken as the current file.
    void unreadableCellAfterLoad()
    {
        writeBytes(path("first.tpd"), goldenBytes("comment3.tpd"));
        writeBytes(path("blank.tpd"), goldenBytes("example.tpd").replace("(deg C)\",150.0,", "(deg C)\",,"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        openFile(form, prompts, path("first.tpd"));
        form.gridEditor()->onEditText(1, 2); // a cell typed in before
        prompts.fileAnswers = {path("blank.tpd")};
        trigger(form, "Open1");

        QCOMPARE(described(prompts).mid(1),
                 QStringList{"error|Vantrel Assistant|!|O|' ' is not a valid floating point value."});
        QCOMPARE(form.gridModel()->cell(2, 1), QString(" "));
        QCOMPARE(form.Edit1()->text(), QString("40.00"));
        QCOMPARE(form.fileCommands().startFolder, dir() + "/");
        QCOMPARE(form.windowTitle(), EditorView::markedCaption("first - " + Title, true));
        // The program differs from what the editor held (another number).
        QVERIFY(form.document().isModified());
        // Neither file is current: Save asks for a name and first.tpd stays.
        QCOMPARE(form.document().fileName(), QString());
        prompts.shown.clear();
        trigger(form, "Save1");
        QCOMPARE(described(prompts), QStringList{"save|Save as|"});
        QCOMPARE(readBytes(path("first.tpd")), goldenBytes("comment3.tpd"));
    }

    // Loaded values are not range-checked, whatever cell was typed in before.
    void loadedValuesAreNotChecked()
    {
        writeBytes(path("hot.tpd"), goldenBytes("example.tpd").replace("(deg C)\",150.0,", "(deg C)\",350.0,"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.gridEditor()->onEditText(1, 2);
        prompts.fileAnswers = {path("hot.tpd")};
        trigger(form, "Open1");
        QCOMPARE(described(prompts), QStringList{"open|Open|"});
        QCOMPARE(form.gridModel()->cell(2, 1), QString("350.0"));
        QCOMPARE(form.StringGrid1()->currentCol(), 1);
        QCOMPARE(form.StringGrid1()->currentRow(), 2);
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QString("Loading was completed"));
        QVERIFY(!form.StringGrid1()->isEditorOpen());
    }

    void saveAfterOpenRewritesInPlace()
    {
        writeBytes(path("prog.tpd"), goldenBytes("example.tpd"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        openFile(form, prompts, path("prog.tpd"));
        form.gridModel()->setCell(2, 1, "151.0");
        form.gridModel()->setCell(4, 1, "2.15"); // a Ramp's time goes as 0.00
        form.document().setModified(true);

        trigger(form, "Save1");
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(readBytes(path("prog.tpd")), goldenBytes("example.tpd").replace(",150.0,", ",151.0,"));
        QCOMPARE(form.gridModel()->cell(4, 1), QString("0.00"));
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QString("Save was completed"));
        QVERIFY(!form.document().isModified());

        // After New there is no current file: Save asks for a name.
        trigger(form, "N1");
        trigger(form, "Save1");
        QCOMPARE(described(prompts), QStringList{"save|Save as|"});
        QCOMPARE(prompts.lastDialogFilter, QString("TemperatureProgData(*.tpd)|*.tpd/tpd"));
        QCOMPARE(form.windowTitle(), "prog - " + Title);
        QCOMPARE(readBytes(path("prog.tpd")), goldenBytes("example.tpd").replace(",150.0,", ",151.0,"));
    }

    // Save and Save as pressed while a typed cell is still open: the cell is
    // checked first, and a file is written only when the check accepts it.
    void saveChecksTheCellTypedIn_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::addColumn<QString>("cellAfter");
        QTest::newRow("save, 350") << "Save1"
                                   << "350"
                                   << " Exceeding the input range."
                                   << "350.0";
        QTest::newRow("save as, 350") << "SaveAs1"
                                      << "350"
                                      << " Exceeding the input range."
                                      << "350.0";
        QTest::newRow("save, emptied") << "Save1"
                                       << "\b"
                                       << ""
                                       << "0.0";
        QTest::newRow("save, 12.") << "Save1"
                                   << "12."
                                   << ""
                                   << "12.0";
    }

    void saveChecksTheCellTypedIn()
    {
        QFETCH(QString, action);
        QFETCH(QString, keys);
        QFETCH(QString, message);
        QFETCH(QString, cellAfter);
        writeBytes(path("prog.tpd"), goldenBytes("example.tpd"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        openFile(form, prompts, path("prog.tpd"));
        SegmentGrid *grid = form.StringGrid1();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(form.gridModel()->index(2, 1)).center());
        for (QChar k : keys)
            QTest::keyClick(QApplication::focusWidget(), k == u'\b' ? Qt::Key_Backspace : Qt::Key(k.toLatin1()));
        QVERIFY(grid->isEditorOpen());
        prompts.fileAnswers = {path("prog.tpd")};
        prompts.boxAnswers = {Prompts::Yes}; // overwrite
        trigger(form, qPrintable(action));

        QCOMPARE(form.gridModel()->cell(2, 1), cellAfter);
        if (message.isEmpty()) {
            QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QString("Save was completed"));
            QCOMPARE(readBytes(path("prog.tpd")),
                     goldenBytes("example.tpd").replace(",150.0,", "," + cellAfter.toLatin1() + ","));
        } else {
            QCOMPARE(prompts.texts().last(), message);
            QCOMPARE(prompts.shown.last().kind, ScriptedPrompts::Kind::Error);
            QCOMPARE(readBytes(path("prog.tpd")), goldenBytes("example.tpd"));
            QVERIFY(grid->isEditorOpen()); // back on the rejected value
            QCOMPARE(grid->currentIndex(), form.gridModel()->index(2, 1));
        }
        form.document().setModified(false);
    }

    void saveKeepsTheCurrentCellAndTheModeList()
    {
        writeBytes(path("prog.tpd"), goldenBytes("example.tpd"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        openFile(form, prompts, path("prog.tpd"));
        SegmentGrid *grid = form.StringGrid1();
        QComboBox *combo = form.gridEditor()->modeCombo();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(form.gridModel()->index(1, 4)).center());
        const QRect comboPlace = combo->geometry();
        QVERIFY(combo->isVisible());

        trigger(form, "Save1");
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QString("Save was completed"));
        QCOMPARE(grid->currentIndex(), form.gridModel()->index(1, 4));
        QVERIFY(combo->isVisible());
        QCOMPARE(combo->geometry(), comboPlace);
        // The Mode list still works on its cell, and so do the keys.
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(form.gridModel()->cell(1, 4), QString("Ramp"));
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex(), form.gridModel()->index(2, 4));
        QTest::keyClick(grid, Qt::Key_7);
        QCOMPARE(form.gridModel()->cell(2, 4), QString("7"));
        form.document().setModified(false);
    }

    void savedExampleIsByteExact()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        enterExample(form);
        prompts.fileAnswers = {path("example")};
        trigger(form, "Save1");
        QCOMPARE(readBytes(path("example.tpd")), goldenBytes("example.tpd"));
        QCOMPARE(form.Edit1()->text(), QString("40.00"));
        // The normalised cells stay in the grid.
        QCOMPARE(form.gridModel()->cell(4, 1), QString("0.00"));
        QCOMPARE(form.gridModel()->cell(2, 2), QString("0.0"));
        QCOMPARE(form.gridModel()->cell(3, 2), QString("0.0"));
    }

    void badInitialTempStopsTheSave_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("textAfter");
        QTest::newRow("save, 350") << "Save1"
                                   << "350"
                                   << " Exceeding the input range."
                                   << "350.00";
        QTest::newRow("save as, 350") << "SaveAs1"
                                      << "350"
                                      << " Exceeding the input range."
                                      << "350.00";
        QTest::newRow("save, 1,5") << "Save1"
                                   << "1,5"
                                   << "This value is not appropriate."
                                   << "1,5";
        QTest::newRow("save as, empty") << "SaveAs1"
                                        << ""
                                        << "This value is not appropriate."
                                        << "";
    }

    void badInitialTempStopsTheSave()
    {
        QFETCH(QString, action);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, textAfter);
        writeBytes(path("prog.tpd"), goldenBytes("example.tpd"));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        openFile(form, prompts, path("prog.tpd"));
        form.Edit1()->setText(text);
        form.document().setModified(true);
        prompts.fileAnswers = {path("other.tpd")};
        trigger(form, qPrintable(action));
        QCOMPARE(described(prompts), QStringList{"message|Vantrel Assistant||O|" + message});
        QCOMPARE(form.Edit1()->text(), textAfter);
        QCOMPARE(readBytes(path("prog.tpd")), goldenBytes("example.tpd"));
        QVERIFY(!QFile::exists(path("other.tpd")));
        QVERIFY(form.document().isModified());
    }
};

QTEST_MAIN(TestFileMenu)
#include "test_file_menu.moc"
