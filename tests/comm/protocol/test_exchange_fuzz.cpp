#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/DownloadCommands.h"
#include "tests/support/AnswerFuzzer.h"
#include "tests/support/FakeExchangePort.h"

#include <QTest>

// Thousands of answers of every kind against one exchange state, as a download
// meets them one after another: an exchange counts as accepted exactly when
// its own answer was a whole acceptance, whatever came before.
class TestExchangeFuzz : public QObject
{
    Q_OBJECT

private slots:
    void everyAnswerJudged()
    {
        constexpr int Answers = 20000;
        constexpr quint32 Seed = 20261207;
        const QList<QByteArray> commands{
            DownloadCommands::statusQuery(), DownloadCommands::programNo(3), DownloadCommands::segmentCountCommand(32),
            *DownloadCommands::segment(31, DownloadCommands::SegmentMode::Hold, 0, 0, 99.59)};
        AnswerFuzzer fuzzer(Seed);
        FakeExchangePort port;
        ControllerExchange exchange(port);
        int accepted = 0;
        for (int i = 0; i < Answers; ++i) {
            const QByteArray &command = commands[i % commands.size()];
            const AnswerFuzzer::Answer answer = fuzzer.next(command, 30);
            port.arriving = answer.late ? QByteArray() : answer.bytes;
            exchange.exchange(command);
            if (answer.late)
                port.queued += answer.bytes; // arrives after the read gave up
            QVERIFY2(exchange.lastCommandAccepted() == answer.accepts(),
                     qPrintable(QStringLiteral("answer %1 (kind %2, seed %3): %4")
                                    .arg(i)
                                    .arg(answer.kind)
                                    .arg(Seed)
                                    .arg(QString::fromLatin1(answer.bytes.toHex()))));
            QVERIFY(exchange.receivedText.size() <= ControllerExchange::ReceiveBufferSize);
            accepted += answer.accepts();
        }
        // The generator really produced both sides.
        QVERIFY(accepted > Answers / 4 && accepted < Answers / 2);
    }
};

QTEST_APPLESS_MAIN(TestExchangeFuzz)
#include "test_exchange_fuzz.moc"
