#include "comm/NetworkAddress.h"

#include <QtTest>

class TestNetworkAddress : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("network");  // looks like one of the two schemes
        QTest::addColumn<QString>("url");   // as parsed; empty when refused
        QTest::addColumn<QString>("host");
        QTest::newRow("raw by name") << "socket://oven-3:4001" << true << "socket://oven-3:4001" << "oven-3";
        QTest::newRow("rfc2217 by address") << "rfc2217://127.0.0.1:2217" << true << "rfc2217://127.0.0.1:2217" << "127.0.0.1";
        QTest::newRow("scheme in capitals") << "RFC2217://lab.example:7000" << true << "rfc2217://lab.example:7000" << "lab.example";
        QTest::newRow("IPv6 in brackets") << "socket://[::1]:4001" << true << "socket://[::1]:4001" << "::1";
        QTest::newRow("trailing slash") << "socket://box:1/" << true << "socket://box:1" << "box";
        QTest::newRow("highest port") << "socket://box:65535" << true << "socket://box:65535" << "box";
        QTest::newRow("port 0") << "socket://box:0" << true << "" << "";
        QTest::newRow("port too high") << "socket://box:65536" << true << "" << "";
        QTest::newRow("no port") << "rfc2217://box" << true << "" << "";
        QTest::newRow("empty host") << "rfc2217://:4001" << true << "" << "";
        QTest::newRow("path after port") << "socket://box:4001/x" << true << "" << "";
        QTest::newRow("IPv6 without brackets") << "socket://::1:4001" << true << "" << "";
        QTest::newRow("space in host") << "socket://my box:4001" << true << "" << "";
        QTest::newRow("another scheme") << "telnet://box:23" << false << "" << "";
        QTest::newRow("device path") << "/dev/ttyUSB0" << false << "" << "";
        QTest::newRow("COM name") << "COM3" << false << "" << "";
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, network);
        QFETCH(QString, url);
        QFETCH(QString, host);
        QCOMPARE(NetworkAddress::looksLikeNetwork(text), network);
        const std::optional<NetworkAddress> address = NetworkAddress::parse(text);
        QCOMPARE(address.has_value(), !url.isEmpty());
        if (address) {
            QCOMPARE(address->url(), url);
            QCOMPARE(address->host, host);
            QCOMPARE(address->kind, url.startsWith("rfc2217") ? NetworkAddress::Kind::Rfc2217 : NetworkAddress::Kind::Raw);
        }
    }
};

QTEST_GUILESS_MAIN(TestNetworkAddress)
#include "test_network_address.moc"
