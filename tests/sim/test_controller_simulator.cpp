#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/DownloadCommands.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/PtyClient.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {

QByteArray frame(const QByteArray &command) { return ControllerExchange::buildFrame("01000", command); }

// The answer a controller gives: STX, node, sub-address, end code, request code,
// response code and data, ETX, check byte.
QByteArray answer(const QByteArray &request, const QByteArray &response)
{
    const QByteArray body = "0100"
                            "00"
        + request + response + '\x03';
    return '\x02' + body + ControllerExchange::checkByteOf(body);
}

} // namespace

class TestControllerSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void answers_data();
    void answers();
    void wrongCheckByteGetsEndCode13();
    void frameWithoutEtxIsNotAnswered();
    void silentTakesButNeverAnswers();
    void answerWithWrongCheckByte();
    void splitAnswerArrivesWhole();
    void linkCreatedAndRemoved();
    void linkNeverReplacesAFile();
    void cutAfterCommands();
    void historyKeepsTheLastCommands();
    void printsProgramAfterDownload();
    void deviceRefused_data();
    void deviceRefused();
    void deviceGivenAsAPtyPath();

private:
    std::unique_ptr<ControllerSimulator> m_sim;
    std::unique_ptr<PtyClient> m_client;

    QByteArray exchange(const QByteArray &command)
    {
        m_client->write(frame(command));
        return m_client->readAnswer();
    }
};

void TestControllerSimulator::init()
{
    m_sim = std::make_unique<ControllerSimulator>();
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    m_client = std::make_unique<PtyClient>(m_sim->slavePath());
    QVERIFY(m_client->isOpen());
}

void TestControllerSimulator::cleanup()
{
    m_client.reset();
    m_sim.reset();
}

void TestControllerSimulator::answers_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("response");

    const QByteArray z = "00000000";
    QTest::newRow("status idle") << false << "" << DownloadCommands::statusQuery()
                                 << QByteArray("0000"
                                               "0000");
    QTest::newRow("status running") << true << "" << DownloadCommands::statusQuery()
                                    << QByteArray("0000"
                                                  "0080");
    QTest::newRow("accepted write") << false << "" << DownloadCommands::programNo(3) << QByteArray("0000");
    QTest::newRow("value out of range") << false << "" << DownloadCommands::segmentCountCommand(33)
                                        << QByteArray("1100");
    QTest::newRow("count mismatch") << false << "" << QByteArray("0102C40002000005") + z + z << QByteArray("1003");
    QTest::newRow("refused status query") << false << "1:2203" << DownloadCommands::statusQuery() << QByteArray("2203");
    QTest::newRow("refused segment by code")
        << false << "0102C40002:1100"
        << *DownloadCommands::segment(0, DownloadCommands::SegmentMode::Hold, 0.0, 0.0, 1.00) << QByteArray("1100");
    QTest::newRow("refusal of another command")
        << false << "5:1100" << DownloadCommands::programNo(3) << QByteArray("0000");
}

void TestControllerSimulator::answers()
{
    QFETCH(bool, running);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, response);

    m_sim->setRunning(running);
    if (!refusal.isEmpty()) {
        Refusal r;
        QVERIFY(ControllerModel::parseRefusal(refusal, &r));
        m_sim->addRefusal(r);
    }
    QCOMPARE(exchange(command), answer(command.left(4), response));
    QVERIFY(m_sim->waitForRecords(1, 5000));
    const QList<SimulatorRecord> records = m_sim->records();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].command, command);
    QCOMPARE(records[0].endCode, QByteArray("00"));
    QCOMPARE(records[0].responseCode, response.left(4));
    QVERIFY(records[0].answered);
}

void TestControllerSimulator::wrongCheckByteGetsEndCode13()
{
    QByteArray bad = frame(DownloadCommands::programNo(3));
    bad.back() = char(bad.back() ^ 0x01);
    m_client->write(bad);
    const QByteArray body = "010013\x03";
    QCOMPARE(m_client->readAnswer(), '\x02' + body + ControllerExchange::checkByteOf(body));
    QVERIFY(m_sim->waitForRecords(1, 5000));
    QCOMPARE(m_sim->records()[0].endCode, QByteArray("13"));
    QCOMPARE(m_sim->program().programNumber, 0);
}

