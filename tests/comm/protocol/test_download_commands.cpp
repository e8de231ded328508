#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/DownloadCommands.h"
#include "tests/support/FakeExchangePort.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace DownloadCommands;

Q_DECLARE_METATYPE(DownloadCommands::SegmentMode)
Q_DECLARE_METATYPE(DownloadCommands::StatusVerdict)

class TestDownloadCommands : public QObject
{
    Q_OBJECT

private slots:
    void fixedCommands_data();
    void fixedCommands();
    void initialTemperature_data();
    void initialTemperature();
    void segmentFields_data();
    void segmentFields();
    void segmentValueDoesNotFit_data();
    void segmentValueDoesNotFit();
    void segmentModes_data();
    void segmentModes();
    void statusAnswer_data();
    void statusAnswer();
};

void TestDownloadCommands::fixedCommands_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("status query") << statusQuery() << QByteArray("0101800012000001");
    QTest::newRow("program 7") << programNo(7) << QByteArray("0102C1004E00000100000007");
    QTest::newRow("program 7 again") << programNoAgain(7) << QByteArray("0102C4000000000100000007");
    QTest::newRow("program 0") << programNo(0) << QByteArray("0102C1004E00000100000000");
    QTest::newRow("32 segments") << segmentCountCommand(32) << QByteArray("0102C4000100000100000020");
    QTest::newRow("hex upper case") << hex8(0xABCDEF) << QByteArray("00ABCDEF");
}

void TestDownloadCommands::fixedCommands()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    QCOMPARE(command, expected);
}

void TestDownloadCommands::initialTemperature_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QByteArray>("field"); // empty: does not fit the field

    QTest::newRow("25.35 drops the hundredth") << 25.35 << QByteArray("000000FD");
    QTest::newRow("25.00") << 25.00 << QByteArray("000000FA");
    QTest::newRow("0.3 exactly 3 tenths") << 0.3 << QByteArray("00000003");
    QTest::newRow("300.00") << 300.00 << QByteArray("00000BB8");
    QTest::newRow("0.0") << 0.0 << QByteArray("00000000");
    QTest::newRow("1E2") << 1e2 << QByteArray("000003E8");
    QTest::newRow("negative zero") << -0.0 << QByteArray("00000000");
    QTest::newRow("negative") << -5.0 << QByteArray();
    QTest::newRow("too large for the field") << 999999999.0 << QByteArray();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QByteArray();
}

void TestDownloadCommands::initialTemperature()
{
    QFETCH(double, degrees);
    QFETCH(QByteArray, field);

    const auto command = initialTemp(degrees);
    if (field.isEmpty()) {
        QVERIFY(!command);
        return;
    }
    QVERIFY(command);
    QCOMPARE(*command, QByteArray("0102C1004F000001") + field);
}

void TestDownloadCommands::segmentFields_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<SegmentMode>("mode");
    QTest::addColumn<double>("temperature");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("time");
    QTest::addColumn<QByteArray>("fields");

    QTest::newRow("ramp 0 to 100.0 at 5.0") << 0 << SegmentMode::Ramp << 100.0 << 5.0 << 0.00
                                            << QByteArray("00000000"
                                                          "00000000"
                                                          "000003E8"
                                                          "00000032"
                                                          "00000000");
    QTest::newRow("segment 11 ramp to 300.0 at 20.0") << 11 << SegmentMode::Ramp << 300.0 << 20.0 << 0.00
                                                      << QByteArray("0000000B"
                                                                    "00000000"
                                                                    "00000BB8"
                                                                    "000000C8"
                                                                    "00000000");
    QTest::newRow("ramp sends time 0") << 1 << SegmentMode::Ramp << 0.3 << 0.1 << 12.30
                                       << QByteArray("00000001"
                                                     "00000000"
                                                     "00000003"
                                                     "00000001"
                                                     "00000000");
    QTest::newRow("hold 99.59 in decimal digits") << 2 << SegmentMode::Hold << 150.0 << 10.0 << 99.59
                                                  << QByteArray("00000002"
                                                                "00000001"
                                                                "00000000"
                                                                "00000000"
                                                                "00009959");
    QTest::newRow("hold 0.53") << 3 << SegmentMode::Hold << 0.0 << 0.0 << 0.53
                               << QByteArray("00000003"
                                             "00000001"
                                             "00000000"
                                             "00000000"
                                             "00000053");
    QTest::newRow("hold 12.30 not hexadecimal") << 31 << SegmentMode::Hold << 0.0 << 0.0 << 12.30
                                                << QByteArray("0000001F"
                                                              "00000001"
                                                              "00000000"
                                                              "00000000"
                                                              "00001230");
    QTest::newRow("hold 0.29") << 4 << SegmentMode::Hold << 0.0 << 0.0 << 0.29
                               << QByteArray("00000004"
                                             "00000001"
                                             "00000000"
                                             "00000000"
                                             "00000029");
    QTest::newRow("hold 1.3 is one minute thirty") << 5 << SegmentMode::Hold << 0.0 << 0.0 << 1.3
                                                   << QByteArray("00000005"
                                                                 "00000001"
                                                                 "00000000"
                                                                 "00000000"
                                                                 "00000130");
    QTest::newRow("hold ignores a temperature that does not fit") << 6 << SegmentMode::Hold << -5.0 << 1e12 << 5.00
                                                                  << QByteArray("00000006"
                                                                                "00000001"
                                                                                "00000000"
                                                                                "00000000"
                                                                                "00000500");
    QTest::newRow("ramp ignores a time that does not fit") << 7 << SegmentMode::Ramp << 60.0 << 20.0 << -1.0
                                                           << QByteArray("00000007"
                                                                         "00000000"
                                                                         "00000258"
                                                                         "000000C8"
                                                                         "00000000");
    QTest::newRow("ramp to 1E2") << 8 << SegmentMode::Ramp << 1e2 << 5.0 << 0.0
                                 << QByteArray("00000008"
                                               "00000000"
                                               "000003E8"
                                               "00000032"
                                               "00000000");
}

