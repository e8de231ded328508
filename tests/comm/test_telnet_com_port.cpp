#include "comm/TelnetComPort.h"

#include <QtTest>

using Reply = TelnetComPort::Reply;
Q_DECLARE_METATYPE(QList<TelnetComPort::Reply>)

namespace {
QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}
constexpr int IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
}

class TestTelnetComPort : public QObject
{
    Q_OBJECT
private slots:
    // What the server sends, in pieces as TCP may cut it: the data that
    // comes out, what the client answers, and the COM-port replies.
    void decode_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<QList<Reply>>("replies");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("refused");
        QTest::newRow("plain data") << QList<QByteArray>{"\x02"
                                                         "0101",
                                                         "00\x03"}
                                    << QByteArray("\x02"
                                                  "010100\x03")
                                    << QByteArray() << QList<Reply>{} << false << false;
        QTest::newRow("doubled 0xFF is one data byte, also cut in two")
            << QList<QByteArray>{bytes({'a', IAC}), bytes({IAC, 'b'})} << bytes({'a', IAC, 'b'}) << QByteArray()
            << QList<Reply>{} << false << false;
        // The opening of a real server: binary and suppress-go-ahead both
        // ways, echo offered and refused, the option accepted.
        QTest::newRow("a server's opening")
            << QList<QByteArray>{bytes({IAC, WILL, 3, IAC, DO, 3, IAC, WILL, 1, IAC, DO, 0, IAC, WILL, 0, IAC, DO, 44})}
            << QByteArray() << bytes({IAC, DO, 3, IAC, WILL, 3, IAC, DONT, 1}) << QList<Reply>{} << true << false;
        QTest::newRow("option refused") << QList<QByteArray>{bytes({IAC, DONT, 44})} << QByteArray() << QByteArray()
                                        << QList<Reply>{} << false << true;
        QTest::newRow("unknown option asked for is refused")
            << QList<QByteArray>{bytes({IAC, DO, 24, 'x'})} << QByteArray("x") << bytes({IAC, WONT, 24})
            << QList<Reply>{} << false << false;
        QTest::newRow("reply with a doubled 0xFF, cut inside")
            << QList<QByteArray>{bytes({IAC, SB, 44, 101, 0, 0, IAC}), bytes({IAC, 0, IAC, SE, 'z'})} << QByteArray("z")
            << QByteArray() << QList<Reply>{{101, bytes({0, 0, 255, 0})}} << false << false;
        QTest::newRow("replies between data")
            << QList<QByteArray>{bytes({'1', IAC, SB, 44, 104, 2, IAC, SE, '2', IAC, SB, 44, 112, 1, IAC, SE})}
            << QByteArray("12") << QByteArray() << QList<Reply>{{104, bytes({2})}, {112, bytes({1})}} << false << false;
        QTest::newRow("other sub-negotiations are not replies")
            << QList<QByteArray>{bytes({IAC, SB, 24, 1, IAC, SE, 'k'})} << QByteArray("k") << QByteArray()
            << QList<Reply>{} << false << false;
        QTest::newRow("a command without meaning is dropped")
            << QList<QByteArray>{bytes({'a', IAC, 241, 'b'})} << QByteArray("ab") << QByteArray() << QList<Reply>{}
            << false << false;
    }

    void decode()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, answers);
        QFETCH(QList<Reply>, replies);
        QFETCH(bool, accepted);
        QFETCH(bool, refused);
        TelnetComPort telnet;
        QCOMPARE(telnet.opening(), bytes({IAC, WILL, 0, IAC, DO, 0, IAC, WILL, 44}));
        QByteArray got;
        for (const QByteArray &piece : pieces)
            telnet.feed(piece.constData(), int(piece.size()), got);
        QCOMPARE(got, data);
        QCOMPARE(telnet.takeOutgoing(), answers);
        QCOMPARE(telnet.takeReplies(), replies);
        QCOMPARE(telnet.comPortAccepted(), accepted);
        QCOMPARE(telnet.comPortRefused(), refused);
    }

    // The client's side: data escaped, commands framed, the line settings
    // as the option's codes.
    void encode_data()
    {
        QTest::addColumn<QByteArray>("made");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray ff = bytes({'a', IAC, IAC, 'b'});
        QTest::newRow("0xFF doubled") << TelnetComPort::escape("a\xff"
                                                               "b",
                                                               3)
                                      << ff;
        QTest::newRow("38400 bit/s") << TelnetComPort::command(1, TelnetComPort::baudRateValue(38400))
                                     << bytes({IAC, SB, 44, 1, 0, 0, 0x96, 0, IAC, SE});
        QTest::newRow("0xFF inside a value") << TelnetComPort::command(1, TelnetComPort::baudRateValue(0xFF00))
                                             << bytes({IAC, SB, 44, 1, 0, 0, IAC, IAC, 0, IAC, SE});
        QTest::newRow("even parity") << QByteArray(1, char(TelnetComPort::parityCode(2))) << bytes({3});
        QTest::newRow("space parity") << QByteArray(1, char(TelnetComPort::parityCode(4))) << bytes({5});
        QTest::newRow("no such parity") << QByteArray(1, char(TelnetComPort::parityCode(5))) << bytes({0});
        QTest::newRow("one stop bit") << QByteArray(1, char(TelnetComPort::stopSizeCode(0))) << bytes({1});
        QTest::newRow("one and a half") << QByteArray(1, char(TelnetComPort::stopSizeCode(1))) << bytes({3});
        QTest::newRow("two stop bits") << QByteArray(1, char(TelnetComPort::stopSizeCode(2))) << bytes({2});
    }

    void encode()
    {
        QFETCH(QByteArray, made);
        QFETCH(QByteArray, expected);
        QCOMPARE(made, expected);
    }
};

QTEST_GUILESS_MAIN(TestTelnetComPort)
#include "test_telnet_com_port.moc"
