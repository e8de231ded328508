#include "app/MenuKeys.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "app/WindowFrameSizing.h"
#include "editor/GridEditor.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "tests/support/GridDriving.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowTest.h"

#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

// The window as a person at the keyboard meets it: pastes, Tab, the Mode
// list, Escape, the context menu from the keyboard, the menus' letters and
// shortcuts, and the window's size on a small screen.
class TestKeyboard : public WindowTest
{
    Q_OBJECT
    QComboBox *modeList() const { return m_form->gridEditor()->modeCombo(); }
    QString cell(int row, int col) const { return model()->cell(row, col); }
    int undoSteps() const { return m_form->history().stack().count(); }

    void clickCell(int col, int row) { GridDriving::clickCell(grid(), col, row); }
    void setSlot(int slot, const QString &mode, const QString &temp, const QString &rate, const QString &time)
    {
        GridDriving::setSlot(model(), slot, mode, temp, rate, time);
    }

private slots:
    void init()
    {
        QVERIFY(openWindow(GridDriving::RampThenHold));
        m_form->history().reset();
        m_form->document().setModified(false);
    }

    void cleanup() { closeWindow(); }

    // Qt 6.4's text control crashed on data without formats (an empty
    // clipboard, or one whose owner has gone): the whole program was lost.
    void pasteIntoTheComment_data()
    {
        QTest::addColumn<QString>("format"); // "" : no format at all
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("comment");
        QTest::newRow("empty clipboard") << QString() << QByteArray() << "kept";
        QTest::newRow("an image only") << "image/png" << QByteArray("\x89PNG") << "kept";
        QTest::newRow("a foreign format") << "application/x-other" << QByteArray("bytes") << "kept";
        QTest::newRow("markdown") << "text/markdown" << QByteArray("*x*") << "kept";
        QTest::newRow("plain text") << "text/plain" << QByteArray("12.5") << "kept12.5";
        QTest::newRow("rich text is taken as its text") << "text/html" << QByteArray("<b>hot</b>") << "kepthot";
    }

