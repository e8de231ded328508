#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/DownloadCommands.h"
#include "sim/ControllerModel.h"
#include "sim/FrameAssembler.h"

#include <QTest>

namespace {

QByteArray frame(const QByteArray &command) { return ControllerExchange::buildFrame("01000", command); }

QByteArray segmentCommand(const QByteArray &number, const QByteArray &mode, const QByteArray &temperature,
                          const QByteArray &rate, const QByteArray &time)
{
    return "0102C40002000005" + number + mode + temperature + rate + time;
}

} // namespace

class TestControllerModel : public QObject
{
    Q_OBJECT

private slots:
    void answerToCommand_data();
    void answerToCommand();
    void answerFraming_data();
    void answerFraming();
    void unitAnswersForItsNodeOnly();
    void refusedCommandIsNotStored();
    void storedProgramAndDescription();
    void refusalText_data();
    void refusalText();
    void assembler_data();
    void assembler();
};

void TestControllerModel::answerToCommand_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("response"); // response code followed by any data

    const QByteArray z = "00000000";
    QTest::newRow("status idle") << DownloadCommands::statusQuery() << QByteArray("00000000");
    QTest::newRow("program 7") << DownloadCommands::programNo(7) << QByteArray("0000");
    QTest::newRow("program 8") << DownloadCommands::programNo(8) << QByteArray("1100");
    QTest::newRow("program again 0") << DownloadCommands::programNoAgain(0) << QByteArray("0000");
    QTest::newRow("program again 8") << DownloadCommands::programNoAgain(8) << QByteArray("1100");
    QTest::newRow("initial 300.0") << *DownloadCommands::initialTemp(300.00) << QByteArray("0000");
    QTest::newRow("initial 300.1") << *DownloadCommands::initialTemp(300.10) << QByteArray("1100");
    QTest::newRow("count 0") << DownloadCommands::segmentCountCommand(0) << QByteArray("1100");
    QTest::newRow("count 1") << DownloadCommands::segmentCountCommand(1) << QByteArray("0000");
    QTest::newRow("count 32") << DownloadCommands::segmentCountCommand(32) << QByteArray("0000");
    QTest::newRow("count 33") << DownloadCommands::segmentCountCommand(33) << QByteArray("1100");
    QTest::newRow("segment 31 ramp 300.0 at 20.0")
        << segmentCommand("0000001F", z, "00000BB8", "000000C8", z) << QByteArray("0000");
    QTest::newRow("segment 32") << segmentCommand("00000020", z, z, z, z) << QByteArray("1100");
    QTest::newRow("mode 2") << segmentCommand(z, "00000002", z, z, z) << QByteArray("1100");
    QTest::newRow("temperature 300.1") << segmentCommand(z, z, "00000BB9", z, z) << QByteArray("1100");
    QTest::newRow("rate 20.1") << segmentCommand(z, z, z, "000000C9", z) << QByteArray("1100");
    QTest::newRow("hold 99.59") << segmentCommand(z, "00000001", z, z, "00009959") << QByteArray("0000");
    QTest::newRow("60 seconds") << segmentCommand(z, "00000001", z, z, "00000060") << QByteArray("1100");
    QTest::newRow("100 minutes") << segmentCommand(z, "00000001", z, z, "00010000") << QByteArray("1100");
    QTest::newRow("time in hexadecimal") << segmentCommand(z, "00000001", z, z, "000004CE") << QByteArray("1100");
    QTest::newRow("field not hexadecimal") << segmentCommand(z, z, "0000003G", z, z) << QByteArray("1100");
    QTest::newRow("lower-case hexadecimal") << segmentCommand("0000000b", z, z, z, z) << QByteArray("0000");
    QTest::newRow("one field short") << QByteArray("0102C40002000005") + z + z + z + z << QByteArray("1003");
    QTest::newRow("one field too many") << DownloadCommands::programNo(1) + z << QByteArray("1003");
    QTest::newRow("field cut short") << QByteArray("0102C1004E0000010000000") << QByteArray("1003");
    QTest::newRow("count the area does not take")
        << QByteArray("0102C40002000004") + z + z + z + z << QByteArray("1003");
    QTest::newRow("status query with data") << DownloadCommands::statusQuery() + z << QByteArray("1003");
    QTest::newRow("bit position") << QByteArray("0102C1004E010001") + z << QByteArray("1100");
    QTest::newRow("unknown area") << QByteArray("0102C10050000001") + z << QByteArray("1101");
    QTest::newRow("unknown request") << QByteArray("0501800012000001") << QByteArray("0401");
    QTest::newRow("command too short") << QByteArray("0101800012") << QByteArray("1002");
}

