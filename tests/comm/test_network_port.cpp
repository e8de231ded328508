// The serial component on a network port, against small servers the test
// runs on 127.0.0.1: how opening fails, and the line itself (0xFF both ways,
// purges, a server that goes away). A refused setting: test_network_send.
#include "comm/CommX.h"
#include "comm/NetworkSerialPlatform.h"
#include "comm/TelnetComPort.h"
#include "tests/support/LoopbackServer.h"

#include <QtTest>

#include <cerrno>

namespace {

enum class Server { Silent, RefusesOption, ClosesAtOnce };

std::unique_ptr<TCommX> controllerLine(const QString &url)
{
    NetworkSerialPlatform::Limits limits;
    limits.connectMs = 400;
    limits.replyMs = 400;
    auto comm = std::make_unique<TCommX>(std::make_unique<NetworkSerialPlatform>(limits));
    comm->setPortDirectory(PortDirectory::forDevice(url));
    comm->setBitRate(38400);
    comm->setCharSize(7);
    comm->setParityBit(cpbEven);
    comm->setStopBit(csb2);
    comm->setFlowCtrl(cfcNone);
    comm->setTimeOutTrans(1000);
    comm->setTimeOutReceive(1000);
    return comm;
}

QString url(const char *scheme, quint16 port)
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(port);
}

} // namespace

Q_DECLARE_METATYPE(Server)
Q_DECLARE_METATYPE(OpenFailure::Step)

class TestNetworkPort : public QObject
{
    Q_OBJECT
private slots:
    void openFailsWithItsReason_data()
    {
        QTest::addColumn<Server>("server");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<OpenFailure::Step>("step");
        QTest::addColumn<int>("error");
        using Step = OpenFailure::Step;
        QTest::newRow("accepts, never answers the option")
            << Server::Silent << "rfc2217" << Step::Protocol << ETIMEDOUT;
        QTest::newRow("refuses the option") << Server::RefusesOption << "rfc2217" << Step::Protocol << 0;
        QTest::newRow("closes at once") << Server::ClosesAtOnce << "rfc2217" << Step::Protocol << ECONNRESET;
        QTest::newRow("raw: accepts and never answers opens") << Server::Silent << "socket" << Step::None << 0;
    }

    void openFailsWithItsReason()
    {
        QFETCH(Server, server);
        QFETCH(QString, scheme);
        QFETCH(OpenFailure::Step, step);
        QFETCH(int, error);
        LoopbackServer listener([server](LoopbackServer &s, int c) {
            QByteArray seen;
            if (server == Server::RefusesOption && s.readUntil(c, QByteArray("\xff\xfb\x2c"), 3000, seen))
                LoopbackServer::send(c, QByteArray("\xff\xfe\x2c"));
            if (server != Server::ClosesAtOnce)
                s.readFor(c, 3000, seen);
        });
        QVERIFY(listener.port() != 0);
        auto comm = controllerLine(url(scheme.toLatin1().constData(), listener.port()));
        int code = 0;
        try {
            comm->Open();
        } catch (const ECommError &e) {
            code = e.ErrorState;
        }
        QCOMPARE(code, step == OpenFailure::Step::None ? 0 : CommErrorCode::OpenFailed);
        QCOMPARE(comm->IsOpen(), step == OpenFailure::Step::None);
        QCOMPARE(comm->LastOpenFailure().step, step);
        QCOMPARE(comm->LastOpenFailure().error, error);
        comm->Close();
    }

    // Bytes both ways, 0xFF among them; purges reach an RFC 2217 server as
    // its purge; the server closing between two commands ends the read with
    // a failure, and the port still closes.
    void lineUntilTheServerGoes_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::newRow("raw") << "socket";
        QTest::newRow("rfc2217") << "rfc2217";
    }

    void lineUntilTheServerGoes()
    {
        QFETCH(QString, scheme);
        const bool telnet = scheme == "rfc2217";
        const QByteArray command("\x02"
                                 "A\xff"
                                 "B\x03",
                                 5);
        const QByteArray answer("ok\xff", 3);
        QList<TelnetComPort::Reply> commands;
        QByteArray data;
        {
            LoopbackServer server([&](LoopbackServer &s, int c) {
                const auto reply = [&](const QByteArray &d) {
                    data += d;
                    if (data.contains(command))
                        LoopbackServer::send(c, telnet ? TelnetComPort::escape(answer.constData(), 3) : answer);
                };
                if (telnet) {
                    LoopbackServer::comPortScript(
                        s, c, 0,
                        [&](const QByteArray &d) {
                            reply(d);
                            if (data.contains(command))
                                ::shutdown(c, SHUT_RDWR);
                        },
                        &commands);
                    return;
                }
                QByteArray seen;
                if (s.readUntil(c, command, 3000, seen))
                    reply(seen);
            });
            auto comm = controllerLine(url(scheme.toLatin1().constData(), server.port()));
            comm->Open();
            QVERIFY(comm->IsOpen());
            comm->PurgeTrans();
            QVERIFY(comm->WriteString(command));
            char buffer[8] = {};
            QCOMPARE(comm->Read(buffer, 3), 3);
            QCOMPARE(QByteArray(buffer, 3), answer);
            comm->PurgeReceive();
            // The server is gone now: no hang, a failed read.
            QCOMPARE(comm->Read(buffer, 8), -1);
            QVERIFY(comm->IsOpen());
            comm->Close();
            QVERIFY(!comm->IsOpen());
        }
        QCOMPARE(data, command);
        if (telnet) {
            const auto purges = std::count_if(commands.cbegin(), commands.cend(), [](const TelnetComPort::Reply &r) {
                return r.command == ComPortCommand::PurgeData;
            });
            QVERIFY(purges >= 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestNetworkPort)
#include "test_network_port.moc"
