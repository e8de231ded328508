// The record each download leaves in the transfer log, by how it ended, and
// the note shown beside the question before sending.
#include "comm/link/ProgramDownload.h"
#include "tests/support/AnswerFuzzer.h"
#include "tests/support/DownloadFakes.h"
#include "tests/support/ScriptedPrompts.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
// How the controller answers the status query and the command of segment 1,
// or the port fails there; everything else is accepted.
enum class Line { Accepts, RefusesStatus, Runs, Silent, RefusesSegment1, FailsAtSegment1 };

AnsweringPort::Answer lineAnswer(Line line, const QByteArray &command)
{
    const bool status = command.startsWith("0101");
    const bool segment1 = command.startsWith("0102C40002000005") && command.mid(16, 8) == "00000001";
    const QByteArray ok = AnswerFuzzer::frame(command, "0000", status ? "0000" : "");
    switch (line) {
    case Line::Accepts: return {ok};
    case Line::RefusesStatus: return status ? AnsweringPort::Answer{AnswerFuzzer::frame(command, "0001", "0000")} : AnsweringPort::Answer{ok};
    case Line::Runs: return status ? AnsweringPort::Answer{AnswerFuzzer::frame(command, "0000", "0080")} : AnsweringPort::Answer{ok};
    case Line::Silent: return {QByteArray(), true};
    case Line::RefusesSegment1: return segment1 ? AnsweringPort::Answer{AnswerFuzzer::frame(command, "0002")} : AnsweringPort::Answer{ok};
    case Line::FailsAtSegment1: return segment1 ? AnsweringPort::Answer{{}, false, 0, true} : AnsweringPort::Answer{ok};
    }
    return {ok};
}

class Window : public FakeTransferWindow
{
public:
    std::function<void()> onStopActivity;
    QStringList notes;
    QStringList notWritten;
    void stopActivity() override
    {
        if (onStopActivity)
            onStopActivity();
    }
    void showNote(const QString &note) override { notes << note; }
    void recordNotWritten(const QString &text) override { notWritten << text; }
    QString programFile() const override { return {}; }
};

void twoSegments(TemperatureProgram &table)
{
    table.setMode(1, QStringLiteral("Ramp"));
    table.setCell(TemperatureProgram::TempRow, 1, QStringLiteral("100.0"));
    table.setCell(TemperatureProgram::RateRow, 1, QStringLiteral("5.0"));
    table.setMode(2, QStringLiteral("Hold"));
    table.setCell(TemperatureProgram::TimeRow, 2, QStringLiteral("1.30"));
}
} // namespace

Q_DECLARE_METATYPE(Line)

class TestDownloadRecord : public QObject
{
    Q_OBJECT
private slots:
    void everyEndingAfterThePortOpened_data()
    {
        QTest::addColumn<Line>("line");
        QTest::addColumn<QString>("answer"); // Y, N, or S (Stop clicked, then Yes)
        QTest::addColumn<QString>("kind");   // empty: no record
        QTest::addColumn<int>("acknowledged");
        QTest::newRow("completed") << Line::Accepts << "Y" << "completed" << 2;
        QTest::newRow("declined") << Line::Accepts << "N" << "declined" << 0;
        QTest::newRow("stopped") << Line::Accepts << "S" << "stopped" << 0;
        QTest::newRow("status refused") << Line::RefusesStatus << "Y" << "status refused" << 0;
        QTest::newRow("running") << Line::Runs << "Y" << "running" << 0;
        QTest::newRow("no answer") << Line::Silent << "Y" << "no answer" << 0;
        QTest::newRow("segment refused") << Line::RefusesSegment1 << "Y" << "command refused" << 1;
        QTest::newRow("port failure") << Line::FailsAtSegment1 << "Y" << "port failure" << 1;
    }