void TestControllerModel::answerToCommand()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, response);

    ControllerModel model;
    const FrameOutcome outcome = model.handleFrame(frame(command), {});
    QCOMPARE(outcome.command, command);
    QCOMPARE(outcome.endCode, QByteArray("00"));
    QCOMPARE(outcome.responseCode, response.left(4));
    const QByteArray body = "0100"
                            "00"
        + command.left(4) + response + '\x03';
    QCOMPARE(outcome.answer, '\x02' + body + ControllerExchange::checkByteOf(body));
}

void TestControllerModel::answerFraming_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("badBcc");
    QTest::addColumn<QByteArray>("body"); // answer between STX and ETX; empty: no answer
    QTest::addColumn<bool>("bccRight");

    const QByteArray status = frame(DownloadCommands::statusQuery());
    QByteArray wrongCheck = status;
    wrongCheck.back() = char(wrongCheck.back() ^ 0x10);
    QTest::newRow("running") << status << true << false
                             << QByteArray("01000001010000"
                                           "0080")
                             << true;
    QTest::newRow("wrong check byte in answer") << status << false << true
                                                << QByteArray("01000001010000"
                                                              "0000")
                                                << false;
    QTest::newRow("wrong check byte in command") << wrongCheck << false << false << QByteArray("010013") << true;
    QTest::newRow("another node") << ControllerExchange::buildFrame("02000", DownloadCommands::statusQuery()) << false
                                  << false << QByteArray() << true;
    QTest::newRow("bad service id") << ControllerExchange::buildFrame("01001", DownloadCommands::statusQuery()) << false
                                    << false << QByteArray("010014") << true;
    QTest::newRow("no command") << ControllerExchange::buildFrame("010", "") << false << false << QByteArray("010014")
                                << true;
}

void TestControllerModel::answerFraming()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, running);
    QFETCH(bool, badBcc);
    QFETCH(QByteArray, body);
    QFETCH(bool, bccRight);

    ControllerBehaviour behaviour;
    behaviour.running = running;
    behaviour.badBcc = badBcc;
    ControllerModel model;
    const QByteArray answer = model.handleFrame(frame, behaviour).answer;
    if (body.isEmpty()) {
        QVERIFY(answer.isEmpty());
        return;
    }
    QCOMPARE(answer.size(), body.size() + 3);
    QCOMPARE(answer.left(answer.size() - 1), '\x02' + body + '\x03');
    QCOMPARE(answer.right(1) == ControllerExchange::checkByteOf(body + '\x03'), bccRight);
}

// Several controllers on one line: each takes the frames to its own node
// number and answers from it; frames to other nodes get no answer.
void TestControllerModel::unitAnswersForItsNodeOnly()
{
    ControllerModel unit12(12);
    const QByteArray status = DownloadCommands::statusQuery();
    const QByteArray body = "1200"
                            "00"
                            "0101"
                            "0000"
                            "0000"
                            "\x03";
    QCOMPARE(
        unit12.handleFrame(ControllerExchange::buildFrame(ControllerExchange::headerForUnit(12), status), {}).answer,
        '\x02' + body + ControllerExchange::checkByteOf(body));
    QVERIFY(unit12.handleFrame(ControllerExchange::buildFrame("01000", status), {}).answer.isEmpty());
    QVERIFY(unit12.handleFrame(ControllerExchange::buildFrame("02000", status), {}).answer.isEmpty());
    QCOMPARE(ControllerExchange::headerForUnit(0), QByteArray("00000"));
}

void TestControllerModel::refusedCommandIsNotStored()
{
    ControllerBehaviour behaviour;
    behaviour.refusals.append({ControllerModel::commandPrefixOfNumber(2), "2203"});
    ControllerModel model;
    const FrameOutcome refused = model.handleFrame(frame(DownloadCommands::programNo(5)), behaviour);
    QCOMPARE(refused.responseCode, QByteArray("2203"));
    QCOMPARE(model.program().programNumber, 0);
    const FrameOutcome other = model.handleFrame(frame(DownloadCommands::programNoAgain(5)), behaviour);
    QCOMPARE(other.responseCode, QByteArray("0000"));
    QCOMPARE(model.program().programNumberAgain, 5);
}

