#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "editor/GridEditor.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "tests/support/GridDriving.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowTest.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

// Editing the program as a person does: real clicks on cells and real keys.
class TestGridEditing : public WindowTest
{
    Q_OBJECT
    QString cell(int row, int col) const { return model()->cell(row, col); }
    QString hint() const { return m_form->statusBar1()->panelText(StatusPanel::Hint); }

    QPoint cellCentre(int col, int row) const { return GridDriving::cellCentre(grid(), col, row); }
    void clickCell(int col, int row) { GridDriving::clickCell(grid(), col, row); }
    void rightClickCell(int col, int row)
    {
        const QPoint pos = cellCentre(col, row);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, grid()->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(grid()->viewport(), &event);
    }
    // Keys go where the focus is, as they do for a person.
    void type(const QString &keys)
    {
        for (QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    void setSlot(int slot, const QString &mode, const QString &temp, const QString &rate, const QString &time)
    {
        GridDriving::setSlot(model(), slot, mode, temp, rate, time);
    }

private slots:
    void init() { QVERIFY(openWindow(GridDriving::RampThenHold)); }

    void cleanup() { closeWindow(); }

    void typingKeepsOneDecimal()
    {
        clickCell(1, 2);
        QCOMPARE(hint(), QString("Input range:0 - 300.0 deg C"));
        type("12.34");
        QCOMPARE(cell(2, 1), QString("12.3"));
        QVERIFY(m_form->document().isModified());
        clickCell(1, 3); // leaving the cell checks it
        QCOMPARE(cell(2, 1), QString("12.3"));
        QCOMPARE(hint(), QString("Input range:0 - 20.0 deg C/min"));
        QVERIFY(m_prompts->shown.isEmpty());
    }

    void digitsBeforeThePointPassAndTheCheckRejectsFourOfThem()
    {
        clickCell(1, 2);
        type("12.3");
        press(Qt::Key_Home);
        type("12");
        QCOMPARE(cell(2, 1), QString("1212.3"));
        clickCell(2, 4);
        // Exactly one box, and the editor open again on the rejected value.
        QCOMPARE(m_prompts->texts(), QStringList{" Exceeding the input range."});
        QCOMPARE(m_prompts->shown[0].caption, QString("Vantrel Assistant"));
        QCOMPARE(m_prompts->shown[0].icon, Prompts::Icon::Error);
        QCOMPARE(grid()->currentIndex(), model()->index(2, 1));
        QVERIFY(grid()->isEditorOpen());
        QCOMPARE(grid()->editor()->text(), QString("1212.3"));
        QCOMPARE(grid()->editor()->selectedText(), QString("1212.3"));
        // Correcting it and moving on is accepted.
        type("250");
        clickCell(1, 3);
        QCOMPARE(cell(2, 1), QString("250.0"));
        QCOMPARE(m_prompts->shown.size(), 1);
    }

    void valuesAreRewrittenInTheirForm_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("cellText");
        QTest::newRow("5 -> 5.0") << 1 << 2 << "100.0"
                                  << "5"
                                  << "5.0";
        QTest::newRow("point refused, digit replaces") << 1 << 3 << "5.0"
                                                       << ".5"
                                                       << "5.0";
        QTest::newRow("emptied cell") << 1 << 2 << "100.0"
                                      << "\b"
                                      << "0.0";
    }

    void valuesAreRewrittenInTheirForm()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, cellText);
        model()->setCell(row, col, before);
        clickCell(col, row);
        if (keys == "\\b") {
            type("1");
            press(Qt::Key_Backspace);
        } else {
            type(keys);
        }
        clickCell(col + 1, 1);
        QCOMPARE(cell(row, col), cellText);
        QVERIFY(m_prompts->shown.isEmpty());
    }

    void outOfRangeValues_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("temperature 350") << 1 << 2 << "350"
                                         << "350.0";
        QTest::newRow("time 99.60") << 2 << 4 << "99.60"
                                    << "99.60";
    }

    void outOfRangeValues()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        clickCell(col, row);
        type(keys);
        press(Qt::Key_Up); // move to the Mode cell above
        QCOMPARE(m_prompts->texts(), QStringList{" Exceeding the input range."});
        QCOMPARE(cell(row, col), shown);
        QCOMPARE(grid()->currentIndex(), model()->index(row, col));
        QVERIFY(grid()->isEditorOpen());
    }

    void keyFilterInATimeCell()
    {
        model()->setCell(4, 2, "5");
        clickCell(2, 4);
        type("1");
        QCOMPARE(cell(4, 2), QString("1")); // the whole text was selected
        type(".");
        QCOMPARE(cell(4, 2), QString("1."));
        type("2");
        type("3");
        type("4"); // two decimals are full
        QCOMPARE(cell(4, 2), QString("1.23"));
        // Three digits after the caret: "." would give three decimals.
        grid()->editor()->setText("123");
        grid()->editor()->setCursorPosition(0);
        type(".");
        QCOMPARE(grid()->editor()->text(), QString("123"));
        grid()->editor()->setCursorPosition(1);
        type(".");
        QCOMPARE(grid()->editor()->text(), QString("1.23"));
    }

    void pastedOrCutTextMarksTheProgram()
    {
        clickCell(1, 2);
        clickCell(1, 2); // a click on the current cell opens its editor
        QVERIFY(grid()->isEditorOpen());
        m_form->document().setModified(false);
        QApplication::clipboard()->setText("77");
        grid()->editor()->selectAll();
        grid()->editor()->paste(); // what the editor's context menu runs
        QCOMPARE(cell(2, 1), QString("77"));
        QVERIFY(m_form->document().isModified());
        m_form->document().setModified(false);
        grid()->editor()->selectAll();
        grid()->editor()->cut();
        QCOMPARE(cell(2, 1), QString(""));
        QVERIFY(m_form->document().isModified());
    }

    void deleteKeyAsX11SendsIt()
    {
        clickCell(1, 2);
        type("123");
        press(Qt::Key_Home);
        m_form->document().setModified(false);
        // X11 gives the Delete key the text "\x7F".
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7F"));
        QApplication::sendEvent(grid()->editor(), &press);
        QCOMPARE(cell(2, 1), QString("23"));
        QVERIFY(m_form->document().isModified());
    }

    void pointIsRefusedWhenTheOpenedTextHasOne()
    {
        clickCell(1, 2);
        type(".");
        QCOMPARE(cell(2, 1), QString("100.0"));
        QVERIFY(!grid()->isEditorOpen() || grid()->editor()->text() == "100.0");
    }

    void editingFollowsTheMode_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("hint");
        QTest::newRow("ramp temperature") << 1 << 2 << true << "Input range:0 - 300.0 deg C";
        QTest::newRow("hold time") << 2 << 4 << true << "Input range:0.00 - 99.59(min.sec)";
        QTest::newRow("unset temperature") << 3 << 2 << false << "";
        QTest::newRow("mode cell") << 2 << 1 << false << "";
    }

    void editingFollowsTheMode()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(bool, editable);
        QFETCH(QString, hint);
        m_form->setHint("something");
        clickCell(col, row);
        QCOMPARE(this->hint(), hint);
        type("7");
        QCOMPARE(grid()->isEditorOpen(), editable);
        QCOMPARE(cell(row, col) == "7", editable);
    }

    void inactiveCellsArePaintedGrey()
    {
        // The grey of inactive cells is painted over an unset slot's text.
        const QImage image = grid()->viewport()->grab().toImage();
        const QRect unsetTemp = grid()->visualRect(model()->index(2, 3));
        QCOMPARE(image.pixelColor(unsetTemp.center()).rgb(), grid()->palette().color(QPalette::Midlight).rgb());
        const QRect rampTemp = grid()->visualRect(model()->index(2, 1));
        QCOMPARE(image.pixelColor(rampTemp.topLeft() + QPoint(3, 3)), QColor(Qt::white));
    }

    void columnsPastTheSlotsAreShownButNotEdited()
    {
        rightClickCell(1, 0);
        m_form->gridEditor()->contextMenu()->hide();
        m_form->gridEditor()->insertSlotAction()->trigger();
        m_form->gridEditor()->insertSlotAction()->trigger(); // column 34 now holds the former slot 32
        model()->setCell(1, 34, "Ramp");
        model()->setCell(2, 34, "77.0");
        clickCell(34, 2);
        type("5");
        QVERIFY(!grid()->isEditorOpen());
        QCOMPARE(cell(2, 34), QString("77.0"));
        const QImage image = grid()->viewport()->grab().toImage();
        const QRect rect = grid()->visualRect(model()->index(2, 34));
        QCOMPARE(image.pixelColor(rect.topLeft() + QPoint(3, 3)).rgb(),
                 grid()->palette().color(QPalette::Midlight).rgb());
        bool textDrawn = false;
        for (int x = rect.left(); x < rect.right(); ++x)
            textDrawn = textDrawn || image.pixelColor(x, rect.center().y()).lightness() < 100;
        QVERIFY(textDrawn);
    }

    void labelsStayInViewWhenTheGridScrolls()
    {
        // The label column as it looks before scrolling, inside its grid lines.
        const QPoint origin = grid()->viewport()->geometry().topLeft();
        const QRect labels(origin + QPoint(1, 1), QSize(grid()->columnWidth(0) - 2, 5 * SegmentGrid::RowHeight - 2));
        const QImage before = grid()->grab().toImage().copy(labels);
        QScrollBar *bar = grid()->horizontalScrollBar();
        bar->setValue(bar->maximum());
        QVERIFY(bar->value() > 0);
        QCOMPARE(grid()->grab().toImage().copy(labels), before);
        QCOMPARE(grid()->indexAt(QPoint(10, 50)).column(), 0);
        // The segment number above the last slot column is still row 0.
        const QRect last = grid()->visualRect(model()->index(2, 32));
        QCOMPARE(grid()->indexAt(QPoint(last.center().x(), 5)), model()->index(0, 32));
        QCOMPARE(grid()->grab().toImage().pixelColor(origin + QPoint(last.center().x(), 2)),
                 grid()->palette().color(QPalette::Button).toRgb());

        // New from the scrolled grid: slot 0 stands right of the labels again.
        m_form->document().setModified(false);
        m_form->N1Click();
        QCOMPARE(grid()->visualRect(model()->index(1, 1)).left(), grid()->columnWidth(0));
        QCOMPARE(grid()->grab().toImage().copy(labels), before);
    }

    void modeListSetsTheMode()
    {
        clickCell(1, 1);
        QComboBox *combo = m_form->gridEditor()->modeCombo();
        QVERIFY(combo->isVisible());
        QCOMPARE(combo->currentText(), QString("Ramp"));
        m_form->document().setModified(false);
        combo->setCurrentIndex(0); // " "
        emit combo->activated(0);
        QCOMPARE(cell(1, 1), QString(" "));
        QCOMPARE(cell(2, 1), QString("0"));
        QCOMPARE(cell(3, 1), QString("0"));
        QCOMPARE(cell(4, 1), QString("0"));
        QVERIFY(m_form->document().isModified());
        QCOMPARE(m_form->statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:1min30sec(1.50min)"));
        clickCell(1, 2);
        QVERIFY(!combo->isVisible());
    }

    void modeListItemsAreFifteenPixelsHigh()
    {
        clickCell(1, 1);
        QComboBox *combo = m_form->gridEditor()->modeCombo();
        combo->showPopup();
        QAbstractItemView *list = combo->view();
        QTRY_VERIFY(list->isVisible());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(list->visualRect(list->model()->index(i, 0)).height(), SegmentGrid::RowHeight - 5);
        combo->hidePopup();
    }

    void contextMenuOnlyOnNumbersAndModes_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("shown");
        QTest::newRow("segment number 3") << 4 << 0 << true;
        QTest::newRow("mode of slot 0") << 1 << 1 << true;
        QTest::newRow("temperature") << 4 << 2 << false;
        QTest::newRow("time") << 2 << 4 << false;
        QTest::newRow("mode label") << 0 << 1 << false;
    }

    void contextMenuOnlyOnNumbersAndModes()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(bool, shown);
        const QModelIndex before = grid()->currentIndex();
        rightClickCell(col, row);
        QMenu *menu = m_form->gridEditor()->contextMenu();
        QCOMPARE(menu->isVisible(), shown);
        QCOMPARE(m_form->gridEditor()->popupCol, col);
        if (shown)
            QCOMPARE(m_form->gridEditor()->segmentNumberAction()->text(),
                     QStringLiteral("Segment No. %1").arg(col - 1));
        QCOMPARE(grid()->currentIndex(), before); // a right-click does not move the cell
        menu->hide();
    }

    void insertAndDeleteThroughTheMenu()
    {
        rightClickCell(1, 0); // segment number 0
        m_form->document().setModified(false);
        m_form->gridEditor()->insertSlotAction()->trigger();
        QCOMPARE(model()->columnCount(), 34);
        QCOMPARE(cell(1, 1), QString(" "));
        QCOMPARE(cell(1, 2), QString("Ramp"));
        QCOMPARE(cell(1, 3), QString("Hold"));
        QVERIFY(m_form->document().isModified());
        QCOMPARE(m_form->statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:21min30sec(21.50min)"));

        rightClickCell(2, 1);
        m_form->gridEditor()->contextMenu()->hide();
        m_form->gridEditor()->deleteSlotAction()->trigger();
        QCOMPARE(cell(1, 2), QString("Hold"));
        QCOMPARE(cell(0, 2), QString("1"));
        QCOMPARE(model()->columnCount(), 34);
    }

    void enterMovesRightAndOpensTheNextEditor()
    {
        setSlot(2, "Ramp", "50.0", "2.0", "0.00");
        clickCell(1, 2);
        type("60");
        press(Qt::Key_Return);
        QCOMPARE(grid()->currentIndex(), model()->index(2, 2)); // the Hold's temperature: not editable
        QVERIFY(!grid()->isEditorOpen());
        QCOMPARE(cell(2, 1), QString("60.0"));
        press(Qt::Key_Return);
        QCOMPARE(grid()->currentIndex(), model()->index(2, 3)); // a Ramp's temperature: editor opens
        QVERIFY(grid()->isEditorOpen());
        QCOMPARE(grid()->editor()->selectedText(), QString("50.0"));
    }

    void leavingTheGridChecksAndClearsTheHint()
    {
        clickCell(1, 2);
        type("400");
        m_form->Edit1()->setFocus();
        QCOMPARE(m_prompts->texts(), QStringList{" Exceeding the input range."});
        QVERIFY(grid()->hasFocus() || grid()->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(!grid()->gridExited());

        type("\b\b\b40");
        m_form->Edit1()->setFocus();
        QCOMPARE(cell(2, 1), QString("40.0"));
        QVERIFY(grid()->gridExited());
        QCOMPARE(hint(), QString("Input range:0 - 300.0 deg C")); // Edit1's own hint
    }

    void chartFollowsTheEditorWhenItCloses()
    {
        m_form->document().setInitialTemp(0);
        clickCell(1, 3);
        type("10");
        press(Qt::Key_Up);
        QCOMPARE(m_form->statusBar1()->panelText(StatusPanel::TotalTime), QString("Total time:11min30sec(11.50min)"));
    }

    void initialTemperatureField_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("25") << "25"
                            << "25.00" << 25.0 << "";
        QTest::newRow("0") << "0"
                           << "0.00" << 0.0 << "";
        QTest::newRow("300") << "300"
                             << "300.00" << 300.0 << "";
        QTest::newRow("300.001") << "300.001"
                                 << "300.00" << 300.001 << " Exceeding the input range.";
        QTest::newRow("minus cannot be typed") << "-5"
                                               << "5.00" << 5.0 << "";
        QTest::newRow("comma") << "1,5"
                               << "1,5" << 0.0 << "This value is not appropriate.";
        QTest::newRow("percent") << "12%"
                                 << "12%" << 0.0 << "This value is not appropriate.";
        QTest::newRow("empty") << ""
                               << "" << 0.0 << "This value is not appropriate.";
    }

    void initialTemperatureField()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(QString, message);
        InitialTempField *edit = m_form->Edit1();
        edit->setFocus();
        QCOMPARE(hint(), QString("Input range:0 - 300.0 deg C"));
        edit->selectAll();
        press(Qt::Key_Backspace);
        m_form->document().setModified(false);
        type(keys);
        QCOMPARE(m_form->document().isModified(), !keys.isEmpty());
        press(Qt::Key_Return); // moves on to the grid, which runs the exit check once
        QCOMPARE(edit->text(), text);
        QCOMPARE(m_form->document().initialTemp(), value);
        if (message.isEmpty()) {
            QVERIFY(m_prompts->shown.isEmpty());
            QVERIFY(grid()->hasFocus());
        } else {
            QCOMPARE(m_prompts->texts(), QStringList{message});
            QCOMPARE(m_prompts->shown[0].kind, ScriptedPrompts::Kind::Message);
            QVERIFY(edit->hasFocus());
            QCOMPARE(edit->selectedText(), text);
            QCOMPARE(hint(), QString("Input range:0 - 300.0 deg C"));
        }
    }

    void initTempCheckForSaveAndSend()
    {
        m_form->Edit1()->setText("350");
        m_form->Edit1()->checkInitialTempField();
        QVERIFY(m_form->document().initialTempError());
        QCOMPARE(m_form->document().initialTemp(), 350.0);
        QCOMPARE(m_prompts->texts(), QStringList{" Exceeding the input range."});
        m_form->Edit1()->setText("40");
        m_form->Edit1()->checkInitialTempField();
        QVERIFY(!m_form->document().initialTempError());
        QCOMPARE(m_form->Edit1()->text(), QString("40.00"));
    }
};

QTEST_MAIN(TestGridEditing)
#include "test_grid_editing.moc"
