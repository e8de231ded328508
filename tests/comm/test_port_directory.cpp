#include "comm/PortDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class TestPortDirectory : public QObject
{
    Q_OBJECT

private slots:
    void fixedNumbering_data();
    void fixedNumbering();
    void deviceNames_data();
    void deviceNames();
    void linkWins();
    void linkToNothingResolvesToNothing();
    void missingFixedDeviceIsNothing();
    void presentPortsFromLinks();
    void networkLinks_data();
    void networkLinks();
    void defaultFolderFollowsConfigHome();
};

void TestPortDirectory::fixedNumbering_data()
{
    QTest::addColumn<int>("portNo");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM0") << 0 << QString();
    QTest::newRow("COM-1") << -1 << QString();
    QTest::newRow("COM1") << 1 << "/dev/ttyS0";
    QTest::newRow("COM32") << 32 << "/dev/ttyS31";
    QTest::newRow("COM33") << 33 << "/dev/ttyUSB0";
    QTest::newRow("COM64") << 64 << "/dev/ttyUSB31";
    QTest::newRow("COM65") << 65 << "/dev/ttyACM0";
    QTest::newRow("COM96") << 96 << "/dev/ttyACM31";
    QTest::newRow("COM97") << 97 << QString();
}

void TestPortDirectory::fixedNumbering()
{
    QFETCH(int, portNo);
    QFETCH(QString, device);
    QCOMPARE(PortDirectory::fixedDevicePath(portNo), device);
    if (!device.isEmpty())
        QCOMPARE(PortDirectory::fixedPortNo(device), portNo);
}

void TestPortDirectory::deviceNames_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("portNo");
    QTest::newRow("ttyUSB5") << "/dev/ttyUSB5" << 38;
    QTest::newRow("leading zero") << "/dev/ttyS01" << 0;
    QTest::newRow("past the range") << "/dev/ttyS32" << 0;
    QTest::newRow("sign") << "/dev/ttyACM+1" << 0;
    QTest::newRow("other kind") << "/dev/ttyAMA0" << 0;
    QTest::newRow("pty") << "/dev/pts/3" << 0;
}

void TestPortDirectory::deviceNames()
{
    QFETCH(QString, device);
    QFETCH(int, portNo);
    QCOMPARE(PortDirectory::fixedPortNo(device), portNo);
}

void TestPortDirectory::linkWins()
{
    QTemporaryDir ports;
    QFile target(ports.path() + "/device");
    QVERIFY(target.open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(target.fileName(), ports.path() + "/COM1"));
    const PortDirectory directory(ports.path());
    QCOMPARE(directory.devicePathFor(1), QFileInfo(target.fileName()).canonicalFilePath());
}

void TestPortDirectory::linkToNothingResolvesToNothing()
{
    QTemporaryDir ports;
    QVERIFY(QFile::link(ports.path() + "/gone", ports.path() + "/COM1"));
    const PortDirectory directory(ports.path());
    // A dangling link hides COM1's fixed device: it must not open /dev/ttyS0.
    QCOMPARE(directory.devicePathFor(1), QString());
    QVERIFY(directory.presentPorts().isEmpty() || directory.presentPorts().first().portNo != 1);
}

void TestPortDirectory::missingFixedDeviceIsNothing()
{
    QTemporaryDir ports;
    const PortDirectory directory(ports.path());
    for (int portNo : {1, 33, 65, 96}) {
        const QString fixed = PortDirectory::fixedDevicePath(portNo);
        QCOMPARE(directory.devicePathFor(portNo), QFileInfo::exists(fixed) ? fixed : QString());
    }
}

void TestPortDirectory::presentPortsFromLinks()
{
    QTemporaryDir ports;
    QFile target(ports.path() + "/device");
    QVERIFY(target.open(QIODevice::WriteOnly));
    const QString device = QFileInfo(target.fileName()).canonicalFilePath();
    for (const char *name : {"COM12", "COM3", "COM05", "COMx", "COM"})
        QVERIFY(QFile::link(device, ports.path() + "/" + name));
    QVERIFY(QFile::link(ports.path() + "/gone", ports.path() + "/COM7"));

    const PortDirectory directory(ports.path());
    const QList<PortEntry> present = directory.presentPorts();
    QList<int> numbers;
    for (const PortEntry &entry : present) {
        numbers.append(entry.portNo);
        QCOMPARE(entry.name, "COM" + QString::number(entry.portNo));
        QCOMPARE(entry.devicePath, directory.devicePathFor(entry.portNo));
    }
    QVERIFY(numbers.contains(3));
    QVERIFY(numbers.contains(12));
    QVERIFY(!numbers.contains(7));
    QVERIFY(!numbers.contains(5));
    QVERIFY(std::is_sorted(numbers.cbegin(), numbers.cend()));
    QCOMPARE(std::adjacent_find(numbers.cbegin(), numbers.cend()), numbers.cend());
}

// A COM number bound to a serial device server: the link's text is the
// address, listed with the server's kind; a malformed address is no port.
void TestPortDirectory::networkLinks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("description");
    QTest::newRow("rfc2217") << "rfc2217://127.0.0.1:4001"
                             << "rfc2217://127.0.0.1:4001"
                             << "serial device server, RFC 2217";
    QTest::newRow("raw") << "socket://127.0.0.1:4002"
                         << "socket://127.0.0.1:4002"
                         << "serial device server, raw TCP";
    QTest::newRow("no port number") << "rfc2217://127.0.0.1"
                                    << ""
                                    << "";
}

void TestPortDirectory::networkLinks()
{
    QFETCH(QString, target);
    QFETCH(QString, device);
    QFETCH(QString, description);
    QTemporaryDir ports;
    QVERIFY(QFile::link(target, ports.path() + "/COM7"));
    const PortDirectory directory(ports.path());
    QCOMPARE(directory.devicePathFor(7), device);
    const QList<PortEntry> present = directory.presentPorts();
    const auto it = std::find_if(present.cbegin(), present.cend(), [](const PortEntry &e) { return e.portNo == 7; });
    QCOMPARE(it != present.cend(), !device.isEmpty());
    if (it != present.cend())
        QCOMPARE(it->description, description);
}

void TestPortDirectory::defaultFolderFollowsConfigHome()
{
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    QVERIFY(!home.isEmpty());
    QCOMPARE(PortDirectory::defaultPortsFolder(),
             QDir(QString::fromLocal8Bit(home)).absolutePath() + "/Orrisan/VantrelAssistant/ports");
    QCOMPARE(PortDirectory().portsFolder(), PortDirectory::defaultPortsFolder());
}

QTEST_GUILESS_MAIN(TestPortDirectory)
#include "test_port_directory.moc"
