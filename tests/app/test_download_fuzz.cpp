#include "AnswerFuzzer.h"
#include "DownloadPort.h"
#include "ProgramDownload.h"
#include "ScriptedPrompts.h"
#include "TransferWindow.h"

#include <QRandomGenerator>
#include <QtTest>

// Whole downloads against a controller that talks nonsense: thousands of
// generated answers, each met at whatever step the download has reached.
namespace {

// The port: takes each frame, answers it with the next generated answer.
class FuzzPort : public DownloadPort
{
public:
    explicit FuzzPort(AnswerFuzzer &fuzzer) : m_fuzzer(fuzzer) {}

    QList<QByteArray> commands;
    QList<AnswerFuzzer::Answer> answers;
    bool open = false;
    int acceptedPercent = 92;

    void Open() override { open = true; }
    bool isOpen() const override { return open; }
    void PurgeTrans() override {}
    bool WriteString(const QByteArray &frame) override
    {
        commands << frame.mid(6, frame.size() - 8);
        return true;
    }
    void PurgeReceive() override { m_queued.clear(); }
    int ReadAnswer(char *buf, int count, const AnswerComplete &) override
    {
        const AnswerFuzzer::Answer answer = m_fuzzer.next(commands.last(), acceptedPercent);
        answers << answer;
        if (answer.late) {
            m_queued += answer.bytes; // after the read gave up
            return 0;
        }
        m_queued += answer.bytes;
        const int n = std::min<int>(count, int(m_queued.size()));
        std::copy_n(m_queued.constData(), n, buf);
        m_queued.remove(0, n);
        return n;
    }
    void Close() override { open = false; }

private:
    AnswerFuzzer &m_fuzzer;
    QByteArray m_queued;
};

class FuzzWindow : public TransferWindow
{
public:
    TemperatureProgram table;
    bool inTransfer = false;

    bool initialTempAccepted() override { return true; }
    void CellCheck() override {}
    void enterTransferState() override { inTransfer = true; }
    void ButtanReset() override { inTransfer = false; }
    void stopActivity() override {}
    void startSending() override {}
    void setTransferStatus(const QString &) override {}
    TemperatureProgram segmentTable() const override { return table; }
    int programNo() const override { return 5; }
    QString initialTempText() const override { return QStringLiteral("25.00"); }
};

} // namespace

class TestDownloadFuzz : public QObject
{
    Q_OBJECT

private slots:
    void nonsenseNeverCompletes()
    {
        constexpr int Answers = 10000;
        constexpr quint32 Seed = 7122026;
        AnswerFuzzer fuzzer(Seed);
        QRandomGenerator programs(Seed);
        int answersMet = 0, downloads = 0, completed = 0;
        while (answersMet < Answers) {
            ++downloads;
            FuzzWindow window;
            window.table.initialise();
            const int segments = 1 + int(programs.bounded(32u));
            for (int col = 1; col <= segments; ++col) {
                const bool ramp = programs.bounded(2u);
                window.table.setCell(1, col, ramp ? "Ramp" : "Hold");
                window.table.setCell(2, col, ramp ? "120.0" : "0.0");
                window.table.setCell(3, col, ramp ? "2.5" : "0.0");
                window.table.setCell(4, col, ramp ? "0.00" : "1.30");
            }
            FuzzPort port(fuzzer);
            ScriptedPrompts prompts;
            prompts.boxAnswers = {Prompts::Yes};
            ProgramDownload download(window, port, prompts);
            download.run();

            const QString context = QStringLiteral("download %1 (seed %2)").arg(downloads).arg(Seed);
            answersMet += int(port.answers.size());
            QVERIFY2(!window.inTransfer, qPrintable(context));
            QVERIFY2(!port.open, qPrintable(context));
            QCOMPARE(port.answers.size(), port.commands.size());
            // The first answer that does not accept (or reports a running
            // program) ends the download: nothing is sent after it.
            qsizetype firstNotAccepted = -1;
            for (qsizetype i = 0; i < port.answers.size() && firstNotAccepted < 0; ++i)
                if (!port.answers[i].letsDownloadGoOn())
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
