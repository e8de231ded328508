// The window's side of the transfer log: Send leaves a record, the note
// beside the question, "Transfer record...", the comparison view and "Open as
// new program", against the controller simulator.
#include "app/Controls.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "app/TransferCompareView.h"
#include "app/TransferRecordDialog.h"
#include "app/TransferRecordMenu.h"
#include "comm/CommX.h"
#include "comm/link/ProgramDownload.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/SegmentGridModel.h"
#include "files/TransferLog.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/GridDriving.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/SimulatorWindow.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int Com = SimulatorWindow::Com;
}

class TestTransferRecord : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

    // The transfer panel's note at the second question, after one segment
    // changed since the first send, and its tooltip.
    static void verifyNoteBesideQuestion(const QStringList &notes, const QStringList &noteTips,
                                         const ScriptedPrompts &prompts)
    {
        QCOMPARE(notes.size(), 2);
        QCOMPARE(notes.first(), QString());
        QVERIFY2(notes.last().startsWith("differs from what was last sent here on ")
                     && notes.last().endsWith(": 1 segment changed"),
                 qPrintable(notes.last()));
        // Wider than the panel at the laid-out width: offered whole on hover.
        QCOMPARE(noteTips, QStringList({QString(), notes.last()}));
        QCOMPARE(prompts.texts().filter("Are you sure").last(), ProgramDownload::confirmationText(3, 2));
    }

    // The list after a completed send and a declined one, and the comparison
    // of the completed one with the program, whose slot 1 now holds 2.00.
    static void verifyListAndComparison(TForm1 &form)
    {
        SegmentGridModel *model = form.gridModel();
        // The list, newest first: the declined send, then the completed one.
        form.findChild<QAction *>("TransferRecord1")->trigger();
        TransferRecordDialog *dialog = form.transferRecords()->dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->table()->rowCount(), 2);
        // Numbered as vantrel log numbers them, newest first.
        QCOMPARE(dialog->table()->item(0, 0)->text(), QStringLiteral("@2"));
        QCOMPARE(dialog->table()->item(1, 0)->text(), QStringLiteral("@1"));
        QCOMPARE(dialog->table()->item(0, 6)->text(), QStringLiteral("declined"));
        dialog->table()->selectRow(0);
        QVERIFY(!dialog->compareButton()->isEnabled());
        dialog->table()->selectRow(1);
        QVERIFY(dialog->compareButton()->isEnabled());
        dialog->compareButton()->click();

        TransferCompareView *view = form.transferRecords()->compareView();
        QVERIFY(view && view->isVisible());
        QCOMPARE(view->table()->rowCount(), 1);
        QCOMPARE(view->table()->item(0, 2)->text(), QStringLiteral("1.30"));
        QCOMPARE(view->table()->item(0, 3)->text(), QStringLiteral("2.00"));
        QVERIFY(model->index(TemperatureProgram::TimeRow, 2).data(SegmentGridModel::DiffersRole).toBool());
        QVERIFY(!model->index(TemperatureProgram::TempRow, 1).data(SegmentGridModel::DiffersRole).toBool());
        QVERIFY(!form.Chart1()->backgroundPoints().isEmpty());
        // It follows edits: put back, nothing differs.
        model->setCell(4, 2, "1.30");
        QCOMPARE(view->table()->rowCount(), 0);
        model->setCell(4, 2, "3.00");
        view->close();
        QVERIFY(model->differingCells().isEmpty());
        QVERIFY(form.Chart1()->backgroundPoints().isEmpty());
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
    }

    void sendRecordCompareAndOpen()
    {
        SimulatorWindow window;
        QString error;
        QVERIFY2(window.open(m_home.filePath("settings.ini"), &error), qPrintable(error));
        ScriptedPrompts &prompts = window.prompts;
        TForm1 &form = window.form();
        form.SpinEdit1()->setValue(3);
        form.Edit1()->setText("25.00");
        SegmentGridModel *model = form.gridModel();
        GridDriving::setSlots(model, GridDriving::RampThenHold);

        QStringList notes;
        QStringList noteTips;
        prompts.onShow = [&](const ScriptedPrompts::Shown &s) {
            if (s.text.startsWith("Are you sure")) {
                notes << form.statusBar1()->panelText(StatusPanel::Transfer);
                noteTips << form.statusBar1()->panelToolTip(StatusPanel::Transfer);
            }
        };
        prompts.boxAnswers = {Prompts::Yes};
        form.ToolButton4Click();
        QCOMPARE(TransferLog().read().records.size(), 1);
        QCOMPARE(TransferLog().read().records.first().portName, QStringLiteral("COM%1").arg(Com));

        // One segment changed: the note beside the unchanged question says so.
        model->setCell(4, 2, "2.00");
        prompts.boxAnswers = {Prompts::No};
        form.ToolButton4Click();
        verifyNoteBesideQuestion(notes, noteTips, prompts);
        if (QTest::currentTestFailed())
            return;

        verifyListAndComparison(form);
        if (QTest::currentTestFailed())
            return;
        TransferRecordDialog *dialog = form.transferRecords()->dialog();

        // While a transfer runs the list offers nothing.
        bool listLocked = false;
        prompts.onShow = [&](const ScriptedPrompts::Shown &s) {
            if (s.text.startsWith("Are you sure"))
                listLocked = !dialog->isEnabled();
        };
        prompts.boxAnswers = {Prompts::No};
        form.ToolButton4Click();
        QVERIFY(listLocked);
        QVERIFY(dialog->isEnabled());

        // Open as new program: asked first (unsaved changes), then the
        // record's program, changed and without a file.
        prompts.boxAnswers = {Prompts::Yes};
        dialog->openButton()->click();
        QCOMPARE(form.document().programNo(), 3);
        QCOMPARE(model->cell(TemperatureProgram::TimeRow, 2), QStringLiteral("1.30"));
        QVERIFY(form.document().isModified());
        QVERIFY(form.document().fileName().isEmpty());
    }

    // The list and the comparison by the keyboard alone: Tab leaves the
    // table for the buttons, each button and filter has a letter of its own,
    // Escape closes.
    void keyboardReachesEveryButton()
    {
        TransferRecord r;
        r.time = QDateTime::currentDateTimeUtc();
        r.portName = QStringLiteral("COM4");
        r.filePath = m_home.filePath("anneal2.tpd");
        r.fileSha256 = TransferRecord::NotSaved;
        r.endingKind = QStringLiteral("completed");
        r.program = {1, QStringLiteral("25.00"), {{"Ramp", "100.0", "5.0", "0.00"}}};
        QString reason;
        QVERIFY2(TransferLog().append(r, &reason), qPrintable(reason));
        ScriptedPrompts prompts;
        TForm1 form(prompts, m_home.filePath("settings.ini"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.transferRecords()->showRecords();
        TransferRecordDialog *dialog = form.transferRecords()->dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->table()->item(0, 5)->text(), r.filePath + QStringLiteral(", changed since saved"));

        // Opened on the newest record, in the focused table.
        QCOMPARE(dialog->focusWidget(), dialog->table());
        QCOMPARE(dialog->selectedRecord(), std::optional<TransferRecord>(TransferLog().read().records.last()));
        QTest::keyClick(dialog->table(), Qt::Key_Tab, Qt::ControlModifier); // once cleared the selection
        QVERIFY(dialog->compareButton()->isEnabled());
        QSet<QWidget *> reached;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            reached << dialog->focusWidget();
        }
        QVERIFY(reached.contains(dialog->compareButton()));
        QVERIFY(reached.contains(dialog->openButton()));
        QVERIFY(dialog->compareButton()->isEnabled()); // the selection outlives the walk
        QSet<QKeySequence> letters;
        for (const QPushButton *button : dialog->findChildren<QPushButton *>())
            letters << QKeySequence::mnemonic(button->text());
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            if (label->buddy())
                letters << QKeySequence::mnemonic(label->text());
        QCOMPARE(letters.size(), 6);
        QVERIFY(!letters.contains(QKeySequence()));

        dialog->compareButton()->setFocus();
        QTest::keyClick(dialog->compareButton(), Qt::Key_Space);
        TransferCompareView *view = form.transferRecords()->compareView();
        QVERIFY(view && view->isVisible());
        QVERIFY(view->windowModality() == Qt::NonModal);
        QTest::keyClick(view, Qt::Key_Escape);
        QTRY_VERIFY(!form.transferRecords()->compareView());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!form.transferRecords()->dialog());
    }
};

QTEST_MAIN(TestTransferRecord)
#include "test_transfer_record.moc"
