#include "Controls.h"
#include "GridEditor.h"
#include "InitialTempField.h"
#include "ProfileChart.h"
#include "ProgramHistory.h"
#include "ScriptedPrompts.h"
#include "SegmentGrid.h"
#include "SegmentGridModel.h"
#include "StatusBar1.h"
#include "TForm1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

// Undo and Redo in the window: the menu, the keys where a person presses
// them, and the window's parts that start a fresh history or lock it.
class TestUndo : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompts *m_prompts = nullptr;
    TForm1 *m_form = nullptr;

    SegmentGrid *grid() const { return m_form->StringGrid1(); }
    SegmentGridModel *model() const { return m_form->gridModel(); }
    QAction *action(const char *name) const { return m_form->findChild<QAction *>(QLatin1String(name)); }
    QString totalTime() const { return m_form->statusBar1()->panelText(2); }
    QStringList column(int col) const
    {
        QStringList cells;
        for (int row = 1; row <= 4; ++row)
            cells << model()->cell(row, col);
        return cells;
    }
    QPoint cellCentre(int col, int row) const
    {
        grid()->scrollTo(model()->index(row, col));
        return grid()->visualRect(model()->index(row, col)).center();
    }
    void clickCell(int col, int row) { QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(col, row)); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), k, mods); }
    void type(const QString &keys)
    {
        for (QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    void deleteSlotFromMenu(int col)
    {
        const QPoint pos = cellCentre(col, 0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, grid()->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(grid()->viewport(), &event);
        m_form->gridEditor()->Delete1()->trigger();
        m_form->gridEditor()->PopupMenu1()->hide();
    }

private slots:
    void init()
    {
        m_prompts = new ScriptedPrompts;
        m_form = new TForm1(*m_prompts, m_dir.filePath("settings.ini"));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        m_form->openFromCommandLine(QStringLiteral(VANTREL_GOLDEN_DIR "/example.tpd"));
        QVERIFY(!m_form->DataModified);
        QCOMPARE(model()->cell(2, 1), QString("150.0"));
    }

    void cleanup()
    {
        m_form->DataModified = false;
        delete m_form;
        delete m_prompts;
    }

    void editMenuStandsBetweenFileAndCommunication()
    {
        QStringList menus;
        for (QAction *a : m_form->menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"File", "Edit", "Communication"}));
        QCOMPARE(m_form->editMenu()->actions(), (QList<QAction *>{action("Undo1"), action("Redo1")}));
        QCOMPARE(action("Undo1")->text(), QString("Undo"));
        QVERIFY(!action("Undo1")->isEnabled());
    }

    void deletedSlotComesBackWithCtrlZ()
    {
        const QStringList hold = column(2);
        const QList<QPointF> points = m_form->Chart1()->points();
        const QString total = totalTime();
        clickCell(5, 2);
        deleteSlotFromMenu(2);
        QCOMPARE(column(2), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
        QVERIFY(m_form->DataModified);
        QCOMPARE(action("Undo1")->text(), QString("Undo Delete segment 1"));

        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(column(2), hold);
        QCOMPARE(m_form->Chart1()->points(), points);
        QCOMPARE(totalTime(), total);
        QCOMPARE(grid()->currentIndex(), model()->index(1, 2));
        QVERIFY(!m_form->DataModified); // back to the file as loaded
        QVERIFY(m_prompts->shown.isEmpty());

        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(column(2), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
        QVERIFY(m_form->DataModified);
    }

    void typedValueUndoneAndRedone()
    {
        const QString total = totalTime();
        clickCell(1, 2);
        type("120");
        clickCell(1, 3); // the check accepts it
        QCOMPARE(model()->cell(2, 1), QString("120.0"));
        const QString changedTotal = totalTime();
        QVERIFY(changedTotal != total);
        clickCell(3, 3);

        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(model()->cell(2, 1), QString("150.0"));
        QCOMPARE(grid()->currentIndex(), model()->index(2, 1));
        QCOMPARE(totalTime(), total);
        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(model()->cell(2, 1), QString("120.0"));
        QCOMPARE(totalTime(), changedTotal);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // nothing left to redo
        QCOMPARE(model()->cell(2, 1), QString("120.0"));
    }

    void ctrlZInAnOpenCellEditorUndoesTheTyping()
    {
        clickCell(3, 2);
        type("3");
        clickCell(1, 2);
        type("12");
        QVERIFY(grid()->isEditorOpen());
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid()->editor()->text(), QString("150.0"));
        QCOMPARE(model()->cell(2, 1), QString("150.0"));
        // The step before it is still there: the editor's Undo was not the program's.
        QCOMPARE(model()->cell(2, 3), QString("3.0"));
        QCOMPARE(action("Undo1")->text(), QString("Undo Temp.(deg C) of segment 2"));
    }

    void commentAndProgramNumberTakeCtrlZFromTheirControls()
    {
        m_form->history().setClock([] { return qint64(0); });
        m_form->Memo1()->setFocus();
        m_form->Memo1()->moveCursor(QTextCursor::End);
        const QString comment = m_form->Memo1()->toPlainText();
        type("ab");
        QCOMPARE(action("Undo1")->text(), QString("Undo Comment typing"));
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_form->Memo1()->toPlainText(), comment);
        QCOMPARE(action("Redo1")->text(), QString("Redo Comment typing")); // the program's Undo, not the memo's

        m_form->SpinEdit1()->setFocus();
        key(Qt::Key_Up);
        QCOMPARE(m_form->SpinEdit1()->value(), 4);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_form->SpinEdit1()->value(), 3);
        QVERIFY(!m_form->DataModified);
    }

    void commentMenuOffersTheProgramsUndo()
    {
        QWidget *viewport = m_form->Memo1()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(viewport, &event);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(action("Undo1")));
        QVERIFY(menu->actions().contains(action("Redo1")));
        int undoItems = 0;
        for (QAction *a : menu->actions())
            undoItems += a->text().contains("Undo") ? 1 : 0;
        QCOMPARE(undoItems, 1); // the memo's own Undo is gone
        menu->close();
    }

    void initialTempUndone()
    {
        m_form->Edit1()->setFocus();
        m_form->Edit1()->selectAll();
        type("55");
        key(Qt::Key_Return); // on to the grid, through the check
        QCOMPARE(m_form->Edit1()->text(), QString("55.00"));
        QCOMPARE(m_form->InitialTemp, 55.0);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_form->Edit1()->text(), QString("40.00"));
        QCOMPARE(m_form->InitialTemp, 40.0);
        QCOMPARE(m_form->Chart1()->points().first(), QPointF(0, 40));
    }

    void newAndOpenStartAFreshHistory()
    {
        deleteSlotFromMenu(2);
        m_prompts->boxAnswers = {Prompts::Yes};
        action("N1")->trigger();
        QVERIFY(!action("Undo1")->isEnabled());
        deleteSlotFromMenu(2);
        m_prompts->boxAnswers = {Prompts::Yes};
        m_prompts->fileAnswers = {QStringLiteral(VANTREL_GOLDEN_DIR "/example.tpd")};
        action("Open1")->trigger();
        QVERIFY(!action("Undo1")->isEnabled());
    }

    void lockedDuringATransfer()
    {
        deleteSlotFromMenu(2);
        m_form->enterTransferState();
        QVERIFY(!action("Undo1")->isEnabled());
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(column(2), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
        m_form->ButtanReset();
        QVERIFY(action("Undo1")->isEnabled());
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