void TestDownloadCommands::segmentFields()
{
    QFETCH(int, number);
    QFETCH(SegmentMode, mode);
    QFETCH(double, temperature);
    QFETCH(double, rate);
    QFETCH(double, time);
    QFETCH(QByteArray, fields);

    const auto command = segment(number, mode, temperature, rate, time);
    QVERIFY(command);
    QCOMPARE(*command, QByteArray("0102C40002000005") + fields);
    QCOMPARE(command->size(), 56);
}

void TestDownloadCommands::segmentValueDoesNotFit_data()
{
    QTest::addColumn<SegmentMode>("mode");
    QTest::addColumn<double>("temperature");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("time");

    QTest::newRow("ramp temperature negative") << SegmentMode::Ramp << -0.1 << 5.0 << 0.0;
    QTest::newRow("ramp rate not finite") << SegmentMode::Ramp << 100.0 << std::nan("") << 0.0;
    QTest::newRow("hold time negative") << SegmentMode::Hold << 0.0 << 0.0 << -5.0;
    QTest::newRow("hold time too long for 8 digits") << SegmentMode::Hold << 0.0 << 0.0 << 1000000.00;
}

void TestDownloadCommands::segmentValueDoesNotFit()
{
    QFETCH(SegmentMode, mode);
    QFETCH(double, temperature);
    QFETCH(double, rate);
    QFETCH(double, time);
    QVERIFY(!segment(0, mode, temperature, rate, time));
}

void TestDownloadCommands::segmentModes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode"); // -1: no mode

    QTest::newRow("Ramp") << "Ramp" << 0;
    QTest::newRow("Hold") << "Hold" << 1;
    QTest::newRow("unset blank") << " " << -1;
    QTest::newRow("other case") << "ramp" << -1;
}

void TestDownloadCommands::segmentModes()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    const auto parsed = segmentModeFromText(text);
    QCOMPARE(parsed ? int(*parsed) : -1, mode);
}

void TestDownloadCommands::statusAnswer_data()
{
    QTest::addColumn<QByteArray>("received"); // empty: no answer
    QTest::addColumn<StatusVerdict>("verdict");
    QTest::addColumn<bool>("running");

    const auto frame = [](const QByteArray &codeAndData) {
        const QByteArray body = "0100"
                                "00"
                                "0101"
            + codeAndData + '\x03';
        return '\x02' + body + ControllerExchange::checkByteOf(body);
    };
    const auto ok = [&](const QByteArray &status) { return frame("0000" + status); };
    QTest::newRow("no answer") << QByteArray() << StatusVerdict::NoAnswer << false;
    QTest::newRow("idle") << ok("0000") << StatusVerdict::Idle << false;
    QTest::newRow("running 0080") << ok("0080") << StatusVerdict::Running << true;
    QTest::newRow("running 00FF") << ok("00FF") << StatusVerdict::Running << true;
    QTest::newRow("0100 shifted is 2") << ok("0100") << StatusVerdict::Idle << false;
    QTest::newRow("read as hexadecimal, 0128 is 296") << ok("0128") << StatusVerdict::Idle << false;
    QTest::newRow("007F") << ok("007F") << StatusVerdict::Idle << false;
    QTest::newRow("refused") << frame("1100") << StatusVerdict::Refused << false;
    QTest::newRow("accepted but no status") << frame("0000") << StatusVerdict::Refused << false;
    // ETX and the check byte are not status characters.
    QTest::newRow("status of two characters") << ok("00") << StatusVerdict::Refused << false;
    QTest::newRow("status of three characters") << ok("008") << StatusVerdict::Refused << false;
    QTest::newRow("status cut short") << QByteArray("\x02"
                                                    "0100000101"
                                                    "0000"
                                                    "008")
                                      << StatusVerdict::NoAnswer << false;
    QTest::newRow("end code only") << QByteArray("\x02"
                                                 "010013"
                                                 "\x03"
                                                 "x")
                                   << StatusVerdict::NoAnswer << false;
    QTest::newRow("wrong check byte") << ok("0000").chopped(1) + "x" << StatusVerdict::NoAnswer << false;
}

void TestDownloadCommands::statusAnswer()
{
    QFETCH(QByteArray, received);
    QFETCH(StatusVerdict, verdict);
    QFETCH(bool, running);

    // An earlier accepted idle answer stays in receivedText; it must not decide.
    const QByteArray body = "0100"
                            "00"
                            "0101"
                            "0000"
                            "0000"
                            "\x03";
    const QByteArray ok0000 = '\x02' + body + ControllerExchange::checkByteOf(body);
    FakeExchangePort port;
    port.arriving = ok0000;
    ControllerExchange exchange(port);
    exchange.exchange(statusQuery());

    port.arriving = received;
    port.readResult = received.isEmpty() ? 0 : 1;
    exchange.exchange(statusQuery());
    QCOMPARE(judgeStatusAnswer(exchange), verdict);
    if (!received.isEmpty())
        QCOMPARE(isRunning(exchange.statusValue()), running);
}

QTEST_APPLESS_MAIN(TestDownloadCommands)
#include "test_download_commands.moc"
