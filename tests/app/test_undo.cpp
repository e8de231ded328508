#include "app/Controls.h"
#include "app/MenuKeys.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "editor/GridEditor.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

// Undo and Redo in the window: the menu, the keys where a person presses
// them, and the parts that report changes, start a fresh history or lock it.
class TestUndo : public WindowTest
{
    Q_OBJECT
    QAction *undo() const { return m_form->findChild<QAction *>("Undo1"); }
    QString totalTime() const { return m_form->statusBar1()->panelText(StatusPanel::TotalTime); }
    QPoint cellCentre(int col, int row) const { return grid()->visualRect(model()->index(row, col)).center(); }
    void clickCell(int col, int row)
    {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(col, row));
    }
    void type(const char *keys)
    {
        for (const char *c = keys; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
    }
    void deleteSlotFromMenu(int col)
    {
        const QPoint pos = cellCentre(col, 0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, grid()->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(grid()->viewport(), &event);
        m_form->gridEditor()->deleteSlotAction()->trigger();
        m_form->gridEditor()->contextMenu()->hide();
    }
    const QStringList ramp60{"Ramp", "60.0", "20.0", "0.00"}; // segment 2 of the example

private slots:
    void init()
    {
        QVERIFY(openExampleWindow());
        QCOMPARE(model()->cell(2, 1), QString("150.0"));
    }

    void cleanup() { closeWindow(); }

    void editMenuStandsBetweenFileAndCommunication()
    {
        QStringList menus;
        for (QAction *a : m_form->menuBar()->actions())
            menus << MenuKeys::plainCaption(a->text());
        QCOMPARE(menus, (QStringList{"File", "Edit", "View", "Communication", "Help"}));
        QCOMPARE(m_form->editMenu()->actions().first(), undo());
        QCOMPARE(undo()->iconText(), QString("Undo"));
        QVERIFY(!undo()->isEnabled());
    }

    void deletedSlotComesBackWithCtrlZ()
    {
        const QStringList hold = column(2);
        const QList<QPointF> points = m_form->Chart1()->points();
        const QString total = totalTime();
        clickCell(5, 2);
        deleteSlotFromMenu(2);
        QCOMPARE(column(2), ramp60);
        QCOMPARE(undo()->iconText(), QString("Undo Delete segment 1"));

        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(column(2), hold);
        QCOMPARE(m_form->Chart1()->points(), points);
        QCOMPARE(totalTime(), total);
        QCOMPARE(grid()->currentIndex(), model()->index(1, 2));
        QVERIFY(!m_form->document().isModified()); // back to the file as loaded

        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(column(2), ramp60);
        QVERIFY(m_form->document().isModified());
        QVERIFY(m_prompts->shown.isEmpty());
    }

    void typedValueUndoneAndRedone()
    {
        const QString total = totalTime();
        clickCell(1, 2);
        type("120");
        clickCell(1, 3); // the check accepts it
        const QString changedTotal = totalTime();
        clickCell(3, 3);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(model()->cell(2, 1), QString("150.0"));
        QCOMPARE(grid()->currentIndex(), model()->index(2, 1));
        QCOMPARE(totalTime(), total);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(model()->cell(2, 1), QString("120.0"));
        QCOMPARE(totalTime(), changedTotal);
    }

    void ctrlZInAnOpenCellEditorIsTheEditors()
    {
        clickCell(3, 2);
        type("3");
        clickCell(1, 2);
        type("12");
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid()->editor()->text(), QString("150.0"));
        QCOMPARE(model()->cell(2, 1), QString("150.0"));
        QCOMPARE(model()->cell(2, 3), QString("3.0")); // the step before is still there
        QCOMPARE(undo()->iconText(), QString("Undo Temp.(deg C) of segment 2"));
    }

    void modeListAndInsertReportTheirChanges()
    {
        clickCell(4, 1);
        QComboBox *combo = m_form->gridEditor()->modeCombo();
        combo->setCurrentIndex(2);
        emit combo->activated(2);
        QCOMPARE(undo()->iconText(), QString("Undo Mode of segment 3"));
        m_form->gridEditor()->popupCol = 2;
        m_form->gridEditor()->insertSlotAction()->trigger();
        QCOMPARE(undo()->iconText(), QString("Undo Insert segment 1"));
    }

    void otherControlsReportTheirChanges()
    {
        m_form->history().setClock([] { return qint64(0); });
        m_form->Memo1()->setFocus();
        type("ab");
        QCOMPARE(undo()->iconText(), QString("Undo Comment typing"));
        key(Qt::Key_Z, Qt::ControlModifier); // the program's Undo, not the memo's own
        QCOMPARE(m_form->Memo1()->toPlainText(), QString());
        QVERIFY(m_form->findChild<QAction *>("Redo1")->isEnabled());

        m_form->SpinEdit1()->setFocus();
        key(Qt::Key_Up);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_form->SpinEdit1()->value(), 3);

        m_form->Edit1()->setFocus();
        m_form->Edit1()->selectAll();
        type("55");
        key(Qt::Key_Return); // on to the grid, through the check
        QCOMPARE(undo()->iconText(), QString("Undo Initial temp."));
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_form->Edit1()->text(), QString("40.00"));
        QCOMPARE(m_form->Chart1()->points().first(), QPointF(0, 40));
    }

    void newOpenAndTransfers()
    {
        deleteSlotFromMenu(2);
        m_form->enterTransferState();
        QVERIFY(!undo()->isEnabled());
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(column(2), ramp60);
        m_form->ButtanReset();
        QVERIFY(undo()->isEnabled());

        m_prompts->boxAnswers = {Prompts::Yes, Prompts::Yes};
        m_form->findChild<QAction *>("N1")->trigger();
        QVERIFY(!undo()->isEnabled());
        deleteSlotFromMenu(2);
        m_prompts->fileAnswers = {QStringLiteral(VANTREL_GOLDEN_DIR "/example.tpd")};
        m_form->findChild<QAction *>("Open1")->trigger();
        QVERIFY(!undo()->isEnabled());
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
