#include "app/Controls.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "comm/CommX.h"
#include "comm/dialog/TForm2.h"
#include "comm/link/ProgramDownload.h"
#include "editor/InitialTempField.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "files/TransferLog.h"
#include "model/StatusPanel.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/GridDriving.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/SimulatorWindow.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

// Whole downloads through the real window and the real serial component over
// a pseudo-terminal, to the controller simulator.
namespace {
constexpr int Com = SimulatorWindow::Com;
const QString Colon = QString::fromUtf8("\xEF\xBC\x9A");
const QString NoAnswer = "Comm.port setting is different or\n\rpower of device is not turned on.";
const QString Stopped = "Command error.Transmission was stopped. ErorrCode" + Colon;

enum Setup {
    Normal,
    Silent,
    Running,
    RefuseStatus,
    RefuseProgramNo,
    RefuseInitial,
    RefuseAgain,
    RefuseCount,
    RefuseSegment,
    StopAtConfirmation,
    StopAfterTwoSegments,
    CutAfterSix,
    SilentAfterFive,
    AnswerNo,
    NoSegments,
    Segment0Unset,
    Segment1Unset,
    PortMissing,
    SplitAnswers,
    TemperatureOutOfRange,
    ExponentForm,
    NotANumberLater,
    Slot32Set
};
}
Q_DECLARE_METATYPE(Setup)

