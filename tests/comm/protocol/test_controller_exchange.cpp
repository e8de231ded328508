#include "comm/protocol/CommError.h"
#include "comm/protocol/ControllerExchange.h"
#include "tests/support/FakeExchangePort.h"

#include <QTest>

namespace {

QByteArray answer(const QByteArray &code, const QByteArray &data = {})
{
    const QByteArray body = QByteArrayLiteral("0100") + "00" + "0101" + code + data + '\x03';
    return '\x02' + body + ControllerExchange::checkByteOf(body);
}

} // namespace

class TestControllerExchange : public QObject
{
    Q_OBJECT

private slots:
    void frameOfCommand_data();
    void frameOfCommand();
    void calcBcc_data();
    void calcBcc();
    void hexToInt_data();
    void hexToInt();
    void exchangeCallsPortInOrder();
    void receive_data();
    void receive();
    void noAnswerKeepsTextAndSetsNoReply();
    void noReplyIsNotClearedByLaterAnswer();
    void portFailure_data();
    void portFailure();
    void answerFields_data();
    void answerFields();
    void acceptance_data();
    void acceptance();
};

void TestControllerExchange::frameOfCommand_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("status query") << QByteArray("0101800012000001")
                                  << QByteArray("\x02"
                                                "01000"
                                                "0101800012000001"
                                                "\x03"
                                                "8");
    QTest::newRow("program number 3") << QByteArray("0102C1004E00000100000003")
                                      << QByteArray("\x02"
                                                    "01000"
                                                    "0102C1004E00000100000003"
                                                    "\x03"
                                                    "0");
    QTest::newRow("ramp segment 0 to 100.0 at 5.0") << QByteArray("0102C40002000005"
                                                                  "00000000"
                                                                  "00000000"
                                                                  "000003E8"
                                                                  "00000032"
                                                                  "00000000")
                                                    << QByteArray("\x02"
                                                                  "01000"
                                                                  "0102C40002000005"
                                                                  "00000000"
                                                                  "00000000"
                                                                  "000003E8"
                                                                  "00000032"
                                                                  "00000000"
                                                                  "\x03"
                                                                  ">");
    QTest::newRow("check byte 0x02 written raw") << QByteArray("0101800012000001129")
                                                 << QByteArray("\x02"
                                                               "01000"
                                                               "0101800012000001129"
                                                               "\x03"
                                                               "\x02");
    QTest::newRow("check byte 0x03 written raw") << QByteArray("0101800012000001128")
                                                 << QByteArray("\x02"
                                                               "01000"
                                                               "0101800012000001128"
                                                               "\x03"
                                                               "\x03");
}

void TestControllerExchange::frameOfCommand()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, frame);

    FakeExchangePort port;
    port.arriving = answer("0000");
    ControllerExchange exchange(port);
    exchange.exchange(command);

    QCOMPARE(exchange.commandText, command);
    QCOMPARE(exchange.frameText, frame);
    QCOMPARE(exchange.frameText.size(), command.size() + 8);
    QCOMPARE(exchange.checkByte, frame.right(1));
    QCOMPARE(port.written, frame);
    QCOMPARE(ControllerExchange::buildFrame("01000", command), frame);
}

void TestControllerExchange::calcBcc_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("bcc");

    QTest::newRow("empty") << QByteArray() << QByteArray(1, '\0');
    QTest::newRow("abc") << QByteArray("abc") << QByteArray(1, '\x60');
    QTest::newRow("one byte") << QByteArray("A") << QByteArray("A");
    QTest::newRow("pair cancels") << QByteArray("ZZ") << QByteArray(1, '\0');
    QTest::newRow("zero byte counts as data") << QByteArray("a\0b", 3) << QByteArray(1, 'a' ^ 'b');
}

void TestControllerExchange::calcBcc()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, bcc);
    QCOMPARE(ControllerExchange::checkByteOf(text), bcc);
}

void TestControllerExchange::hexToInt_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("value");

    QTest::newRow("1F") << QByteArray("1F") << 31;
    QTest::newRow("lower case") << QByteArray("00a1") << 161;
    QTest::newRow("stops at G") << QByteArray("12G4") << 18;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("no digit first") << QByteArray("x12") << 0;
    QTest::newRow("eight F") << QByteArray("FFFFFFFF") << -1;
    QTest::newRow("7FFFFFFF") << QByteArray("7FFFFFFF") << 0x7FFFFFFF;
    QTest::newRow("ninth digit would overflow") << QByteArray("123456789") << 0x12345678;
    QTest::newRow("overflow stop after F") << QByteArray("FFFFFFFF1") << -1;
    QTest::newRow("leading zeros never overflow") << QByteArray("0000000000A") << 10;
    QTest::newRow("status 0080") << QByteArray("0080") << 128;
}

