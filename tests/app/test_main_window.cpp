#include "app/ChartPanelSplitter.h"
#include "app/Controls.h"
#include "app/EditorView.h"
#include "app/MenuKeys.h"
#include "app/QtPrompts.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "editor/GridEditor.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "files/SettingsFile.h"
#include "tests/support/ScriptedPrompts.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <clocale>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Drags the handle under the chart by dy pixels, as a person's mouse does.
void dragHandle(TForm1 &form, int dy)
{
    QSplitterHandle *handle = form.chartPanelSplitter()->handle(1);
    const QPoint from = handle->rect().center();
    auto mouse = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, handle->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    };
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, from + QPoint(0, dy), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, from + QPoint(0, dy), Qt::NoButton);
}

}

class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString iniPath() const { return m_dir.filePath("VantrelAssistant.ini"); }

private slots:
    void init() { QFile::remove(iniPath()); }

    void firstStartWithoutSettings()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        QCOMPARE(form.windowTitle(), QString("Vantrel Assistant Ver.1.01"));
        QCOMPARE(form.pos(), QPoint(0, 0));
        QCOMPARE(form.size(), QSize(770, 490));
        QCOMPARE(form.minimumSize(), QSize(770, 490));
        QCOMPARE(form.SpinEdit1()->value(), 0);
        QCOMPARE(form.PortNo(), 0);
        QVERIFY(!form.document().isModified());
        QCOMPARE(form.Edit1()->text(), QString("0.0"));
        QCOMPARE(form.Edit1()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::TotalTime),
                 QString::fromUtf8("Total time\xEF\xBC\x9A"
                                   "0min0sec(0.00min)"));
        QVERIFY(form.Chart1()->points().isEmpty());
        QCOMPARE(form.gridModel()->columnCount(), 33);
        QCOMPARE(form.gridModel()->cell(1, 0), QString(" Mode"));
        QCOMPARE(form.gridModel()->cell(0, 33), QString("32"));
        QVERIFY(!form.toolButton(5)->isEnabled());
        QVERIFY(!form.Timer1()->isActive());
        QCOMPARE(form.Timer1()->interval(), 200);
        QVERIFY(form.statusBar1()->progressBar()->isHidden());

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Port), QString("COM0"));
        QCOMPARE(QApplication::focusWidget(), form.StringGrid1());
        // The size and the minimum are the whole window's, frame included
        // (the offscreen platform draws a frame of 2 pixels).
        const QSize frame = form.frameGeometry().size() - form.size();
        QVERIFY(!frame.isEmpty());
        QTRY_COMPARE(form.frameGeometry().size(), QSize(770, 490));
        QCOMPARE(form.minimumSize() + frame, QSize(770, 490));

        // Closing with nothing changed asks nothing and writes all eight keys.
        QVERIFY(form.close());
        QVERIFY(prompts.shown.isEmpty());
        const AppSettings written = SettingsFile::read(iniPath());
        QCOMPARE(written.width, 770);
        QCOMPARE(written.comPortIndex, 0);
        const QByteArray text = readFile(iniPath());
        for (const char *key :
             {"Left=", "Top=", "Width=", "Height=", "ComPortNo=", "ComPortIndex=", "PrgNo=", "FileDir="})
            QVERIFY2(text.contains(key), key);
    }

    void startWithSettings()
    {
        writeFile(iniPath(),
                  "[Window]\r\nLeft=0x10\r\nTop=12\r\nWidth=500\r\nHeight=600\r\n"
                  "[System]\r\nComPortNo=5\r\nComPortIndex=2\r\nPrgNo=3\r\nFileDir=/tmp/x/\r\n"
                  "[Other]\r\nKeep=me\r\n");
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        QCOMPARE(form.pos(), QPoint(16, 12));
        QCOMPARE(form.size(), QSize(770, 600));
        QCOMPARE(form.SpinEdit1()->value(), 3);
        QCOMPARE(form.PortNo(), 5);
        QCOMPARE(form.fileCommands().startFolder, QString("/tmp/x/"));
        QVERIFY(form.document().isModified()); // program number 3 counts as a change

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Port), QString("COM5"));
        QTRY_COMPARE(form.frameGeometry().size(), QSize(770, 600));

        // The close question: No keeps the window, Yes closes it.
        prompts.boxAnswers = {Prompts::No};
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].caption, QString("Confirmation"));
        QCOMPARE(prompts.shown[0].text, QString("Data are not saved.Do you finish this application?"));
        QCOMPARE(prompts.shown[0].icon, Prompts::Icon::Question);
        QCOMPARE(prompts.shown[0].buttons, int(Prompts::Yes | Prompts::No));
        prompts.boxAnswers = {Prompts::Yes};
        QVERIFY(form.close());

        // The list position read at start-up goes back unchanged; other content stays.
        const AppSettings written = SettingsFile::read(iniPath());
        QCOMPARE(written.comPortIndex, 2);
        QCOMPARE(written.comPortNo, 5);
        QCOMPARE(written.prgNo, 3);
        QCOMPARE(QSize(written.width, written.height), QSize(770, 600));
        QVERIFY(readFile(iniPath()).contains("Keep=me"));
    }

    void programNumberChangesMarkTheProgram()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        QVERIFY(!form.document().isModified());
        form.SpinEdit1()->stepUp();
        form.SpinEdit1()->stepDown();
        QCOMPARE(form.SpinEdit1()->value(), 0);
        QVERIFY(form.document().isModified());
    }

    // The desktop's mark of unsaved changes, after the file's name.
    void captionMarksUnsavedChanges_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("title");
        const QString app = "Vantrel Assistant Ver.1.01";
        QTest::newRow("unchanged") << "anneal2 - " + app << false << "anneal2 - " + app;
        QTest::newRow("changed") << "anneal2 - " + app << true << "anneal2[*] - " + app;
        QTest::newRow("changed, no file") << app << true << app + " [*]";
        QTest::newRow("unchanged, no file") << app << false << app;
    }

    void captionMarksUnsavedChanges()
    {
        QFETCH(QString, caption);
        QFETCH(bool, modified);
        QFETCH(QString, title);
        QCOMPARE(EditorView::markedCaption(caption, modified), title);
    }

    void spinEditTakesNoTyping()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        form.SpinEdit1()->setFocus();
        QTest::keyClick(form.SpinEdit1(), Qt::Key_5);
        QCOMPARE(form.SpinEdit1()->value(), 0);
        QTest::keyClick(form.SpinEdit1(), Qt::Key_Up);
        QCOMPARE(form.SpinEdit1()->value(), 1);
        form.SpinEdit1()->setValue(9);
        QCOMPARE(form.SpinEdit1()->value(), 7);
    }

    void commentEditsMarkTheProgram()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        form.Memo1()->setFocus();
        QTest::keyClick(form.Memo1(), Qt::Key_A);
        QVERIFY(form.document().isModified());
        form.document().setModified(false);
        // Delete removes text without typing a character: still a change.
        form.Memo1()->moveCursor(QTextCursor::Start);
        QTest::keyClick(form.Memo1(), Qt::Key_Delete);
        QVERIFY(form.document().isModified());
        form.document().setModified(false);
        form.Memo1()->setPlainText("loaded text"); // a load is not an edit
        QVERIFY(!form.document().isModified());
    }

    void statusBarResizeRule_data()
    {
        QTest::addColumn<int>("barWidth");
        QTest::addColumn<int>("panel1");
        QTest::newRow("laid-out width") << 754 << 259;
        QTest::newRow("just enough") << 496 << 1;
        QTest::newRow("none left") << 495 << 0;
        QTest::newRow("narrow") << 100 << 0;
    }

    void statusBarResizeRule()
    {
        QFETCH(int, barWidth);
        QFETCH(int, panel1);
        StatusBar1 bar;
        bar.resize(barWidth, StatusBar1::Height);
        bar.show();
        QCOMPARE(bar.panelWidth(StatusPanel::Transfer), panel1);
        QCOMPARE(bar.panelWidth(StatusPanel::Hint), 215);
        QCOMPARE(bar.panelWidth(StatusPanel::TotalTime), 215);
        QCOMPARE(bar.panelWidth(StatusPanel::Port), 65);
        QCOMPARE(bar.progressBar()->geometry(), QRect(360, 6, 100, 15));
    }

    void statusBarIsAStatusBarToAssistiveTechnology()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(form.statusBar1());
        QVERIFY(bar);
        QCOMPARE(bar->role(), QAccessible::StatusBar);
        // Its panels are labels that read their text.
        QStringList panels;
        for (int i = 0; i < bar->childCount(); ++i) {
            QAccessibleInterface *child = bar->child(i);
            if (child->role() == QAccessible::StaticText)
                panels << child->text(QAccessible::Name);
        }
        QVERIFY2(panels.contains(QString::fromUtf8("Total time\xEF\xBC\x9A"
                                                   "0min0sec(0.00min)")),
                 qPrintable(panels.join('|')));
        QVERIFY2(panels.contains("COM0"), qPrintable(panels.join('|')));
    }

    void controlsCarryTheirNames()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        const QList<QPair<QString, QString>> named = {{"Edit1", "Initial temp."},  {"SpinEdit1", "Program No."},
                                                      {"StringGrid1", "Segments"}, {"Memo1", "Comment"},
                                                      {"Chart1", "Profile chart"}, {"ToolButton1", "New"},
                                                      {"ToolButton2", "Open"},     {"ToolButton3", "Save"},
                                                      {"ToolButton4", "Send"},     {"ToolButton5", "Stop"}};
        for (const auto &[name, accessible] : named) {
            auto *w = form.findChild<QWidget *>(name);
            QVERIFY2(w, qPrintable(name));
            QCOMPARE(w->accessibleName(), accessible);
        }
        const QList<QPair<QString, QString>> actions = {
            {"N1", "New"},      {"Open1", "Open"}, {"Save1", "Save"},           {"SaveAs1", "Save as"},
            {"Exit1", "Exit."}, {"N4", "Send"},    {"N6", "Com. port settings"}};
        for (const auto &[name, caption] : actions) {
            auto *a = form.findChild<QAction *>(name);
            QVERIFY2(a, qPrintable(name));
            QCOMPARE(MenuKeys::plainCaption(a->text()), caption);
        }
        QCOMPARE(MenuKeys::plainCaption(form.F1()->title()), QString("File"));
        QCOMPARE(MenuKeys::plainCaption(form.C1()->title()), QString("Communication"));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(form.toolButton(i)->focusPolicy(), Qt::NoFocus);
    }

    void chartFollowsTheGridAndKeepsItsLastPictureOnBadCells()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        SegmentGridModel *model = form.gridModel();
        form.document().setInitialTemp(25);
        model->setCell(1, 1, "Ramp");
        model->setCell(2, 1, "100.0");
        model->setCell(3, 1, "5.0");
        form.guarded([&] { form.ChardDraw(); });
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:15min0sec(15.00min)"));
        QCOMPARE(form.Chart1()->points().size(), 33);
        QCOMPARE(form.Chart1()->points().at(1), QPointF(15, 100));

        model->setCell(3, 20, ".");
        form.guarded([&] { form.ChardDraw(); });
        QCOMPARE(prompts.texts(), QStringList{"'.' is not a valid floating point value."});
        QCOMPARE(prompts.shown[0].caption, QString("Vantrel Assistant"));
        QCOMPARE(prompts.shown[0].icon, Prompts::Icon::Error);
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:15min0sec(15.00min)"));
        QCOMPARE(form.Chart1()->points().at(1), QPointF(15, 100));
    }

    void chartHasItsHeightAtStartAndGrowsWithTheWindow()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(form.frameGeometry().size(), QSize(770, 490));
        QCOMPARE(form.Chart1()->height(), 144);
        QCOMPARE(form.findChild<QWidget *>("Panel1")->height(), 49);
        QCOMPARE(form.StringGrid1()->height(), 129);
        // The window 100 pixels higher: half for the chart, half for the
        // comment and the segment times above it.
        const QWidget *times = form.findChild<QWidget *>("SegmentTimes");
        const int memo = form.Memo1()->height() + times->height();
        form.resize(form.width(), form.height() + 100);
        QTRY_COMPARE(form.Chart1()->height(), 194);
        QCOMPARE(form.Memo1()->height() + times->height(), memo + 50);
        // Nobody moved the handle: nothing of it is written.
        QVERIFY(form.close());
        QVERIFY(!readFile(iniPath()).contains("ChartPanel"));
    }

    void contentScrollsBelowTheSizeItNeeds()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(form.frameGeometry().size(), QSize(770, 490));
        QScrollBar *bar = form.contentScroller()->verticalScrollBar();
        QCOMPARE(bar->maximum(), 0); // at the minimum size every band fits
        // A screen lower than the minimum (a small one, or scale 2) holds
        // the window to its height: the content scrolls.
        form.setMinimumSize(0, 0);
        form.resize(770, 300);
        QTRY_VERIFY(bar->maximum() > 0);
        QWidget *viewport = form.contentScroller()->viewport();
        auto reachable = [viewport](QWidget *w) {
            const QRect inViewport(w->mapTo(viewport, QPoint(0, 0)), w->size());
            return viewport->rect().contains(inViewport);
        };
        // Tab from the grid to the comment brings the comment's caret into view.
        bar->setValue(0);
        form.StringGrid1()->setFocus();
        QTest::keyClick(form.StringGrid1(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.Memo1());
        const QRect caret = form.Memo1()->cursorRect();
        QTRY_VERIFY(
            viewport->rect().contains(QRect(form.Memo1()->viewport()->mapTo(viewport, caret.topLeft()), caret.size())));
        bar->setValue(bar->maximum());
        QVERIFY(reachable(form.statusBar1()));
        // Shift+Tab back to the grid brings all its rows into view.
        bar->setValue(0);
        form.Memo1()->setFocus();
        QTest::keyClick(form.Memo1(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), form.StringGrid1());
        QTRY_VERIFY(reachable(form.StringGrid1()));
        // The Mode list lies over its cell wherever the content is scrolled to.
        QComboBox *modes = form.gridEditor()->modeCombo();
        QTRY_VERIFY(modes->isVisible());
        const QModelIndex modeCell = form.gridModel()->index(1, 1);
        QCOMPARE(modes->mapTo(&form, QPoint(0, 0)),
                 form.StringGrid1()->viewport()->mapTo(&form, form.StringGrid1()->visualRect(modeCell).topLeft()));
    }

    void chartGrowsAtTheFirstSize()
    {
        // The comment gives way down to two lines; past that the content
        // grows and scrolls, the other bands keeping their heights.
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(form.frameGeometry().size(), QSize(770, 490));
        dragHandle(form, 60);
        QTRY_COMPARE(form.Chart1()->height(), 144 + 60);
        QTRY_COMPARE(form.Memo1()->height(), form.Memo1()->minimumHeight());
        // The segments' end times keep their line.
        const auto *times = form.findChild<QWidget *>("SegmentTimes");
        QVERIFY(times->contentsRect().height() >= times->fontMetrics().lineSpacing());
        QCOMPARE(form.StringGrid1()->height(), 129);
        QCOMPARE(form.findChild<QWidget *>("Panel1")->height(), 49);
        QCOMPARE(form.frameGeometry().size(), QSize(770, 490));
        QVERIFY(form.close());
        const QByteArray ini = readFile(iniPath()).replace("\r", "");
        QVERIFY2(ini.contains("[ChartPanel]\nHeight=204\nWindowHeight=490\n"), ini.constData());
    }

    void movedHandleIsKept()
    {
        writeFile(iniPath(), "[Window]\r\nHeight=600\r\n[Other]\r\nKeep=me\r\n");
        const int dragged = 144 + 115;
        {
            ScriptedPrompts prompts;
            TForm1 form(prompts, iniPath());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QTRY_COMPARE(form.frameGeometry().size(), QSize(770, 600));
            // At start-up the chart has its own height whatever the window's.
            QCOMPARE(form.Chart1()->height(), 144);
            dragHandle(form, 115);
            QTRY_COMPARE(form.Chart1()->height(), dragged);
            QVERIFY(form.close());
        }
        const QByteArray text = readFile(iniPath());
        QVERIFY2(
            text.contains(QStringLiteral("[ChartPanel]\r\nHeight=%1\r\nWindowHeight=600\r\n").arg(dragged).toUtf8()),
            text.constData());
        QVERIFY(text.contains("[Other]\r\nKeep=me\r\n"));
        {
            ScriptedPrompts prompts;
            TForm1 form(prompts, iniPath());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QTRY_COMPARE(form.frameGeometry().size(), QSize(770, 600));
            QCOMPARE(form.Chart1()->height(), dragged);
            QVERIFY(form.close());
        }
        // Closing again keeps the same height.
        QVERIFY(readFile(iniPath()).contains(QStringLiteral("Height=%1\r\nWindowHeight=600").arg(dragged).toUtf8()));
    }

    void fileDialogsShowTheFilterOnce()
    {
        QtPrompts prompts;
        TForm1 form(prompts, iniPath());
        prompts.setParent(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QStringList seen;
        // Read each dialog as it opens, then cancel it.
        auto readAndCancel = [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            seen << dialog->windowTitle() + ": " + dialog->nameFilters().join(";;") + " ["
                    + dialog->findChild<QComboBox *>("fileTypeCombo")->currentText() + "]";
            dialog->reject();
        };
        for (const char *action : {"Open1", "SaveAs1"}) {
            QTimer::singleShot(0, &form, readAndCancel);
            form.findChild<QAction *>(action)->trigger();
        }
        QCOMPARE(seen,
                 QStringList({"Open: TemperatureProgData(*.tpd) [TemperatureProgData(*.tpd)]",
                              "Save as: TemperatureProgData(*.tpd) [TemperatureProgData(*.tpd)]"}));
    }

    void unwritableSettingsStillClose()
    {
        // The settings path's folder is a plain file: nothing can be written there.
        const QString blocker = m_dir.filePath("blocker");
        writeFile(blocker, "x");
        ScriptedPrompts prompts;
        TForm1 form(prompts, blocker + "/VantrelAssistant.ini");
        form.show();
        QVERIFY(form.close());
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
        QVERIFY(prompts.shown[0].text.contains("VantrelAssistant.ini"));
    }

    void commaLocaleKeepsThePoint()
    {
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            QSKIP("no German locale installed");
        QLocale::setDefault(QLocale(QLocale::German));
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.gridModel()->setCell(1, 1, "Hold");
        form.gridModel()->setCell(4, 1, "1.30");
        form.guarded([&] { form.ChardDraw(); });
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:1min30sec(1.50min)"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