class TestDownload : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

    static QStringList commandsTaken(const ControllerSimulator &sim)
    {
        QStringList list;
        for (const SimulatorRecord &r : sim.records())
            list << QString::fromLatin1(r.command.left(16));
        return list;
    }

    static void setUpSimulator(ControllerSimulator &sim, Setup setup)
    {
        sim.setSilent(setup == Silent);
        sim.setRunning(setup == Running);
        sim.setSplitAnswers(setup == SplitAnswers, 5);
        auto refuse = [&](const char *prefix, const char *code) { sim.addRefusal({prefix, code}); };
        if (setup == RefuseStatus)
            refuse("0101800012", "1001");
        if (setup == RefuseProgramNo)
            refuse("0102C1004E", "1100");
        if (setup == RefuseInitial)
            refuse("0102C1004F", "1100");
        if (setup == RefuseAgain)
            refuse("0102C40000", "1100");
        if (setup == RefuseCount)
            refuse("0102C40001", "1003");
        if (setup == RefuseSegment)
            refuse("0102C40002", "1100");
        if (setup == CutAfterSix)
            sim.setCutAfter(6);
        if (setup == SilentAfterFive)
            sim.setSilentAfter(5);
    }

    // The program Send takes: number 3 from 25.35, three segments, or what
    // the setup puts in their place.
    static void fillProgram(TForm1 &form, Setup setup)
    {
        form.SpinEdit1()->setValue(3);
        form.Edit1()->setText("25.35");
        SegmentGridModel *model = form.gridModel();
        auto setSlot = [&](int slot, const char *mode, const char *t, const char *r, const char *time) {
            GridDriving::setSlot(model, slot, mode, t, r, time);
        };
        if (setup != NoSegments) {
            setSlot(0, "Ramp", "100.0", "5.0", "0.00");
            setSlot(1, "Hold", "0.0", "0.0", "12.30");
            setSlot(2, "Ramp", "40.0", "2.5", "0.00");
        }
        if (setup == Segment0Unset)
            setSlot(0, " ", "0", "0", "0");
        if (setup == Segment1Unset)
            model->setCell(1, 2, " ");
        // Values a hand-edited file can bring in.
        if (setup == TemperatureOutOfRange)
            model->setCell(2, 3, "350.0");
        // Numbers the chart reads, as a stored file can hold them.
        if (setup == ExponentForm)
            model->setCell(2, 3, "1E2");
        if (setup == NotANumberLater)
            model->setCell(3, 6, "1.2.3");
        // A segment Insert pushed past the last one a program holds.
        if (setup == Slot32Set)
            setSlot(32, "Hold", "0.0", "0.0", "5.00");
    }

    // Send, given by `press`, with `whileSegment1` called as long as the
    // transfer panel says segment 1 is on its way.
    static void sendWatchingSegment1(TForm1 &form, const std::function<void()> &press,
                                     const std::function<void()> &whileSegment1)
    {
        QTimer watcher;
        watcher.setInterval(1);
        connect(&watcher, &QTimer::timeout, &form, [&] {
            if (form.statusBar1()->panelText(StatusPanel::Transfer) == "Segment No.1sending")
                whileSegment1();
        });
        watcher.start();
        press();
        watcher.stop();
    }

    // A command the transfer state takes away: an action or tool button by
    // its name, "Send called again" or "program edited".
    static void giveCommand(TForm1 &form, const QString &command)
    {
        SegmentGridModel *model = form.gridModel();
        if (command == "Send called again") {
            form.ToolButton4Click();
        } else if (command == "program edited") {
            model->setCell(2, 2, "250.0");
            model->setCell(1, 3, " ");
            form.SpinEdit1()->setValue(5);
            form.Edit1()->setText("99.00");
        } else if (command.startsWith("ToolButton")) {
            form.findChild<QToolButton *>(command)->click();
        } else {
            form.findChild<QAction *>(command)->trigger();
        }
    }

    // The program of secondCommandDuringTransfer as it stood when Send was
    // pressed: number 3 from 25.00, three ramps to 100.0, 101.0 and 102.0.
    static void verifySentAsPressed(const SimulatedProgram &sent)
    {
        QCOMPARE(sent.programNumber, 3);
        QCOMPARE(sent.initialTemperature, 250);
        QCOMPARE(sent.segmentCount, 3);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(sent.segments[k].mode, 0);
            QCOMPARE(sent.segments[k].temperature, 1000 + 10 * k);
        }
    }

    static void verifyIdle(TForm1 &form)
    {
        // Every ending leaves the window idle with the port closed.
        QVERIFY(!form.inTransfer());
        QVERIFY(form.toolButton(4)->isEnabled());
        QVERIFY(!form.toolButton(5)->isEnabled());
        QVERIFY(form.StringGrid1()->isEnabled());
        QVERIFY(!form.Edit1()->isReadOnly());
        QVERIFY(!form.Timer1()->isActive());
        QVERIFY(form.statusBar1()->progressBar()->isHidden());
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Transfer), QString());
        QVERIFY(!form.CommX1().IsOpen());
    }

    static void verifyIncompleteNamed(TForm1 &form, const ScriptedPrompts &prompts, int accepted,
                                      qsizetype commandCount)
    {
        // A program the controller took in part is named in the ending's box,
        // in the record, and in the port panel's tooltip until a complete send.
        const QString half = accepted > 0
            ? ProgramDownload::incompleteText(3, QStringLiteral("COM%1").arg(Com), 1, accepted, 3)
            : QString();
        if (!prompts.shown.isEmpty() && !prompts.shown.last().text.startsWith("Are you sure"))
            QCOMPARE(prompts.shown.last().further, half);
        const QList<TransferRecord> records = TransferLog().read().records;
        if (commandCount > 1)
            QCOMPARE(records.last().incomplete, accepted > 0);
        const QString portTip = form.statusBar1()->panelToolTip(StatusPanel::Port);
        if (accepted > 0)
            QVERIFY2(portTip.contains(QStringLiteral("Program 3 on COM%1 (unit 1) may be incomplete").arg(Com)),
                     qPrintable(portTip));
        else if (commandCount == 8)
            QCOMPARE(portTip, QString());
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8()); // the transfer log
    }

    void endings_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("commands"); // fixed texts of the frames taken
        QTest::addColumn<QStringList>("shown");    // every prompt, in order
        QTest::addColumn<int>("accepted");         // write commands the controller took
        const QString s1 = "0101800012000001", c2 = "0102C1004E000001", c3 = "0102C1004F000001",
                      c4 = "0102C40000000001", c5 = "0102C40001000001", c6 = "0102C40002000005";
        const QString confirm = ProgramDownload::confirmationText(3, 3);
        const QStringList all{s1, c2, c3, c4, c5, c6, c6, c6};
        QTest::newRow("completed") << Normal << all << QStringList{confirm, "Transmission was completed"} << 0;
        QTest::newRow("answers in pieces")
            << SplitAnswers << all << QStringList{confirm, "Transmission was completed"} << 0;
        QTest::newRow("no segments") << NoSegments << QStringList{} << QStringList{"There are no segments."} << 0;
        QTest::newRow("segment 0 unset") << Segment0Unset << QStringList{}
                                         << QStringList{"Segment No. \"0\" is not set."} << 0;
        QTest::newRow("segment 1 unset") << Segment1Unset << QStringList{}
                                         << QStringList{"Segment No. \"1\" is not set."} << 0;
        QTest::newRow("temperature out of range")
            << TemperatureOutOfRange << QStringList{}
            << QStringList{"Segment No. \"2\" Temp. \"350.0\" is out of range.\n\rInput range:0 - 300.0 deg C"} << 0;
        QTest::newRow("temperature in exponent form")
            << ExponentForm << all << QStringList{confirm, "Transmission was completed"} << 0;
        QTest::newRow("not a number past the last segment")
            << NotANumberLater << QStringList{} << QStringList{"Segment No. \"5\" Rate \"1.2.3\" is not a number."}
            << 0;
        QTest::newRow("slot 32 set")
            << Slot32Set << QStringList{}
            << QStringList{"Segment No. \"32\" is set, but a program holds segments 0 to 31 only.\n\r"
                           "Delete it, or a segment before it, to send the program."}
            << 0;
        QTest::newRow("port missing")
            << PortMissing << QStringList{}
            << QStringList{"Comm.port is not set or\n\rcomm.cable is not connected.\n\rCOM9: no such port on this computer."}
            << 0;
        QTest::newRow("silent") << Silent << QStringList{s1} << QStringList{NoAnswer} << 0;
        QTest::newRow("status refused") << RefuseStatus << QStringList{s1}
                                        << QStringList{"Command error. ErorrCode" + Colon + "1001"} << 0;
        QTest::newRow("running") << Running << QStringList{s1} << QStringList{"Program is running."} << 0;
        QTest::newRow("No at the confirmation") << AnswerNo << QStringList{s1} << QStringList{confirm} << 0;
        QTest::newRow("program number refused")
            << RefuseProgramNo << QStringList{s1, c2} << QStringList{confirm, Stopped + "1100"} << 0;
        QTest::newRow("initial temperature refused")
            << RefuseInitial << QStringList{s1, c2, c3} << QStringList{confirm, Stopped + "1100"} << 1;
        QTest::newRow("program number again refused")
            << RefuseAgain << QStringList{s1, c2, c3, c4} << QStringList{confirm, Stopped + "1100"} << 2;
        QTest::newRow("segment count refused")
            << RefuseCount << QStringList{s1, c2, c3, c4, c5} << QStringList{confirm, Stopped + "1003"} << 3;
        QTest::newRow("segment refused") << RefuseSegment << QStringList{s1, c2, c3, c4, c5, c6}
                                         << QStringList{confirm, Stopped + "1100"} << 4;
        QTest::newRow("stop before segment 0") << StopAtConfirmation << QStringList{s1, c2, c3, c4, c5}
                                               << QStringList{confirm, "Transmission was stopped."} << 4;
        QTest::newRow("stop in the middle") << StopAfterTwoSegments << QStringList{s1, c2, c3, c4, c5, c6, c6}
                                            << QStringList{confirm, "Transmission was stopped."} << 6;
        QTest::newRow("link cut") << CutAfterSix << QStringList{s1, c2, c3, c4, c5, c6, c6}
                                  << QStringList{confirm, NoAnswer} << 5;
        QTest::newRow("later command silent")
            << SilentAfterFive << QStringList{s1, c2, c3, c4, c5, c6} << QStringList{confirm, NoAnswer} << 4;
    }

    void endings()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, commands);
        QFETCH(QStringList, shown);
        QFETCH(int, accepted);

        SimulatorWindow window;
        QString error;
        QVERIFY2(window.startSimulator(&error), qPrintable(error));
        ControllerSimulator &sim = window.sim;
        setUpSimulator(sim, setup);

        ScriptedPrompts &prompts = window.prompts;
        QVERIFY(window.openWindow(m_home.filePath("settings.ini"), setup == PortMissing ? 9 : Com));
        TForm1 &form = window.form();
        fillProgram(form, setup);
        form.Memo1()->setPlainText("kept comment");
        form.document().setModified(false);

        prompts.boxAnswers = {setup == AnswerNo ? Prompts::No : Prompts::Yes};
        bool sawTransferState = false;
        prompts.onShow = [&](const ScriptedPrompts::Shown &s) {
            if (s.text.startsWith("Are you sure")) {
                sawTransferState = form.inTransfer() && !form.toolButton(4)->isEnabled()
                    && form.toolButton(5)->isEnabled() && !form.StringGrid1()->isEnabled()
                    && form.Edit1()->isReadOnly();
                if (setup == StopAtConfirmation)
                    form.toolButton(5)->click();
            }
        };
        // Stop while segment 1 is on its way: segment 2 is never sent.
        sendWatchingSegment1(
            form, [&] { QTest::mouseClick(form.toolButton(4), Qt::LeftButton); },
            [&] {
                if (setup == StopAfterTwoSegments)
                    form.toolButton(5)->click();
            });

        QCOMPARE(prompts.texts(), shown);
        sim.waitForRecords(commands.size(), 3000); // the simulator notes a command once its answer is out
        QCOMPARE(commandsTaken(sim), commands);
        verifyIdle(form);
        if (QTest::currentTestFailed())
            return;
        // The comment stays and the program is not marked changed.
        QCOMPARE(form.Memo1()->toPlainText(), QString("kept comment"));
        QVERIFY(!form.document().isModified());
        if (commands.size() > 1)
            QVERIFY(sawTransferState);
        if (setup == ExponentForm)
            QCOMPARE(sim.program().segments[2].temperature, 1000);
        verifyIncompleteNamed(form, prompts, accepted, commands.size());
        if (QTest::currentTestFailed())
            return;
        if (setup == Normal) {
            const SimulatedProgram program = sim.program();
            QCOMPARE(program.programNumber, 3);
            QCOMPARE(sim.records().at(2).command, QByteArray("0102C1004F000001000000FD"));
            QCOMPARE(sim.records().at(6).command,
                     QByteArray("0102C4000200000500000001000000010000000000000000"
                                "00001230"));
        }
        form.document().setModified(false);
    }

    // Every command the transfer state takes away, triggered while a download
    // waits for the confirmation and while it sends: none may run, and what
    // goes on the line is the program as it stood when Send was pressed.
    void secondCommandDuringTransfer_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("whileSending");
        const QStringList commands{"N1",
                                   "Open1",
                                   "Save1",
                                   "SaveAs1",
                                   "Exit1",
                                   "N4",
                                   "N6",
                                   "ToolButton1",
                                   "ToolButton2",
                                   "ToolButton3",
                                   "ToolButton4",
                                   "Send called again",
                                   "program edited"};
        for (const QString &command : commands) {
            QTest::addRow("%s at the confirmation", qPrintable(command)) << command << false;
            QTest::addRow("%s while sending", qPrintable(command)) << command << true;
        }
    }

    void secondCommandDuringTransfer()
    {
        QFETCH(QString, command);
        QFETCH(bool, whileSending);
        SimulatorWindow window;
        QString error;
        QVERIFY2(window.open(m_home.filePath("settings.ini"), &error), qPrintable(error));
        ControllerSimulator &sim = window.sim;
        ScriptedPrompts &prompts = window.prompts;
        TForm1 &form = window.form();
        form.SpinEdit1()->setValue(3);
        form.Edit1()->setText("25.00");
        SegmentGridModel *model = form.gridModel();
        for (int slot = 0; slot < 3; ++slot) {
            model->setCell(1, slot + 1, "Ramp");
            model->setCell(2, slot + 1, QString::number(100 + slot) + ".0");
            model->setCell(3, slot + 1, "5.0");
        }
        form.document().setModified(false);
        const TemperatureProgram before = model->program();

        bool triggered = false;
        auto trigger = [&] {
            if (triggered)
                return;
            triggered = true;
            giveCommand(form, command);
        };
        prompts.boxAnswers = {Prompts::Yes};
        prompts.onShow = [&](const ScriptedPrompts::Shown &s) {
            if (!whileSending && s.text.startsWith("Are you sure"))
                trigger();
        };
        sendWatchingSegment1(
            form, [&] { form.ToolButton4Click(); },
            [&] {
                if (whileSending)
                    trigger();
            });

        QVERIFY(triggered);
        QCOMPARE(prompts.texts(), (QStringList{ProgramDownload::confirmationText(3, 3), "Transmission was completed"}));
        sim.waitForRecords(8, 3000); // the simulator notes a command once its answer is out
        QCOMPARE(sim.records().size(), 8);
        verifySentAsPressed(sim.program());
        if (QTest::currentTestFailed())
            return;
        QVERIFY(form.isVisible());
        QVERIFY(!form.Form2()->isVisible());
        if (command != "program edited") {
            for (int col = 1; col <= 4; ++col)
                for (int row = 1; row <= 4; ++row)
                    QCOMPARE(model->cell(row, col), before.cell(row, col));
        }
        // Idle again: every command is back.
        for (QAction *action : form.F1()->actions() + form.C1()->actions())
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        QVERIFY(form.Form2()->isEnabled());
        form.document().setModified(false);
    }

    void windowCannotCloseDuringADownload()
    {
        SimulatorWindow window;
        QString error;
        QVERIFY2(window.open(m_home.filePath("settings.ini"), &error), qPrintable(error));
        ScriptedPrompts &prompts = window.prompts;
        TForm1 &form = window.form();
        form.gridModel()->setCell(1, 1, "Ramp");
        form.gridModel()->setCell(2, 1, "50.0");
        form.gridModel()->setCell(3, 1, "5.0");
        bool closed = true;
        prompts.onShow = [&](const ScriptedPrompts::Shown &s) {
            if (s.text.startsWith("Are you sure"))
                closed = form.close();
        };
        prompts.boxAnswers = {Prompts::No};
        form.ToolButton4Click();
        QVERIFY(!closed);
        QVERIFY(form.isVisible());
        form.document().setModified(false);
    }

    void activityBarCycles()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, m_home.filePath("settings.ini"));
        QList<int> seen;
        for (int i = 0; i < 11; ++i) {
            form.Timer1Timer();
            seen << form.statusBar1()->progressBar()->value();
        }
        QCOMPARE(seen, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 10}));
    }
};

QTEST_MAIN(TestDownload)
#include "test_download.moc"
