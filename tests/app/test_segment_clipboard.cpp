#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentClipboard.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "tests/support/GridDriving.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowTest.h"

#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

// The window's wiring of segment copy, cut and paste, and of the table
// import and export: the reading and checking of the text is the segment
// table's own test.
class TestSegmentClipboard : public WindowTest
{
    Q_OBJECT
    QAction *action(const char *name) const { return m_form->findChild<QAction *>(name); }
    // A click on the number of the segment in grid column `col`.
    void clickNumber(int col, Qt::KeyboardModifiers modifiers = {})
    {
        auto *strip = grid()->findChild<QWidget *>("NumberRow");
        const QPoint inViewport(grid()->columnViewportPosition(col) + grid()->columnWidth(col) / 2,
                                grid()->rowHeight(0) / 2);
        QTest::mouseClick(strip, Qt::LeftButton, modifiers,
                          strip->mapFromGlobal(grid()->viewport()->mapToGlobal(inViewport)));
    }
    void keyOnGrid(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }

private slots:
    void init()
    {
        QVERIFY(openExampleWindow());
        QCOMPARE(column(3), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
    }

    void cleanup() { closeWindow(); }

    void editMenuHoldsCutCopyPasteAfterRedo()
    {
        QStringList names;
        for (QAction *a : m_form->editMenu()->actions())
            names << (a->isSeparator() ? "-" : a->objectName());
        QCOMPARE(names.mid(0, 7),
                 (QStringList{"Undo1", "Redo1", "-", "CutSegments1", "CopySegments1", "PasteSegments1", "-"}));
    }

    // Numbers picked with Shift, the keys on the grid, one undo step.
    void copyThenPasteAsOneStep()
    {
        clickNumber(1);
        clickNumber(3, Qt::ShiftModifier);
        QCOMPARE(grid()->blockFirst(), 1);
        QCOMPARE(grid()->blockLast(), 3);
        keyOnGrid(Qt::Key_C);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        const QString table = "Mode\tTemp.(deg C)\tRate(deg C/min)\tTime(min.sec)\n"
                              "Ramp\t150.0\t10.0\t\nHold\t\t\t5.30\nRamp\t60.0\t20.0\t\n";
        QCOMPARE(data->text(), table);
        QCOMPARE(QString::fromUtf8(data->data(SegmentClipboard::MimeType)), table);

        m_form->document().setModified(false);
        GridDriving::clickCell(grid(), 4, 1);
        QCOMPARE(grid()->blockFirst(), 0); // the current cell left the block
        const QString totalBefore = m_form->statusBar1()->panelText(StatusPanel::TotalTime);
        keyOnGrid(Qt::Key_V);
        QCOMPARE(column(4), (QStringList{"Ramp", "150.0", "10.0", "0.00"}));
        QCOMPARE(column(6), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
        QVERIFY(m_form->document().isModified());
        QVERIFY(m_form->statusBar1()->panelText(StatusPanel::TotalTime) != totalBefore);
        QCOMPARE(m_prompts->shown.size(), 0);
        QCOMPARE(grid()->blockFirst(), 4); // the pasted segments are picked
        QCOMPARE(grid()->blockLast(), 6);

        action("Undo1")->trigger();
        QCOMPARE(column(4), (QStringList{" ", "0.0", "0.0", "0.00"}));
        QCOMPARE(grid()->blockFirst(), 0); // nothing left to pick there
        QCOMPARE(m_form->statusBar1()->panelText(StatusPanel::TotalTime), totalBefore);
    }

    void cutRemovesTheSegments()
    {
        clickNumber(2);
        action("CutSegments1")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "Mode\tTemp.(deg C)\tRate(deg C/min)\tTime(min.sec)\nHold\t\t\t5.30\n");
        QCOMPARE(column(2), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
        QVERIFY(m_form->document().isModified());
    }

    // Whatever the clipboard holds, a refused paste says why and changes nothing.
    void refusedPasteChangesNothing_data()
    {
        QTest::addColumn<int>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a value out of range")
            << 0 << "Line 2, column 2 (Temp.(deg C)): \"350\" is out of range 0 - 300.0.";
        QTest::newRow("an image alone") << 1 << "The clipboard holds no text.";
        QTest::newRow("nothing") << 2 << "The clipboard holds no text.";
        QTest::newRow("10,000 lines") << 3 << "The text has more than 1000 lines of segments; a program holds 32.";
        QTest::newRow("binary junk") << 4 << "Line 1 holds characters that are not text.";
        QTest::newRow("too many to fit")
            << 5
            << "30 segments cannot go in before segment 1: 29 fit there without pushing a set segment past segment 31.";
    }

    void refusedPasteChangesNothing()
    {
        QFETCH(int, content);
        QFETCH(QString, reason);
        auto *data = new QMimeData;
        switch (content) {
        case 0:
            data->setText("Ramp\t100\t1\t\nRamp\t350\t1\t\n");
            break;
        case 1:
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
            break;
        case 2:
            break;
        case 3:
            data->setText(QString("Hold\t\t\t1.00\n").repeated(10000));
            break;
        case 4:
            data->setData("text/plain", QByteArray("\x00\x01\xff\xfe", 4));
            break;
        case 5:
            data->setText(QString("Hold\t\t\t1.00\n").repeated(30));
            break;
        }
        QGuiApplication::clipboard()->setMimeData(data);
        GridDriving::clickCell(grid(), 2, 1);
        const TemperatureProgram before = m_form->document().table();
        m_form->document().setModified(false);
        action("PasteSegments1")->trigger();
        QCOMPARE(m_prompts->texts(), QStringList{"The clipboard's segments cannot be pasted.\n" + reason});
        QVERIFY(m_form->document().table() == before);
        QVERIFY(!m_form->document().isModified());
        QVERIFY(!action("Undo1")->isEnabled());
    }

    // With a cell editor open the keys stay the editor's, and the menu greys the items.
    void cellEditorKeepsItsKeys()
    {
        QGuiApplication::clipboard()->setText("Hold\t\t\t1.00\n");
        GridDriving::clickCell(grid(), 1, 2);
        GridDriving::clickCell(grid(), 1, 2); // a click on the current cell opens its editor
        QVERIFY(grid()->isEditorOpen());
        const TemperatureProgram before = m_form->document().table();
        keyOnGrid(Qt::Key_V);
        QVERIFY(m_form->document().table() == before);
        emit m_form->editMenu()->aboutToShow();
        QVERIFY(!action("PasteSegments1")->isEnabled());
        emit m_form->editMenu()->aboutToHide();
        QVERIFY(action("PasteSegments1")->isEnabled());
    }

    void importAndExportTable()
    {
        const QString table = m_dir.filePath("t.csv");
        m_prompts->fileAnswers << table;
        action("ExportSegmentsCsv1")->trigger();
        QFile file(table);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 "Mode,Temp.(deg C),Rate(deg C/min),Time(min.sec)\nRamp,150.0,10.0,\nHold,,,5.30\nRamp,60.0,20.0,\n");

        m_form->document().setModified(true);
        m_prompts->boxAnswers << Prompts::Yes; // the data being edited may go
        m_prompts->fileAnswers << table;
        action("ImportSegments1")->trigger();
        QCOMPARE(m_prompts->shown.last().kind, ScriptedPrompts::Kind::OpenDialog);
        QCOMPARE(column(3), (QStringList{"Ramp", "60.0", "20.0", "0.00"}));
        QCOMPARE(m_form->document().fileName(), QString());
        QVERIFY(m_form->document().isModified());
    }
};

QTEST_MAIN(TestSegmentClipboard)
#include "test_segment_clipboard.moc"
