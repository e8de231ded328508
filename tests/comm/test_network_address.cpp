#include "comm/NetworkAddress.h"

#include <QtTest>

class TestNetworkAddress : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("network"); // looks like one of the two schemes
        QTest::addColumn<QString>("url");  // as parsed; empty when refused
        QTest::addColumn<QString>("host");
        QTest::newRow("raw by name") << "socket://localhost:4001" << true << "socket://localhost:4001"
                                     << "localhost";
        QTest::newRow("rfc2217 by address") << "rfc2217://127.0.0.1:2217" << true << "rfc2217://127.0.0.1:2217"
                                            << "127.0.0.1";
        QTest::newRow("scheme in capitals") << "RFC2217://localhost:7000" << true << "rfc2217://localhost:7000"
                                            << "localhost";
        QTest::newRow("IPv6 in brackets") << "socket://[::1]:4001" << true << "socket://[::1]:4001"
                                          << "::1";
        QTest::newRow("trailing slash") << "socket://127.0.0.1:1/" << true << "socket://127.0.0.1:1"
                                        << "127.0.0.1";
        QTest::newRow("highest port") << "socket://127.0.0.1:65535" << true << "socket://127.0.0.1:65535"
                                      << "127.0.0.1";
        QTest::newRow("port 0") << "socket://127.0.0.1:0" << true << ""
                                << "";
        QTest::newRow("port too high") << "socket://127.0.0.1:65536" << true << ""
                                       << "";
        QTest::newRow("no port") << "rfc2217://127.0.0.1" << true << ""
                                 << "";
        QTest::newRow("empty host") << "rfc2217://:4001" << true << ""
                                    << "";
        QTest::newRow("path after port") << "socket://127.0.0.1:4001/x" << true << ""
                                         << "";
        QTest::newRow("IPv6 without brackets") << "socket://::1:4001" << true << ""
                                               << "";
        QTest::newRow("space in host") << "socket://my host:4001" << true << ""
                                       << "";
        QTest::newRow("another scheme") << "telnet://127.0.0.1:23" << false << ""
                                        << "";
        QTest::newRow("device path") << "/dev/ttyUSB0" << false << ""
                                     << "";
        QTest::newRow("COM name") << "COM3" << false << ""
                                  << "";
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
            QCOMPARE(address->kind,
                     url.startsWith("rfc2217") ? NetworkAddress::Kind::Rfc2217 : NetworkAddress::Kind::Raw);
        }
    }
};

QTEST_GUILESS_MAIN(TestNetworkAddress)
#include "test_network_address.moc"
