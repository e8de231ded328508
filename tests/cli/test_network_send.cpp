// Whole downloads through Debian's ser2net in front of the simulator, by the
// editor's download (a COM number bound to the server) and by vantrel send
// (the address as --port), over raw TCP and RFC 2217; and the ways a network
// line fails, each ending within its bound with its reason. Only 127.0.0.1.
#include "comm/CommX.h"
#include "comm/PortDirectory.h"
#include "comm/link/CommXDownloadPort.h"
#include "comm/link/ProgramDownload.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/DownloadFakes.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/Ser2netServer.h"
#include "tests/support/TpdTestData.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Kind = Ser2netServer::Kind;

struct Run
{
    int status = -1;
    QString out;
};

QProcess *startVantrel(const QStringList &arguments)
{
    auto *process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(VANTREL_TOOL), arguments);
    process->closeWriteChannel();
    return process;
}

Run finish(QProcess *process)
{
    std::unique_ptr<QProcess> owner(process);
    if (!process->waitForFinished(60000)) {
        process->kill();
        process->waitForFinished();
        return {-2, QStringLiteral("did not end within a minute")};
    }
    return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
            QString::fromUtf8(process->readAll())};
}

QList<SlotCells> segments32()
{
    QList<SlotCells> list;
    for (int slot = 0; slot < 32; ++slot) {
        const bool ramp = slot % 2 == 0;
        list.append(
            {slot, ramp ? "Ramp" : "Hold", ramp ? "150.0" : "0.0", ramp ? "10.0" : "0.0", ramp ? "0.00" : "5.30"});
    }
    return list;
}

QList<QByteArray> commandsTaken(const ControllerSimulator &sim)
{
    QList<QByteArray> list;
    for (const SimulatorRecord &r : sim.records())
        list << r.command;
    return list;
}

enum class Failure { NobodyListens, RefusesStopBits, NeverAnswers, ClosesMidDownload, ServerWithoutDevice };

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Failure)

