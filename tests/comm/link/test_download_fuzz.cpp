#include "comm/link/ProgramDownload.h"
#include "tests/support/AnswerFuzzer.h"
#include "tests/support/DownloadFakes.h"
#include "tests/support/ScriptedPrompts.h"

#include <QRandomGenerator>
#include <QtTest>

// Whole downloads against a controller that talks nonsense: thousands of
// generated answers, each met at whatever step the download has reached.

class TestDownloadFuzz : public QObject
{
    Q_OBJECT

private slots:
    void nonsenseNeverCompletes()
    {
        constexpr int Answers = 10000;
        constexpr quint32 Seed = 7122026;
        // Most answers accept, so that downloads get far enough to meet the
        // rest at every step.
        constexpr int AcceptedPercent = 92;
        AnswerFuzzer fuzzer(Seed);
        QRandomGenerator programs(Seed);
        int answersMet = 0, downloads = 0, completed = 0;
        while (answersMet < Answers) {
            ++downloads;
            FakeTransferWindow window;
            window.table.initialise();
            const int segments = 1 + int(programs.bounded(32u));
            for (int col = 1; col <= segments; ++col) {
                const bool ramp = programs.bounded(2u);
                window.table.setCell(1, col, ramp ? "Ramp" : "Hold");
                window.table.setCell(2, col, ramp ? "120.0" : "0.0");
                window.table.setCell(3, col, ramp ? "2.5" : "0.0");
                window.table.setCell(4, col, ramp ? "0.00" : "1.30");
            }
            // Each frame is answered with the next generated answer.
            QList<AnswerFuzzer::Answer> answers;
            AnsweringPort port([&](const QByteArray &command) {
                answers << fuzzer.next(command, AcceptedPercent);
                return AnsweringPort::Answer{answers.last().bytes, answers.last().late};
            });
            ScriptedPrompts prompts;
            prompts.boxAnswers = {Prompts::Yes};
            ProgramDownload download(window, port, prompts);
            download.run();

            const QString context = QStringLiteral("download %1 (seed %2)").arg(downloads).arg(Seed);
            answersMet += int(answers.size());
            QVERIFY2(!window.inTransfer, qPrintable(context));
            QVERIFY2(!port.open, qPrintable(context));
            QCOMPARE(answers.size(), port.commands.size());
            // The first answer that does not accept (or reports a running
            // program) ends the download: nothing is sent after it.
            qsizetype firstNotAccepted = -1;
            for (qsizetype i = 0; i < answers.size() && firstNotAccepted < 0; ++i)
                if (!answers[i].letsDownloadGoOn())
                    firstNotAccepted = i;
            const qsizetype allCommands = segments + 5;
            if (firstNotAccepted >= 0)
                QVERIFY2(port.commands.size() == firstNotAccepted + 1, qPrintable(context));
            else
                QVERIFY2(port.commands.size() == allCommands, qPrintable(context));
            const bool shownCompleted = prompts.texts().contains(QStringLiteral("Transmission was completed"));
            QVERIFY2(shownCompleted == (firstNotAccepted < 0), qPrintable(context));
            completed += shownCompleted;
        }
        // Both endings were met, many times.
        QVERIFY(completed > 10);
        QVERIFY(downloads - completed > 100);
    }
};

QTEST_GUILESS_MAIN(TestDownloadFuzz)
#include "test_download_fuzz.moc"
