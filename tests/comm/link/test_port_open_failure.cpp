// What the download says when its port does not open: the reason worded from
// how the open failed, for serial devices and network servers alike, and the
// open itself carrying it.
#include "comm/CommX.h"
#include "comm/PortDirectory.h"
#include "comm/link/CommXDownloadPort.h"
#include "tests/support/PtyPair.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

class TestPortOpenFailure : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    PtyPair m_pty; // COM1

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        const QString ports = PortDirectory::defaultPortsFolder();
        QVERIFY(QDir().mkpath(ports));
        QVERIFY(m_pty.isValid());
        QVERIFY(m_pty.linkAs(ports, 1));
        QVERIFY(QFile::link("/nonexistent/tty", ports + "/COM5")); // leads nowhere: not present
    }

    void portFailuresAreExplained_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("errorState");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        using Step = OpenFailure::Step;
        QTest::newRow("no port chosen") << ""
                                        << "" << 101 << int(Step::NoDevice) << 0
                                        << "No port is chosen (Communication, Com. port settings).";
        QTest::newRow("nothing behind the name")
            << "COM9"
            << "" << 101 << int(Step::NoDevice) << 0 << "COM9: no such port on this computer.";
        QTest::newRow("device refused") << "COM4"
                                        << "/dev/ttyS99x" << 101 << int(Step::Open) << ENOENT
                                        << "COM4 (/dev/ttyS99x): No such file or directory.";
        QTest::newRow("not a serial device")
            << "COM4"
            << "/dev/null" << 101 << int(Step::NotATerminal) << 0 << "COM4 (/dev/null) is not a serial device.";
        QTest::newRow("in use") << "COM4"
                                << "/dev/ttyS3" << 101 << int(Step::InUse) << EWOULDBLOCK
                                << "COM4 (/dev/ttyS3) is in use by another program.";
        QTest::newRow("setup failed") << "COM4"
                                      << "/dev/ttyS3" << 101 << int(Step::Setup) << EIO
                                      << "COM4 (/dev/ttyS3) could not be set up: Input/output error.";
        QTest::newRow("device named by its path")
            << "/dev/pts/77"
            << "/dev/pts/77" << 101 << int(Step::Open) << ENOENT << "/dev/pts/77: No such file or directory.";
        QTest::newRow("7 data bits refused")
            << "COM4"
            << "/dev/ttyS3" << 105 << int(Step::None) << 0 << "COM4 (/dev/ttyS3) does not take 7 data bits.";
        QTest::newRow("time-outs refused") << "COM4"
                                           << "/dev/ttyS3" << 109 << int(Step::None) << 0
                                           << "COM4 (/dev/ttyS3) does not take the line settings (error 109).";
        const QString oven = "rfc2217://127.0.0.1:4001";
        const QString named = "rfc2217://localhost:4001";
        QTest::newRow("server: 2 stop bits refused")
            << oven << oven << 107 << int(Step::None) << 0 << "127.0.0.1:4001 does not take 2 stop bits.";
        QTest::newRow("server behind a COM number") << "COM7" << oven << 104 << int(Step::None) << 0
                                                    << "COM7 (rfc2217://127.0.0.1:4001) does not take 38400 bit/s.";
        QTest::newRow("server: name not known")
            << named << named << 101 << int(Step::NameNotFound) << 0
            << "localhost:4001: the name \"localhost\" is not known (no such host).";
        QTest::newRow("server: refused") << oven << oven << 101 << int(Step::Connect) << ECONNREFUSED
                                         << "127.0.0.1:4001: cannot connect: Connection refused.";
        QTest::newRow("server: silent") << oven << oven << 101 << int(Step::Connect) << ETIMEDOUT
                                        << "127.0.0.1:4001: no connection within 5 s (the server does not answer).";
        QTest::newRow("server: no COM-port option")
            << oven << oven << 101 << int(Step::Protocol) << 0
            << "127.0.0.1:4001 refuses the COM-port option (RFC 2217); a raw TCP port is reached with socket://.";
        QTest::newRow("server: option never agreed")
            << oven << oven << 101 << int(Step::Protocol) << ETIMEDOUT
            << "127.0.0.1:4001 did not take up the COM-port option (RFC 2217) within 5 s; a raw TCP port is reached with socket://.";
    }

    void portFailuresAreExplained()
    {
        QFETCH(QString, port);
        QFETCH(QString, device);
        QFETCH(int, errorState);
        QFETCH(int, step);
        QFETCH(int, error);
        QFETCH(QString, reason);
        QCOMPARE(CommXDownloadPort::describeOpenFailure(port, device, errorState,
                                                        OpenFailure{OpenFailure::Step(step), error}),
                 reason);
    }

    // The reason comes from the open itself, as the download shows it.
    void openFailureCarriesItsReason()
    {
        TCommX holder;
        holder.setPortNo(1);
        holder.Open();
        QVERIFY(holder.IsOpen());
        const QString ports = PortDirectory::defaultPortsFolder();
        QVERIFY(QFile::link("/dev/null", ports + "/COM6"));
        for (const auto &[portNo, reason] :
             {std::pair{1, QStringLiteral("COM1 (%1) is in use by another program.").arg(m_pty.slavePath)},
              std::pair{5, QStringLiteral("COM5: no such port on this computer.")},
              std::pair{6, QStringLiteral("COM6 (/dev/null) is not a serial device.")}}) {
            TCommX comm;
            comm.setPortNo(portNo);
            CommXDownloadPort port(comm);
            try {
                port.Open();
                QFAIL("opened");
            } catch (const PortOpenError &e) {
                QCOMPARE(e.reason(), reason);
            }
            QVERIFY(!comm.IsOpen());
        }
        QFile::remove(ports + "/COM6");
    }
};

QTEST_GUILESS_MAIN(TestPortOpenFailure)
#include "test_port_open_failure.moc"