void TestControllerSimulator::frameWithoutEtxIsNotAnswered()
{
    const QByteArray status = frame(DownloadCommands::statusQuery());
    const QByteArray program = frame(DownloadCommands::programNo(4));

    // A frame broken off by a new STX is dropped; the new frame is answered.
    m_client->write(status.left(status.size() - 2) + program);
    QCOMPARE(m_client->readAnswer(), answer("0102", "0000"));

    // A frame that stops arriving is dropped; its late end alone is not a frame.
    m_client->write(status.left(status.size() - 2));
    QTRY_COMPARE(m_sim->droppedFrames(), qint64(1));
    m_client->write(status.right(2));
    // Had the late end been taken for a status query, its answer would come first.
    QCOMPARE(exchange(DownloadCommands::programNo(5)), answer("0102", "0000"));

    QCOMPARE(exchange(DownloadCommands::statusQuery()), answer("0101", "00000000"));
    QVERIFY(m_sim->waitForRecords(3, 5000));
    const QList<SimulatorRecord> records = m_sim->records();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0].command, DownloadCommands::programNo(4));
    QCOMPARE(records[1].command, DownloadCommands::programNo(5));
    QCOMPARE(records[2].command, DownloadCommands::statusQuery());
}

void TestControllerSimulator::silentTakesButNeverAnswers()
{
    m_sim->setSilent(true);
    m_client->write(frame(DownloadCommands::statusQuery()));
    QVERIFY(m_sim->waitForRecords(1, 5000));
    QVERIFY(!m_sim->records()[0].answered);

    // Had the silent command been answered, its answer would come first.
    m_sim->setSilent(false);
    QCOMPARE(exchange(DownloadCommands::programNo(2)), answer("0102", "0000"));
    QCOMPARE(m_sim->program().programNumber, 2); // a silent controller still takes writes
}

void TestControllerSimulator::answerWithWrongCheckByte()
{
    m_sim->setBadBcc(true);
    const QByteArray received = exchange(DownloadCommands::statusQuery());
    const QByteArray right = answer("0101", "00000000");
    QCOMPARE(received.size(), right.size());
    QCOMPARE(received.left(received.size() - 1), right.left(right.size() - 1));
    QVERIFY(received.back() != right.back());
}

void TestControllerSimulator::splitAnswerArrivesWhole()
{
    m_sim->setSplitAnswers(true, 50);
    m_sim->setPacing(false);
    QCOMPARE(exchange(DownloadCommands::statusQuery()), answer("0101", "00000000"));
    m_sim->setPacing(true);
    QCOMPARE(exchange(DownloadCommands::programNo(1)), answer("0102", "0000"));
}

void TestControllerSimulator::linkCreatedAndRemoved()
{
    QTemporaryDir ports;
    const QString dir = ports.filePath(QStringLiteral("Orrisan/VantrelAssistant/ports"));
    // An older link of the same name (a simulator that died) is replaced.
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(QFile::link(QStringLiteral("/dev/pts/stale"), dir + QStringLiteral("/COM5")));

    QString error;
    QVERIFY2(m_sim->linkAs(5, dir, &error), qPrintable(error));
    const QString link = m_sim->linkPath();
    QCOMPARE(link, dir + QStringLiteral("/COM5"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_sim->slavePath());

    PtyClient viaLink(link);
    QVERIFY(viaLink.isOpen());
    viaLink.write(frame(DownloadCommands::statusQuery()));
    QCOMPARE(viaLink.readAnswer(), answer("0101", "00000000"));

    m_sim->stop();
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!m_sim->isServing());
}