class TestNetworkSend : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    QString m_file;
    QList<QByteArray> m_direct; // what the controller takes over a direct line

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
        QVERIFY2(Ser2netServer::installed(), "ser2net is missing (scripts/debian-packages.sh installs it)");
        m_file = m_home.filePath("p32.tpd");
        QFile file(m_file);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(TpdFormat::write(buildProgram(3, "40.00", 33, segments32()), nullptr)) > 0);
        file.close();
        ControllerSimulator sim;
        QVERIFY(sim.start());
        const Run run = finish(startVantrel({"send", m_file, "--port", sim.slavePath(), "--yes"}));
        QCOMPARE(run.status, 0);
        sim.waitForRecords(37, 3000); // the simulator notes a command once its answer is out
        m_direct = commandsTaken(sim);
        QCOMPARE(m_direct.size(), 37);
    }

    void download_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("editor");
        QTest::newRow("rfc2217, editor") << Kind::Rfc2217 << true;
        QTest::newRow("rfc2217, vantrel send") << Kind::Rfc2217 << false;
        QTest::newRow("raw, editor") << Kind::Raw << true;
        QTest::newRow("raw, vantrel send") << Kind::Raw << false;
    }

    void download()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, editor);
        ControllerSimulator sim;
        QVERIFY(sim.start());
        Ser2netServer server;
        QString error;
        QVERIFY2(server.start(kind, sim.slavePath(), &error), qPrintable(error));
        if (editor) {
            // The editor's way: COM7 in the ports folder leads to the server.
            QTemporaryDir ports;
            QVERIFY(QFile::link(server.url(kind), ports.filePath("COM7")));
            TCommX comm;
            CommXDownloadPort::useControllerLine(comm);
            comm.setPortDirectory(PortDirectory(ports.path()));
            comm.setPortNo(7);
            CommXDownloadPort port(comm);
            FakeTransferWindow window;
            window.number = 3;
            window.initialTemp = "40.00";
            for (const SlotCells &s : segments32()) {
                window.table.setMode(s.slot + 1, s.mode);
                window.table.setCell(TemperatureProgram::TempRow, s.slot + 1, s.temp);
                window.table.setCell(TemperatureProgram::RateRow, s.slot + 1, s.rate);
                window.table.setCell(TemperatureProgram::TimeRow, s.slot + 1, s.time);
            }
            ScriptedPrompts prompts;
            prompts.boxAnswers = {Prompts::Yes};
            ProgramDownload download(window, port, prompts);
            download.run();
            QCOMPARE(download.lastEnding().kind, ProgramDownload::Ending::Kind::Completed);
            QVERIFY(!comm.IsOpen());
            QVERIFY(!window.inTransfer);
        } else {
            const Run run = finish(startVantrel({"send", m_file, "--port", server.url(kind), "--yes"}));
            QCOMPARE(run.status, 0);
            QVERIFY(run.out.endsWith("Transmission was completed\n"));
        }
        sim.waitForRecords(m_direct.size(), 3000); // the simulator notes a command once its answer is out
        QCOMPARE(commandsTaken(sim), m_direct);
    }

    // vantrel send against servers that fail: the exit status and the reason.
    void failures_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason"); // %1: the server's port
        QTest::newRow("nobody listens") << Failure::NobodyListens << 3
                                        << "127.0.0.1:%1: cannot connect: Connection refused.";
        QTest::newRow("refuses 2 stop bits")
            << Failure::RefusesStopBits << 3 << "127.0.0.1:%1 does not take 2 stop bits.";
        // ser2net that cannot open its serial device says so and hangs up:
        // that is no refusal of the line settings.
        QTest::newRow("server without its device")
            << Failure::ServerWithoutDevice << 3 << ": the server closed the connection (\"Device open failure";
        QTest::newRow("accepts and never answers") << Failure::NeverAnswers << 4 << "Comm.port setting is different or";
        // A line whose far end went away is one that does not answer.
        QTest::newRow("closes mid-download") << Failure::ClosesMidDownload << 4 << "Comm.port setting is different or";
    }

    void failures()
    {
        QFETCH(Failure, failure);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QByteArray data; // what reached the server that refuses a setting
        Run run;
        quint16 port = 0;
        {
            LoopbackServer fake(
                [&](LoopbackServer &s, int c) {
                    if (failure == Failure::RefusesStopBits) {
                        LoopbackServer::comPortScript(
                            s, c, ComPortCommand::SetStopSize, [&](const QByteArray &d) { data += d; }, nullptr);
                    } else {
                        QByteArray seen;
                        s.readFor(c, 30000, seen);
                    }
                },
                failure != Failure::NobodyListens);
            ControllerSimulator sim;
            Ser2netServer server;
            QString url = QStringLiteral("%1://127.0.0.1:%2")
                              .arg(failure == Failure::RefusesStopBits ? "rfc2217" : "socket")
                              .arg(fake.port());
            port = fake.port();
            if (failure == Failure::ClosesMidDownload) {
                QVERIFY(sim.start());
                QString error;
                QVERIFY2(server.start(Kind::Rfc2217, sim.slavePath(), &error), qPrintable(error));
                url = server.url(Kind::Rfc2217);
            }
            if (failure == Failure::ServerWithoutDevice) {
                QString error;
                QVERIFY2(server.start(Kind::Rfc2217, m_home.filePath("no-such-tty"), &error), qPrintable(error));
                url = server.url(Kind::Rfc2217);
            }
            QProcess *process = startVantrel({"send", m_file, "--port", url, "--yes"});
            if (failure == Failure::ClosesMidDownload) {
                QVERIFY(sim.waitForRecords(6, 20000));
                server.stop();
            }
            run = finish(process);
        }
        QCOMPARE(run.status, status);
        if (reason.contains("%1"))
            reason = reason.arg(port);
        QVERIFY2(run.out.contains(reason), qPrintable(run.out));
        QCOMPARE(data, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestNetworkSend)
#include "test_network_send.moc"
