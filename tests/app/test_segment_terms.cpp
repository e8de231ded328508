#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "app/ViewMenu.h"
#include "editor/GridEditor.h"
#include "editor/SegmentTimesStrip.h"
#include "files/IniDocument.h"
#include "files/SettingsFile.h"
#include "model/StatusPanel.h"
#include "tests/support/GridDriving.h"
#include "tests/support/WindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

// The window's wiring of the segment dialog, the strip of segment times and
// the colon's hint: the arithmetic behind them is the model's own test.
class TestSegmentTerms : public WindowTest
{
    Q_OBJECT
    SegmentTimesStrip *strip() const { return m_form->findChild<SegmentTimesStrip *>(); }
    QString timesOf(int col) const { return strip()->columnLabel(col)->accessibleName(); }

    // Edit, Segment... on the current segment; the dialog it opens.
    QDialog *openDialog()
    {
        m_form->findChild<QAction *>("SegmentDialog1")->trigger();
        if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }))
            return nullptr;
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        return dialog && QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
    }
    // Types a new text into the field with the focus, all of its text replaced.
    static void retype(const QString &text)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }

    // Keys typed on the grid go on to the cell's editor once it opens.
    static void typeOnGrid(const QString &text)
    {
        for (QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }

private slots:
    void init() { QVERIFY(openExampleWindow()); }
    void cleanup() { closeWindow(); }

    void stripFollowsEveryEdit()
    {
        QVERIFY(strip()->isVisible());
        QCOMPARE(timesOf(1), "Segment 0: 0:00:00 to 0:11:00, ends at 150.0 °C");
        QCOMPARE(timesOf(3), "Segment 2: 0:16:30 to 0:21:00, ends at 60.0 °C");
        QCOMPARE(timesOf(4), QString());
        // Whole lines only: the window's first size, too low for three,
        // shows the end first.
        QTRY_COMPARE(m_form->frameGeometry().size(), QSize(770, 490));
        QVERIFY(QStringList({"0:16:30", "0:16:30\n150.0 °C"}).contains(strip()->columnLabel(2)->text()));
        m_form->resize(m_form->width(), 700);
        QTRY_COMPARE(strip()->columnLabel(2)->text(), "0:11:00\n0:16:30\n150.0 °C");
        // Under its column of the grid.
        const QRect cell = grid()->visualRect(model()->index(1, 2));
        const QPoint cellLeft = grid()->viewport()->mapToGlobal(cell.topLeft());
        QCOMPARE(strip()->columnLabel(2)->mapToGlobal(QPoint(0, 0)).x(), cellLeft.x());

        GridDriving::clickCell(grid(), 2, TemperatureProgram::TimeRow);
        typeOnGrid("10");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(timesOf(2), "Segment 1: 0:11:00 to 0:21:00, ends at 150.0 °C");
    }

    void colonInATimeCellSaysHowToWriteIt()
    {
        GridDriving::clickCell(grid(), 2, TemperatureProgram::TimeRow);
        typeOnGrid("1:30");
        QCOMPARE(m_form->statusBar1()->panelText(StatusPanel::Hint),
                 "Time is minutes.seconds: 1.30 is 1 min 30 s. Longer holds: Edit, Segment...");
    }

    void longHoldBecomesTwoSegmentsInOneStep()
    {
        GridDriving::clickCell(grid(), 2, TemperatureProgram::TimeRow);
        QDialog *dialog = openDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), "Segment 1");
        QCOMPARE(dialog->findChild<QLineEdit *>("Duration")->text(), "0:05:30");
        QTRY_COMPARE(QApplication::focusWidget(), dialog->findChild<QLineEdit *>("Duration"));
        // Refused: OK is off and Enter keeps the dialog open.
        retype("1:60");
        QCOMPARE(dialog->findChild<QLabel *>("Refusal")->text(), "Duration: write h:mm:ss, h:mm or minutes.");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        retype("3:00:00");
        QCOMPARE(dialog->findChild<QLabel *>("Refusal")->text(), QString());
        QCOMPARE(dialog->findChild<QLineEdit *>("EndsAt")->text(), "3:11:00");
        QCOMPARE(dialog->findChild<QLabel *>("Gives")->text(), "asked 3:00:00; 2 holds: 99.59 + 80.01, 3:00:00");
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(column(2), (QStringList{"Hold", "0.0", "0.0", "99.59"}));
        QCOMPARE(column(3), (QStringList{"Hold", "0.0", "0.0", "80.01"}));
        QCOMPARE(column(4), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
        QCOMPARE(timesOf(4), "Segment 3: 3:11:00 to 3:15:30, ends at 60.0 °C");
        QVERIFY(m_form->document().isModified());

        // The window manager's part: the window is active again.
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(column(2), (QStringList{"Hold", "0.0", "0.0", "5.30"}));
        QCOMPARE(column(3), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
    }

    void rampByItsEndTimeFromTheContextMenu()
    {
        const QPoint number = grid()->visualRect(model()->index(0, 1)).center();
        m_form->gridEditor()->showContextMenu(number);
        QMenu *popup = m_form->gridEditor()->contextMenu();
        QCOMPARE(popup->actions().constLast()->text(), "Segment...");
        popup->actions().constLast()->trigger();
        popup->close();
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog && QTest::qWaitForWindowActive(dialog));
        QCOMPARE(dialog->windowTitle(), "Segment 0");
        // 40.0 to 150.0 ending at 2 h: 0.9 and 1.0 miss, 90.0 deg C at 0.9
        // and 20.0 at 1.0 take 100 + 20 min.
        QTRY_COMPARE(QApplication::focusWidget(), dialog->findChild<QLineEdit *>("Target"));
        QTest::keyClick(dialog, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), dialog->findChild<QLineEdit *>("EndsAt"));
        retype("2:00");
        QCOMPARE(dialog->findChild<QLineEdit *>("Duration")->text(), "2:00:00");
        QCOMPARE(dialog->findChild<QLabel *>("Gives")->text(),
                 "asked 2:00:00; 0.9 °C/min gives 2:02:13, 1.0 gives 1:50:00");
        QCOMPARE(dialog->findChild<QComboBox *>("Writes")->count(), 3);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(column(1), (QStringList{"Ramp", "130.0", "0.9", "0.00"}));
        QCOMPARE(column(2), (QStringList{"Ramp", "150.0", "1.0", "0.00"}));
        QCOMPARE(timesOf(2), "Segment 1: 1:40:00 to 2:00:00, ends at 150.0 °C");
    }

    void viewMenuHidesTheStripAndKeepsIt()
    {
        QAction *endTimes = m_form->findChild<QAction *>("EndTimes1");
        QVERIFY(endTimes->isChecked());
        endTimes->trigger();
        QVERIFY(!strip()->isVisible());
        QCOMPARE(SettingsFile::load(m_dir.filePath("settings.ini")).value(ViewMenu::Section, ViewMenu::EndTimesKey),
                 QStringLiteral("0"));
        closeWindow();
        QVERIFY(openWindow());
        QVERIFY(!m_form->findChild<QAction *>("EndTimes1")->isChecked());
        QVERIFY(!strip()->isVisible());
    }
};

QTEST_MAIN(TestSegmentTerms)
#include "test_segment_terms.moc"