    void pasteIntoTheComment()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, data);
        QFETCH(QString, comment);
        auto *mime = new QMimeData;
        if (!format.isEmpty())
            mime->setData(format, data);
        QApplication::clipboard()->setMimeData(mime);
        m_form->Memo1()->setPlainText("kept");
        m_form->Memo1()->moveCursor(QTextCursor::End);

        // The sequence that crashed: a temperature cell's editor open, Ctrl+A
        // and Ctrl+C there (the cell's key filter takes neither), then Ctrl+V
        // in the comment.
        clickCell(1, 2);
        clickCell(1, 2);
        QVERIFY(grid()->isEditorOpen());
        key(Qt::Key_A, Qt::ControlModifier);
        key(Qt::Key_C, Qt::ControlModifier);
        QTest::mouseClick(m_form->Memo1()->viewport(), Qt::LeftButton);
        m_form->Memo1()->moveCursor(QTextCursor::End);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_form->Memo1()->toPlainText(), comment);
        QCOMPARE(cell(2, 1), QString("100.0"));
    }

    void tabLeavesTheComment()
    {
        m_form->Memo1()->setPlainText("note");
        m_form->Memo1()->setFocus();
        m_form->Memo1()->moveCursor(QTextCursor::End);
        key(Qt::Key_Tab);
        QVERIFY(!m_form->Memo1()->hasFocus());
        QCOMPARE(m_form->Memo1()->toPlainText(), QString("note"));
        m_form->Memo1()->setFocus();
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(m_form->Memo1()->toPlainText(), QString("note"));
        m_form->Memo1()->setFocus();
        key(Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(m_form->Memo1()->hasFocus());
        QCOMPARE(m_form->Memo1()->toPlainText(), QString("note\t"));
    }

    void keysChooseTheMode_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("temp");
        QTest::newRow("R on an unset slot") << 2 << Qt::Key_R << "Ramp"
                                            << "0.0";
        QTest::newRow("H on a Ramp") << 0 << Qt::Key_H << "Hold"
                                     << "100.0";
        QTest::newRow("Space unsets") << 0 << Qt::Key_Space << " "
                                      << "0";
    }

    void keysChooseTheMode()
    {
        QFETCH(int, slot);
        QFETCH(Qt::Key, key);
        QFETCH(QString, mode);
        QFETCH(QString, temp);
        clickCell(slot + 1, 1);
        const QString totalBefore = m_form->statusBar1()->panelText(StatusPanel::TotalTime);
        this->key(key);
        QCOMPARE(cell(1, slot + 1), mode);
        QCOMPARE(cell(2, slot + 1), temp);
        QVERIFY(m_form->document().isModified());
        QCOMPARE(undoSteps(), 1);
        QCOMPARE(modeList()->currentText(), mode);
        QVERIFY(m_form->statusBar1()->panelText(StatusPanel::TotalTime) != totalBefore || slot == 2);
        m_form->history().undo();
        QCOMPARE(cell(1, slot + 1), slot == 2 ? QString(" ") : QString("Ramp"));
    }

    void modeListGivesTheArrowsBack()
    {
        clickCell(3, 1);
        QVERIFY(modeList()->isVisible());
        modeList()->setFocus(); // clicked into
        modeList()->setCurrentIndex(1);
        emit modeList()->activated(1); // Ramp picked
        QCOMPARE(cell(1, 3), QString("Ramp"));
        QCOMPARE(QApplication::focusWidget(), grid());
        key(Qt::Key_Down);
        QCOMPARE(grid()->currentRow(), 2);
        QCOMPARE(cell(1, 3), QString("Ramp"));
    }

    void wheelOverTheModeListChangesNothing()
    {
        clickCell(1, 1);
        QVERIFY(modeList()->isVisible());
        QVERIFY(!modeList()->hasFocus());
        const QPoint centre = modeList()->rect().center();
        QWheelEvent wheel(centre, modeList()->mapToGlobal(centre), {}, QPoint(0, -120), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(modeList(), &wheel);
        QCOMPARE(cell(1, 1), QString("Ramp"));
        QCOMPARE(modeList()->currentText(), QString("Ramp"));
        QVERIFY(!m_form->document().isModified());
    }

    void escapeGivesTheCellItsTextBack()
    {
        clickCell(1, 2);
        clickCell(1, 2);
        QVERIFY(grid()->isEditorOpen());
        QTest::keyClicks(grid()->editor(), "55");
        QCOMPARE(cell(2, 1), QString("55"));
        key(Qt::Key_Escape);
        QCOMPARE(cell(2, 1), QString("100.0"));
        QCOMPARE(grid()->editor()->text(), QString("100.0"));
    }

    void contextMenuFromTheKeyboard_data()
    {
        QTest::addColumn<bool>("editorOpen");
        QTest::addColumn<bool>("menuKey"); // else Shift+F10
        QTest::newRow("Shift+F10") << false << false;
        QTest::newRow("menu key") << false << true;
        QTest::newRow("Shift+F10 in an open editor") << true << false;
    }

    void contextMenuFromTheKeyboard()
    {
        QFETCH(bool, editorOpen);
        QFETCH(bool, menuKey);
        clickCell(2, 4); // the time of segment 1
        if (editorOpen) {
            clickCell(2, 4);
            QVERIFY(grid()->isEditorOpen());
        }
        QWidget *target = QApplication::focusWidget();
        if (menuKey) {
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                    grid()->viewport()->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(grid()->viewport(), &event);
        } else {
            QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
        }
        QMenu *menu = m_form->gridEditor()->contextMenu();
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(m_form->gridEditor()->popupCol, 2);
        QCOMPARE(m_form->gridEditor()->segmentNumberAction()->text(), QString("Segment No. 1"));
        menu->hide();
    }

    void editMenuInsertsAndDeletesAtTheCurrentSegment()
    {
        auto item = [this](const char *name) { return m_form->editMenu()->findChild<QAction *>(name); };
        QVERIFY(item("InsertSegment1") && item("DeleteSegment1"));
        clickCell(2, 2);
        item("InsertSegment1")->trigger();
        QCOMPARE(cell(1, 2), QString(" "));
        QCOMPARE(cell(1, 3), QString("Hold"));
        QVERIFY(m_form->document().isModified());
        QCOMPARE(undoSteps(), 1);
        item("DeleteSegment1")->trigger();
        QCOMPARE(cell(1, 2), QString("Hold"));
        QCOMPARE(undoSteps(), 2);
    }

    void insertThatPushesASegmentOutSaysSo_data()
    {
        QTest::addColumn<QString>("lastMode");
        QTest::addColumn<int>("messages");
        QTest::newRow("slot 31 set") << "Hold" << 1;
        QTest::newRow("slot 31 unset") << " " << 0;
    }

    void insertThatPushesASegmentOutSaysSo()
    {
        QFETCH(QString, lastMode);
        QFETCH(int, messages);
        setSlot(31, lastMode, "0.0", "0.0", "2.00");
        clickCell(1, 0 + 1);
        m_form->editMenu()->findChild<QAction *>("InsertSegment1")->trigger();
        QCOMPARE(cell(1, 33), lastMode); // kept, in slot 32
        QCOMPARE(m_prompts->shown.size(), messages);
        if (messages)
            QCOMPARE(m_prompts->shown.first().text, GridEditor::segmentPushedOutText(31));
    }

    void everyMenuAndItemHasItsLetter()
    {
        QString topLetters;
        for (QAction *top : m_form->menuBar()->actions()) {
            const QString letter = QKeySequence::mnemonic(top->text()).toString();
            QVERIFY2(!letter.isEmpty(), qPrintable(top->text()));
            QVERIFY2(!topLetters.contains(letter), qPrintable(top->text()));
            topLetters += letter;
            QList<QMenu *> menus{top->menu()};
            while (!menus.isEmpty()) {
                QMenu *menu = menus.takeFirst();
                QString letters;
                for (QAction *action : menu->actions()) {
                    if (action->isSeparator() || !action->isEnabled())
                        continue;
                    const QString l = QKeySequence::mnemonic(action->text()).toString();
                    QVERIFY2(!l.isEmpty() && !letters.contains(l), qPrintable(action->text()));
                    letters += l;
                    if (action->menu())
                        menus << action->menu();
                }
            }
        }
        const QList<QPair<QString, QString>> shortcuts{
            {"N1", "Ctrl+N"},     {"Open1", "Ctrl+O"}, {"Save1", "Ctrl+S"}, {"SaveAs1", "Ctrl+Shift+S"},
            {"Print1", "Ctrl+P"}, {"Exit1", "Ctrl+Q"}, {"N4", "Ctrl+T"},    {"Contents1", "F1"}};
        for (const auto &[name, keys] : shortcuts)
            QCOMPARE(m_form->findChild<QAction *>(name)->shortcut().toString(), keys);
    }

    void sendRunsFromItsShortcut()
    {
        QAction *send = m_form->findChild<QAction *>("N4");
        QSignalSpy sent(send, &QAction::triggered);
        key(Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(sent.count(), 1);
        QVERIFY(!m_prompts->shown.isEmpty()); // the download ran: no port answers here
    }

    void currentCellStaysMarked_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("twin"); // a column whose cell in that row looks the same when not current
        QTest::newRow("Mode cell, under the Mode list") << 1 << 1 << 0;
        QTest::newRow("value cell") << 1 << 2 << 4;
        QTest::newRow("unused cell") << 3 << 2 << 6;
    }

    void currentCellStaysMarked()
    {
        // Marked at start, while the menus are worked from the keyboard, and
        // when they are left with Escape.
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(int, twin);
        setSlot(3, "Ramp", "100.0", "5.0", "0.00");
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(grid()->currentIndex(), model()->index(1, 1));
        for (int i = 1; i < col; ++i)
            key(Qt::Key_Right);
        for (int i = 1; i < row; ++i)
            key(Qt::Key_Down);
        auto marked = [&] {
            if (row == 1) {
                const QWidget *mark = modeList()->findChild<QWidget *>("CurrentCellMark");
                return modeList()->isVisible() && mark && mark->isVisible();
            }
            const QImage shown = grid()->viewport()->grab().toImage();
            const QRect cell = grid()->visualRect(model()->index(row, col));
            const QRect other = grid()->visualRect(model()->index(row, twin));
            return shown.copy(cell) != shown.copy(other);
        };
        QVERIFY(marked());
        key(Qt::Key_Alt);
        QVERIFY(m_form->menuBar()->hasFocus());
        QVERIFY2(marked(), "while the menu bar has the keys");
        key(Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), grid());
        QVERIFY(marked());
    }

    void mnemonics_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<QString>("result");
        QTest::newRow("first letter") << "New"
                                      << ""
                                      << ""
                                      << "&New";
        QTest::newRow("next word's initial") << "Save as"
                                             << "s"
                                             << ""
                                             << "Save &as";
        QTest::newRow("preferred letter") << "Exit."
                                          << "e"
                                          << "x"
                                          << "E&xit.";
        QTest::newRow("any free letter") << "Print..."
                                         << "p"
                                         << ""
                                         << "P&rint...";
        QTest::newRow("a written ampersand stays") << "Save && exit"
                                                   << ""
                                                   << ""
                                                   << "&Save && exit";
        QTest::newRow("a caption with its own letter") << "R&D"
                                                       << ""
                                                       << ""
                                                       << "R&D";
        QTest::newRow("nothing free") << "Ab"
                                      << "ab"
                                      << ""
                                      << "Ab";
    }

    void mnemonics()
    {
        QFETCH(QString, caption);
        QFETCH(QString, taken);
        QFETCH(QString, preferred);
        QFETCH(QString, result);
        QCOMPARE(MenuKeys::withMnemonic(caption, taken, preferred.isEmpty() ? QChar() : preferred.front()), result);
        QCOMPARE(MenuKeys::plainCaption(result), MenuKeys::plainCaption(caption)); // reads as before
    }

    void windowFitsTheScreen_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("contents"); // the layout's own minimum
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("size");
        QTest::newRow("fits") << QSize(800, 600) << QSize(700, 400) << QSize(1280, 1000) << QSize(770, 490)
                              << QSize(800, 600);
        QTest::newRow("contents need more than the minimum")
            << QSize(770, 490) << QSize(700, 482) << QSize(1280, 1000) << QSize(770, 507) << QSize(770, 507);
        QTest::newRow("scale 2 on 1280x1024")
            << QSize(770, 490) << QSize(700, 470) << QSize(640, 487) << QSize(640, 487) << QSize(640, 487);
        QTest::newRow("stored larger than the screen")
            << QSize(3000, 2000) << QSize(700, 400) << QSize(1280, 1000) << QSize(770, 490) << QSize(1280, 1000);
    }

    void windowFitsTheScreen()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, contents);
        QFETCH(QSize, available);
        QFETCH(QSize, minimum);
        QFETCH(QSize, size);
        const QSize wholeMinimum =
            WindowFrameSizing::clampedMinimum(QSize(770, 490), contents, QSize(2, 25), available);
        QCOMPARE(wholeMinimum, minimum);
        QCOMPARE(WindowFrameSizing::clampedSize(stored, wholeMinimum, available), size);
        const QRect area(QPoint(0, 24), available);
        QVERIFY(area.contains(QRect(WindowFrameSizing::clampedPosition(QPoint(900, 900), size, area), size)));
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