void TestControllerExchange::hexToInt()
{
    QFETCH(QByteArray, text);
    QFETCH(qint32, value);
    QCOMPARE(ControllerExchange::hexValue(text), value);
}

void TestControllerExchange::exchangeCallsPortInOrder()
{
    FakeExchangePort port;
    port.arriving = answer("0000");
    ControllerExchange exchange(port);
    exchange.exchange("0101800012000001");
    QCOMPARE(port.calls, QStringList({"PurgeTrans", "WriteString", "PurgeReceive", "ReadAnswer", "PurgeReceive"}));
}

void TestControllerExchange::receive_data()
{
    QTest::addColumn<QByteArray>("queued");
    QTest::addColumn<QByteArray>("arriving");
    QTest::addColumn<QByteArray>("receiveText");

    const QByteArray fresh = answer("0000", "0000");
    QTest::newRow("answer") << QByteArray() << fresh << fresh;
    QTest::newRow("stale bytes before the read are dropped") << answer("1100") << fresh << fresh;
    const QByteArray longAnswer = QByteArray(200, 'x');
    QTest::newRow("more than 128 bytes") << QByteArray() << longAnswer << longAnswer.left(128);
    QTest::newRow("exactly 128 bytes") << QByteArray() << longAnswer.left(128) << longAnswer.left(128);
}

void TestControllerExchange::receive()
{
    QFETCH(QByteArray, queued);
    QFETCH(QByteArray, arriving);
    QFETCH(QByteArray, receiveText);

    FakeExchangePort port;
    port.queued = queued;
    port.arriving = arriving;
    ControllerExchange exchange(port);
    exchange.receiveAnswer();

    QCOMPARE(exchange.receivedText, receiveText);
    QCOMPARE(exchange.receivedCount, qint32(receiveText.size()));
    QVERIFY(exchange.lastExchangeAnswered());
    QVERIFY(!exchange.noReply);
    QVERIFY2(port.queued.isEmpty(), "bytes beyond the answer must be purged");
}

void TestControllerExchange::noAnswerKeepsTextAndSetsNoReply()
{
    for (int readResult : {0, -1}) {
        FakeExchangePort port;
        port.arriving = answer("0000", "0000");
        ControllerExchange exchange(port);
        exchange.exchange("0101800012000001");
        const QByteArray previous = exchange.receivedText;
        QVERIFY(exchange.lastCommandAccepted());

        port.readResult = readResult;
        exchange.exchange("0102C1004E00000100000003");
        QCOMPARE(exchange.receivedCount, readResult);
        QVERIFY(exchange.noReply);
        QCOMPARE(exchange.receivedText, previous);
        QVERIFY2(!exchange.lastExchangeAnswered(), "a stale answer must not count");
        QVERIFY(!exchange.lastCommandAccepted());
        QCOMPARE(exchange.responseCode(), QByteArray("0000")); // the stale text is still there
    }
}

void TestControllerExchange::noReplyIsNotClearedByLaterAnswer()
{
    FakeExchangePort port;
    port.readResult = 0;
    ControllerExchange exchange(port);
    exchange.exchange("0101800012000001");
    QVERIFY(exchange.noReply);

    port.readResult = 1;
    port.arriving = answer("0000", "0000");
    exchange.exchange("0101800012000001");
    QVERIFY(exchange.lastExchangeAnswered());
    QVERIFY(exchange.noReply);
}

void TestControllerExchange::portFailure_data()
{
    QTest::addColumn<QString>("failIn");
    QTest::addColumn<bool>("closeFails");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("calls");

    const QString writeError = QStringLiteral("通信ポートエラー");
    const QString readError = QStringLiteral("Comm.port error");
    QTest::newRow("purge before write") << "PurgeTrans" << false << writeError << QStringList{"PurgeTrans", "Close"};
    QTest::newRow("write") << "WriteString" << false << writeError << QStringList{"PurgeTrans", "WriteString", "Close"};
    QTest::newRow("write, close fails too")
        << "WriteString" << true << writeError << QStringList{"PurgeTrans", "WriteString", "Close"};
    QTest::newRow("purge before read") << "PurgeReceive" << false << readError
                                       << QStringList{"PurgeTrans", "WriteString", "PurgeReceive", "Close"};
    QTest::newRow("read") << "ReadAnswer" << false << readError
                          << QStringList{"PurgeTrans", "WriteString", "PurgeReceive", "ReadAnswer", "Close"};
}