void TestControllerSimulator::linkNeverReplacesAFile()
{
    QTemporaryDir ports;
    QFile file(ports.filePath(QStringLiteral("COM2")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep");
    file.close();

    QString error;
    QVERIFY(!m_sim->linkAs(2, ports.path(), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(m_sim->linkPath().isEmpty());
    m_sim->stop();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep"));
}

void TestControllerSimulator::cutAfterCommands()
{
    QTemporaryDir ports;
    QVERIFY(m_sim->linkAs(9, ports.path()));
    m_sim->setCutAfter(2);
    QCOMPARE(exchange(DownloadCommands::statusQuery()), answer("0101", "00000000"));
    QCOMPARE(exchange(DownloadCommands::programNo(1)), answer("0102", "0000"));
    QCOMPARE(exchange(*DownloadCommands::initialTemp(25.00)), QByteArray());

    QVERIFY(m_sim->waitForRecords(3, 5000));
    const QList<SimulatorRecord> records = m_sim->records();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[2].command, *DownloadCommands::initialTemp(25.00));
    QVERIFY(!records[2].answered);
    QTRY_VERIFY(!m_sim->isServing());
    QVERIFY(!QFileInfo(ports.filePath(QStringLiteral("COM9"))).isSymLink());
    QVERIFY2(!m_client->write(frame(DownloadCommands::statusQuery())), "the line must be dead");
}

void TestControllerSimulator::historyKeepsTheLastCommands()
{
    // More commands than the history holds, each one told apart by its value.
    m_sim->setSilent(true);
    const int extra = 25;
    const int sent = ControllerSimulator::HistoryLimit + extra;
    const auto command = [](int i) { return *DownloadCommands::initialTemp(i / 100.0); };
    QByteArray batch;
    for (int i = 0; i < sent; ++i) {
        batch += frame(command(i));
        if (batch.size() >= 4096 || i == sent - 1) {
            QVERIFY(m_client->write(batch));
            batch.clear();
        }
    }
    QVERIFY(m_sim->waitForRecords(sent, 60000));
    const QList<SimulatorRecord> records = m_sim->records();
    QCOMPARE(records.size(), ControllerSimulator::HistoryLimit);
    QCOMPARE(records.first().command, command(extra));
    QCOMPARE(records.last().command, command(sent - 1));
}

void TestControllerSimulator::printsProgramAfterDownload()
{
    // A second simulator, so the output is set before its thread starts.
    cleanup();
    std::mutex mutex;
    QStringList lines;
    ControllerSimulator sim;
    sim.setOutput([&](const QString &line) {
        std::lock_guard lock(mutex);
        lines << line;
    });
    sim.setPacing(false);
    sim.setResponseWaitMs(0);
    QVERIFY(sim.start());
    PtyClient client(sim.slavePath());
    const QList<QByteArray> commands = {
        DownloadCommands::statusQuery(),
        DownloadCommands::programNo(3),
        *DownloadCommands::initialTemp(40.00),
        DownloadCommands::programNoAgain(3),
        DownloadCommands::segmentCountCommand(2),
        *DownloadCommands::segment(0, DownloadCommands::SegmentMode::Ramp, 150.0, 10.0, 0.0),
        *DownloadCommands::segment(1, DownloadCommands::SegmentMode::Hold, 0.0, 0.0, 5.30),
    };
    for (const QByteArray &command : commands) {
        client.write(frame(command));
        QCOMPARE(client.readAnswer().mid(11, 4), QByteArray("0000"));
    }
    QVERIFY(sim.waitForRecords(int(commands.size()), 5000));
    sim.stop();
    std::lock_guard lock(mutex);
    QCOMPARE(lines.size(), commands.size() + 1);
    QVERIFY2(lines[0].contains(QLatin1String(DownloadCommands::statusQuery())), qPrintable(lines[0]));
    QCOMPARE(lines.last(),
             QStringLiteral("Program 3, initial 40.0 deg C, 2 segments:\n"
                            "  0 Ramp to 150.0 at 10.0 deg C/min\n"
                            "  1 Hold 5.30 (min.sec)"));
}

void TestControllerSimulator::deviceRefused_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("error");
    QTest::newRow("missing") << "/nonexistent/ttyUSB9"
                             << "cannot open /nonexistent/ttyUSB9: No such file or directory";
    QTest::newRow("not a serial device") << "/dev/null"
                                         << "/dev/null is not a serial device";
}

void TestControllerSimulator::deviceRefused()
{
    QFETCH(QString, device);
    QFETCH(QString, error);
    ControllerSimulator sim;
    QString reason;
    QVERIFY(!sim.startOnDevice(device, &reason));
    QCOMPARE(reason, error);
    QVERIFY(!sim.isServing());
}

// A device path that is a pseudo-terminal's slave: the simulator answers on
// it, and the far end (the master, here the editor's side) gets the answers.
void TestControllerSimulator::deviceGivenAsAPtyPath()
{
    int master = -1, slave = -1;
    char name[128] = {};
    QCOMPARE(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const auto closeBoth = qScopeGuard([&] {
        ::close(master);
        ::close(slave);
    });
    ControllerSimulator sim;
    QString error;
    QVERIFY2(sim.startOnDevice(QString::fromLocal8Bit(name), &error), qPrintable(error));
    QCOMPARE(sim.slavePath(), QString::fromLocal8Bit(name));

    const QByteArray query = frame(DownloadCommands::statusQuery());
    QCOMPARE(::write(master, query.constData(), size_t(query.size())), ssize_t(query.size()));
    const QByteArray expected = answer("0101",
                                       "0000"
                                       "0000");
    QByteArray got;
    while (got.size() < expected.size()) {
        pollfd fd{master, POLLIN, 0};
        QVERIFY2(::poll(&fd, 1, 5000) > 0, "no answer on the device");
        char buffer[64];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        QVERIFY(n > 0);
        got.append(buffer, n);
    }
    QCOMPARE(got, expected);
    sim.stop();
}

QTEST_GUILESS_MAIN(TestControllerSimulator)
#include "test_controller_simulator.moc"