    void everyEndingAfterThePortOpened()
    {
        QFETCH(Line, line);
        QFETCH(QString, answer);
        QFETCH(QString, kind);
        QFETCH(int, acknowledged);
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        AnsweringPort port([line](const QByteArray &command) { return lineAnswer(line, command); });
        Window window;
        twoSegments(window.table);
        ScriptedPrompts prompts;
        prompts.boxAnswers = {answer == QLatin1String("N") ? Prompts::No : Prompts::Yes};
        ProgramDownload download(window, port, prompts);
        if (answer == QLatin1String("S"))
            window.onStopActivity = [&download] { download.ToolButton5Click(); };
        download.setTransferLog(log);
        try {
            download.run();
        } catch (const std::exception &) {
        }
        const TransferLog::Contents contents = log.read();
        QCOMPARE(contents.records.size(), 1);
        const TransferRecord &r = contents.records.first();
        QCOMPARE(r.endingKind, kind);
        QCOMPARE(r.endingText, download.lastEnding().text);
        QCOMPARE(r.segmentsAcknowledged, acknowledged);
        QCOMPARE(r.unit, 1);
        QCOMPARE(r.fileSha256, TransferRecord::NotSaved);
        QCOMPARE(r.program, SentProgram::fromTable(5, QStringLiteral("25.00"), window.table));
        QVERIFY(window.notWritten.isEmpty());
    }

    // Refused before the port opened: nothing reached the controller, so
    // there is nothing to record.
    void nothingBeforeThePort_data()
    {
        QTest::addColumn<bool>("emptyProgram");
        QTest::newRow("no segments") << true;
        QTest::newRow("port does not open") << false;
    }

    void nothingBeforeThePort()
    {
        QFETCH(bool, emptyProgram);
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        AnsweringPort port([](const QByteArray &command) { return lineAnswer(Line::Accepts, command); });
        port.openFails = !emptyProgram;
        Window window;
        if (!emptyProgram)
            twoSegments(window.table);
        ScriptedPrompts prompts;
        ProgramDownload download(window, port, prompts);
        download.setTransferLog(log);
        try {
            download.run();
        } catch (const std::exception &) {
        }
        QVERIFY(download.lastEnding().kind != ProgramDownload::Ending::Kind::Completed);
        QCOMPARE(log.read().records.size(), 0);
    }

    // A log that cannot be written is reported; the download completes as before.
    void unwritableLogChangesNothingElse()
    {
        QTemporaryDir dir;
        QFile blocker(dir.path() + QStringLiteral("/file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        AnsweringPort port([](const QByteArray &command) { return lineAnswer(Line::Accepts, command); });
        Window window;
        twoSegments(window.table);
        ScriptedPrompts prompts;
        prompts.boxAnswers = {Prompts::Yes};
        ProgramDownload download(window, port, prompts);
        download.setTransferLog(TransferLog(blocker.fileName() + QStringLiteral("/log")));
        download.run();
        QCOMPARE(download.lastEnding().kind, ProgramDownload::Ending::Kind::Completed);
        QCOMPARE(prompts.texts().last(), QStringLiteral("Transmission was completed"));
        QCOMPARE(window.notWritten.size(), 1);
        QVERIFY(window.notWritten.first().startsWith(QStringLiteral("The transfer record could not be written: ")));
    }

    // Beside the question: the same program, or how many segments changed,
    // against the last completed send to this unit and program number.
    void noteBeforeTheQuestion()
    {
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        AnsweringPort port([](const QByteArray &command) { return lineAnswer(Line::Accepts, command); });
        Window window;
        twoSegments(window.table);
        ScriptedPrompts prompts;
        prompts.boxAnswers = {Prompts::Yes, Prompts::Yes, Prompts::No, Prompts::No};
        ProgramDownload download(window, port, prompts);
        download.setTransferLog(log);
        download.run();
        QCOMPARE(window.notes, QStringList()); // nothing sent here before
        download.run();
        QCOMPARE(window.notes.size(), 1);
        QVERIFY2(window.notes.last().startsWith(QStringLiteral("same as sent on ")), qPrintable(window.notes.last()));
        window.table.setCell(TemperatureProgram::TimeRow, 2, QStringLiteral("2.00"));
        download.run();
        QVERIFY2(window.notes.last().startsWith(QStringLiteral("differs from what was last sent here on "))
                     && window.notes.last().endsWith(QStringLiteral(": 1 segment changed")),
                 qPrintable(window.notes.last()));
        // Another program number has no completed record to compare with.
        window.number = 6;
        download.run();
        QCOMPARE(window.notes.size(), 2);
        const QStringList questions = prompts.texts().filter(QStringLiteral("Are you sure"));
        QCOMPARE(questions.size(), 4);
        QCOMPARE(questions.last(), ProgramDownload::confirmationText(6, 2));
    }
};

QTEST_GUILESS_MAIN(TestDownloadRecord)
#include "test_download_record.moc"