void TestControllerExchange::portFailure()
{
    QFETCH(QString, failIn);
    QFETCH(bool, closeFails);
    QFETCH(QString, message);
    QFETCH(QStringList, calls);

    FakeExchangePort port;
    port.arriving = answer("0000");
    port.failIn = failIn;
    port.closeFails = closeFails;
    ControllerExchange exchange(port);
    try {
        exchange.exchange("0101800012000001");
        QFAIL("no error raised");
    } catch (const CommError &error) {
        QCOMPARE(error.message(), message);
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
    QCOMPARE(port.calls, calls);
    QVERIFY(!exchange.lastExchangeAnswered());
}

void TestControllerExchange::answerFields_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("responseCode");
    QTest::addColumn<QByteArray>("statusValue");

    QTest::newRow("code and status") << QByteArray("\x02"
                                                   "0123456789"
                                                   "0000"
                                                   "00A1"
                                                   "\x03"
                                                   "x")
                                     << QByteArray("0000") << QByteArray("00A1");
    QTest::newRow("refused, no data") << QByteArray("\x02"
                                                    "0100000101"
                                                    "1100"
                                                    "\x03"
                                                    "x")
                                      << QByteArray("1100")
                                      << QByteArray("\x03"
                                                    "x");
    QTest::newRow("short answer gives short code") << QByteArray("\x02"
                                                                 "0100130")
                                                   << QByteArray() << QByteArray();
    QTest::newRow("code cut after two characters") << QByteArray("\x02"
                                                                 "0123456789"
                                                                 "00")
                                                   << QByteArray("00") << QByteArray();
}

void TestControllerExchange::answerFields()
{
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, responseCode);
    QFETCH(QByteArray, statusValue);

    FakeExchangePort port;
    port.arriving = received;
    ControllerExchange exchange(port);
    exchange.exchange("0101800012000001");
    QCOMPARE(exchange.responseCode(), responseCode);
    QCOMPARE(exchange.statusValue(), statusValue);
}

void TestControllerExchange::acceptance_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<bool>("wellFormed");
    QTest::addColumn<bool>("accepted");

    const QByteArray good = answer("0000", "0000");
    QTest::newRow("accepted") << good << true << true;
    QTest::newRow("refused") << answer("1100") << true << false;
    QTest::newRow("accepted without data") << answer("0000") << true << true;
    QTest::newRow("wrong check byte") << QByteArray(good).replace(good.size() - 1, 1, "?") << false << false;
    QTest::newRow("ETX without check byte") << good.chopped(1) << false << false;
    QTest::newRow("no STX") << good.mid(1) << false << false;
    QTest::newRow("stray STX in front") << '\x02' + good << false << false;
    QTest::newRow("bytes after the check byte") << good + "0000" << false << false;
    // A second STX starts another frame, even where the check byte still
    // matches (an STX in place of a status digit, with the check byte mended).
    QTest::newRow("second STX in the data") << answer("0000", "000\x02") << false << false;
    QTest::newRow("check byte STX") << [] {
        // Status "00" "x" "r" happens to give the check byte 0x02.
        QByteArray data("00");
        for (char c = '0'; c <= 'z'; ++c)
            for (char d = '0'; d <= 'z'; ++d)
                if (answer("0000", data + c + d).back() == '\x02')
                    return answer("0000", data + c + d);
        return QByteArray();
    }() << true << true;
    QTest::newRow("answer to another command") << [] {
        const QByteArray body = QByteArrayLiteral("0100"
                                                  "00"
                                                  "0102"
                                                  "0000"
                                                  "\x03");
        return '\x02' + body + ControllerExchange::checkByteOf(body);
    }() << false << false;
    QTest::newRow("answer from another node") << [] {
        const QByteArray body = QByteArrayLiteral("0200"
                                                  "00"
                                                  "0101"
                                                  "0000"
                                                  "0000"
                                                  "\x03");
        return '\x02' + body + ControllerExchange::checkByteOf(body);
    }() << false << false;
    QTest::newRow("cut before the response code") << QByteArray("\x02"
                                                                "010000010")
                                                  << false << false;
    QTest::newRow("zeros only") << QByteArray(40, '0') << false << false;
}

void TestControllerExchange::acceptance()
{
    QFETCH(QByteArray, received);
    QFETCH(bool, wellFormed);
    QFETCH(bool, accepted);

    FakeExchangePort port;
    port.arriving = received;
    ControllerExchange exchange(port);
    exchange.exchange("0101800012000001");
    QCOMPARE(exchange.lastAnswerWellFormed(), wellFormed);
    QCOMPARE(exchange.lastCommandAccepted(), accepted);
}

QTEST_APPLESS_MAIN(TestControllerExchange)
#include "test_controller_exchange.moc"
