#include "comm/link/DownloadPort.h"
#include "comm/link/ProgramDownload.h"
#include "comm/link/TransferWindow.h"
#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/FrameBytes.h"
#include "tests/support/ScriptedPrompts.h"

#include <QtTest>

// The interruption (the command-line tool's Ctrl+C) and the node a download
// addresses, against a controller that accepts everything.
namespace {

class AcceptingPort : public DownloadPort
{
public:
    QList<QByteArray> frames;
    bool open = false;
    std::function<void()> afterAnswer;

    void Open() override { open = true; }
    bool isOpen() const override { return open; }
    void PurgeTrans() override {}
    bool WriteString(const QByteArray &frame) override
    {
        frames << frame;
        return true;
    }
    void PurgeReceive() override {}
    int ReadAnswer(char *buf, int count, const AnswerComplete &) override
    {
        const QByteArray &frame = frames.last();
        const QByteArray command = frame.mid(6, frame.size() - 8);
        const QByteArray data = command.startsWith("0101") ? "0000" : "";
        const QByteArray body = frame.mid(1, 2)
            + "00"
              "00"
            + command.left(4) + "0000" + data + FrameBytes::ETX;
        const QByteArray answer = FrameBytes::STX + body + ControllerExchange::checkByteOf(body);
        std::copy_n(answer.constData(), std::min<int>(count, int(answer.size())), buf);
        if (afterAnswer)
            afterAnswer();
        return int(answer.size());
    }
    void Close() override { open = false; }
};

class Window : public TransferWindow
{
public:
    TemperatureProgram table;
    bool interruptNow = false;

    bool initialTempAccepted() override { return true; }
    void checkEditedCell() override {}
    void enterTransferState() override {}
    void resetAfterTransfer() override {}
    void stopActivity() override {}
    void startSending() override {}
    void setTransferStatus(const QString &) override {}
    bool interrupted() const override { return interruptNow; }
    TemperatureProgram segmentTable() const override { return table; }
    int programNo() const override { return 2; }
    QString initialTempText() const override { return QStringLiteral("25.00"); }
};

} // namespace

class TestDownloadInterrupt : public QObject
{
    Q_OBJECT

private slots:
    // Interrupted while command k is answered: nothing after it goes out, the
    // download ends as stopped with the port closed. 3 segments make 8 commands.
    void noCommandAfterTheInterruption_data()
    {
        QTest::addColumn<int>("interruptAfter");
        for (int k = 1; k <= 7; ++k)
            QTest::addRow("after command %d", k) << k;
    }

    void noCommandAfterTheInterruption()
    {
        QFETCH(int, interruptAfter);
        Window window;
        for (int col = 1; col <= 3; ++col) {
            window.table.setCell(TemperatureProgram::ModeRow, col, TemperatureProgram::ModeRamp);
            window.table.setCell(TemperatureProgram::TempRow, col, QStringLiteral("100.0"));
            window.table.setCell(TemperatureProgram::RateRow, col, QStringLiteral("5.0"));
        }
        AcceptingPort port;
        port.afterAnswer = [&] { window.interruptNow = port.frames.size() >= interruptAfter; };
        ScriptedPrompts prompts;
        prompts.boxAnswers = {Prompts::Yes};
        ProgramDownload download(window, port, prompts);
        download.setUnit(7);
        download.run();
        QCOMPARE(port.frames.size(), interruptAfter);
        QCOMPARE(download.lastEnding().kind, ProgramDownload::Ending::Kind::Stopped);
        QCOMPARE(prompts.shown.last().text, QStringLiteral("Transmission was stopped."));
        QVERIFY(!port.open);
        for (const QByteArray &frame : port.frames)
            QCOMPARE(frame.mid(1, 5), QByteArray("07000"));
    }
};

QTEST_GUILESS_MAIN(TestDownloadInterrupt)
#include "test_download_interrupt.moc"