void TestControllerModel::storedProgramAndDescription()
{
    ControllerModel model;
    const QList<QByteArray> commands = {
        DownloadCommands::programNo(3),
        *DownloadCommands::initialTemp(40.00),
        DownloadCommands::programNoAgain(3),
        DownloadCommands::segmentCountCommand(3),
        *DownloadCommands::segment(0, DownloadCommands::SegmentMode::Ramp, 150.0, 10.0, 0.00),
        *DownloadCommands::segment(1, DownloadCommands::SegmentMode::Hold, 0.0, 0.0, 5.30),
        *DownloadCommands::segment(2, DownloadCommands::SegmentMode::Ramp, 60.0, 20.0, 0.00),
    };
    QList<bool> complete;
    for (const QByteArray &command : commands) {
        const FrameOutcome outcome = model.handleFrame(frame(command), {});
        QCOMPARE(outcome.responseCode, QByteArray("0000"));
        complete << outcome.programComplete;
    }
    QCOMPARE(complete, QList<bool>({false, false, false, false, false, false, true}));
    QCOMPARE(ControllerModel::describeProgram(model.program()),
             QStringLiteral("Program 3, initial 40.0 deg C, 3 segments:\n"
                            "  0 Ramp to 150.0 at 10.0 deg C/min\n"
                            "  1 Hold 5.30 (min.sec)\n"
                            "  2 Ramp to 60.0 at 20.0 deg C/min"));

    // Sending a segment again does not announce the program twice; a new count starts over.
    QVERIFY(!model.handleFrame(frame(commands.last()), {}).programComplete);
    model.handleFrame(frame(DownloadCommands::segmentCountCommand(1)), {});
    QVERIFY(model.handleFrame(frame(commands[4]), {}).programComplete);
}

void TestControllerModel::refusalText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("prefix"); // empty: rejected
    QTest::addColumn<QByteArray>("code");

    QTest::newRow("status query") << "1:1100" << QByteArray("0101800012") << QByteArray("1100");
    QTest::newRow("segment") << "6:2203" << QByteArray("0102C40002") << QByteArray("2203");
    QTest::newRow("command text") << "0102C1004F:0401" << QByteArray("0102C1004F") << QByteArray("0401");
    QTest::newRow("number 7") << "7:1100" << QByteArray() << QByteArray();
    QTest::newRow("code too short") << "2:110" << QByteArray() << QByteArray();
    // The code goes into the answer as it is: ETX there would end the frame.
    QTest::newRow("control character in the code") << "1:00\u00030" << QByteArray() << QByteArray();
    QTest::newRow("code beyond ASCII") << QString::fromUtf8("1:\uFF11100") << QByteArray() << QByteArray();
    QTest::newRow("no colon") << "2" << QByteArray() << QByteArray();
}

void TestControllerModel::refusalText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, code);

    Refusal refusal;
    QCOMPARE(ControllerModel::parseRefusal(text, &refusal), !prefix.isEmpty());
    if (!prefix.isEmpty()) {
        QCOMPARE(refusal.commandPrefix, prefix);
        QCOMPARE(refusal.code, code);
    }
}

void TestControllerModel::assembler_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<QByteArray>>("frames");

    QTest::newRow("one frame") << QByteArray("\x02"
                                             "ab\x03"
                                             "c")
                               << QList<QByteArray>{"\x02"
                                                    "ab\x03"
                                                    "c"};
    QTest::newRow("noise before") << QByteArray("xy\x03"
                                                "z\x02"
                                                "ab\x03"
                                                "c")
                                  << QList<QByteArray>{"\x02"
                                                       "ab\x03"
                                                       "c"};
    QTest::newRow("no ETX, then a new STX") << QByteArray("\x02"
                                                          "abc\x02"
                                                          "d\x03"
                                                          "e")
                                            << QList<QByteArray>{"\x02"
                                                                 "d\x03"
                                                                 "e"};
    QTest::newRow("check byte STX") << QByteArray("\x02"
                                                  "a\x03"
                                                  "\x02"
                                                  "\x02"
                                                  "b\x03"
                                                  "c")
                                    << QList<QByteArray>{"\x02"
                                                         "a\x03\x02",
                                                         "\x02"
                                                         "b\x03"
                                                         "c"};
    QTest::newRow("waiting for the check byte") << QByteArray("\x02"
                                                              "a\x03")
                                                << QList<QByteArray>{};
}

void TestControllerModel::assembler()
{
    QFETCH(QByteArray, stream);
    QFETCH(QList<QByteArray>, frames);

    FrameAssembler assembler;
    QList<QByteArray> taken;
    for (char c : stream)
        if (assembler.feed(c))
            taken << assembler.takeFrame();
    QCOMPARE(taken, frames);
}

QTEST_APPLESS_MAIN(TestControllerModel)
#include "test_controller_model.moc"
