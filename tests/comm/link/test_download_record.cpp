// The record each download leaves in the transfer log, by how it ended, and
// the note shown beside the question before sending.
#include "comm/link/ProgramDownload.h"
#include "comm/link/TransferRecording.h"
#include "tests/support/AnswerFuzzer.h"
#include "tests/support/DownloadFakes.h"
#include "tests/support/ScriptedPrompts.h"

#include <QTemporaryDir>
#include <QTimeZone>
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
    case Line::Accepts:
        return {ok};
    case Line::RefusesStatus:
        return status ? AnsweringPort::Answer{AnswerFuzzer::frame(command, "0001", "0000")} : AnsweringPort::Answer{ok};
    case Line::Runs:
        return status ? AnsweringPort::Answer{AnswerFuzzer::frame(command, "0000", "0080")} : AnsweringPort::Answer{ok};
    case Line::Silent:
        return {QByteArray(), true};
    case Line::RefusesSegment1:
        return segment1 ? AnsweringPort::Answer{AnswerFuzzer::frame(command, "0002")} : AnsweringPort::Answer{ok};
    case Line::FailsAtSegment1:
        return segment1 ? AnsweringPort::Answer{{}, false, 0, true} : AnsweringPort::Answer{ok};
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
        QTest::addColumn<bool>("incomplete"); // the controller took part of the program
        QTest::newRow("completed") << Line::Accepts << "Y"
                                   << "completed" << 2 << false;
        QTest::newRow("declined") << Line::Accepts << "N"
                                  << "declined" << 0 << false;
        // Stop takes effect before segment 0, after the program number and count went out.
        QTest::newRow("stopped") << Line::Accepts << "S"
                                 << "stopped" << 0 << true;
        QTest::newRow("status refused") << Line::RefusesStatus << "Y"
                                        << "status refused" << 0 << false;
        QTest::newRow("running") << Line::Runs << "Y"
                                 << "running" << 0 << false;
        QTest::newRow("no answer") << Line::Silent << "Y"
                                   << "no answer" << 0 << false;
        QTest::newRow("segment refused") << Line::RefusesSegment1 << "Y"
                                         << "command refused" << 1 << true;
        QTest::newRow("port failure") << Line::FailsAtSegment1 << "Y"
                                      << "port failure" << 1 << true;
    }

    void everyEndingAfterThePortOpened()
    {
        QFETCH(Line, line);
        QFETCH(QString, answer);
        QFETCH(QString, kind);
        QFETCH(int, acknowledged);
        QFETCH(bool, incomplete);
        QTemporaryDir dir;
        const TransferLog log(dir.path());
        AnsweringPort port([line](const QByteArray &command) { return lineAnswer(line, command); });
        port.note = QStringLiteral("answers may be held up");
        Window window;
        twoSegments(window.table);
        ScriptedPrompts prompts;
        prompts.boxAnswers = {answer == QLatin1String("N") ? Prompts::No : Prompts::Yes};
        ProgramDownload download(window, port, prompts);
        if (answer == QLatin1String("S"))
            window.onStopActivity = [&download] { download.requestStop(); };
        download.setTransferLog(log);
        try {
            download.run();
        } catch (const std::exception &e) {
            prompts.error(QString::fromUtf8(e.what()), download.lastIncomplete()); // as the window shows it
        }
        const TransferLog::Contents contents = log.read();
        QCOMPARE(contents.records.size(), 1);
        const TransferRecord &r = contents.records.first();
        QCOMPARE(r.endingKind, kind);
        QCOMPARE(r.endingText, download.lastEnding().text);
        QCOMPARE(r.segmentsAcknowledged, acknowledged);
        QCOMPARE(r.incomplete, incomplete);
        QCOMPARE(r.lineNote, port.note);
        // Said in the ending's own box (or the error display), not in a second one.
        const QString further = prompts.shown.last().further;
        QCOMPARE(further, download.lastIncomplete());
        QCOMPARE(further.contains(QStringLiteral("Program 5 on  (unit 1) may now be incomplete")), incomplete);
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

    // How far a download got, by the write commands the controller accepted.
    void incompleteText_data()
    {
        QTest::addColumn<int>("accepted");
        QTest::addColumn<QString>("written");
        QTest::newRow("program number") << 1 << "the program number was written";
        QTest::newRow("initial temperature") << 2 << "the program number and initial temperature were written";
        QTest::newRow("program number again") << 3 << "the program number and initial temperature were written";
        QTest::newRow("segment count")
            << 4 << "the program number, initial temperature and segment count were written, none of the 6 segments";
        QTest::newRow("two segments") << 6
                                      << "the program number, initial temperature and 2 of 6 segments were written";
        QTest::newRow("all but one") << 9 << "the program number, initial temperature and 5 of 6 segments were written";
    }

    void incompleteText()
    {
        QFETCH(int, accepted);
        QFETCH(QString, written);
        QCOMPARE(ProgramDownload::incompleteText(3, QStringLiteral("COM5"), 1, accepted, 6),
                 QStringLiteral("Program 3 on COM5 (unit 1) may now be incomplete: ") + written
                     + QStringLiteral(". Send it again before running it."));
    }

    // A program stays half written from an incomplete send until a completed
    // one to the same port, unit and program number; other endings change nothing.
    void incompleteSince_data()
    {
        QTest::addColumn<QStringList>(
            "records"); // port:unit:program:ending, oldest first; ending c, i (incomplete) or d (declined)
        QTest::addColumn<int>("found"); // index of the record named, or -1
        QTest::newRow("none") << QStringList{} << -1;
        QTest::newRow("incomplete") << QStringList{"COM5:1:3:i"} << 0;
        QTest::newRow("completed since") << QStringList{"COM5:1:3:i", "COM5:1:3:c"} << -1;
        QTest::newRow("declined since") << QStringList{"COM5:1:3:i", "COM5:1:3:d"} << 0;
        QTest::newRow("incomplete after completed") << QStringList{"COM5:1:3:c", "COM5:1:3:i"} << 1;
        QTest::newRow("the newest of two") << QStringList{"COM5:1:3:i", "COM5:1:3:i"} << 1;
        QTest::newRow("other port completed") << QStringList{"COM5:1:3:i", "COM6:1:3:c"} << 0;
        QTest::newRow("other unit") << QStringList{"COM5:2:3:i"} << -1;
        QTest::newRow("other program") << QStringList{"COM5:1:4:i"} << -1;
    }

    void incompleteSince()
    {
        QFETCH(QStringList, records);
        QFETCH(int, found);
        QList<TransferRecord> log;
        for (const QString &text : records) {
            const QStringList part = text.split(u':');
            TransferRecord r;
            r.time = QDateTime(QDate(2026, 12, 7), QTime(22, int(log.size())), QTimeZone::utc());
            r.portName = part[0];
            r.unit = part[1].toInt();
            r.program.programNo = part[2].toInt();
            r.endingKind = part[3] == u"c" ? QStringLiteral("completed")
                : part[3] == u"i"          ? QStringLiteral("stopped")
                                           : QStringLiteral("declined");
            r.incomplete = part[3] == u"i";
            log << r;
        }
        const auto since = TransferRecording::incompleteSince(log, QStringLiteral("COM5"), 1, 3);
        QCOMPARE(since.has_value(), found >= 0);
        if (since)
            QCOMPARE(*since, log.at(found));
        // The port's notes: one for each program of that port and unit left half written.
        const QStringList notes = TransferRecording::incompleteNotes(log, QStringLiteral("COM5"), 1);
        QCOMPARE(notes.filter(QStringLiteral("Program 3 on COM5 (unit 1) may be incomplete")).size(),
                 found >= 0 ? 1 : 0);
    }

    // The question's box: each difference from the last completed send.
    void comparisonBeforeQuestion_data()
    {
        QTest::addColumn<QString>("time");     // of segment 1, now; the record holds 1.30
        QTest::addColumn<QString>("expected"); // after the time sent
        QTest::newRow("same") << "1.30"
                              << ".";
        QTest::newRow("one field") << "2.00"
                                   << ": segment 1 Time 1.30 -> 2.00.";
    }

    void comparisonBeforeQuestion()
    {
        QFETCH(QString, time);
        QFETCH(QString, expected);
        TemperatureProgram table;
        twoSegments(table);
        TransferRecord last;
        last.time = QDateTime(QDate(2026, 12, 7), QTime(22, 7), QTimeZone::utc());
        last.program = SentProgram::fromTable(3, QStringLiteral("25.00"), table);
        table.setCell(TemperatureProgram::TimeRow, 2, time);
        const QString text = TransferRecording::comparisonBeforeQuestion(
            last, SentProgram::fromTable(3, QStringLiteral("25.00"), table));
        const QString when = TransferRecording::displayTime(last.time);
        QCOMPARE(
            text,
            (expected == u"." ? QStringLiteral("Same as sent on ") : QStringLiteral("Differs from what was sent on "))
                + when + expected);
        QVERIFY(TransferRecording::comparisonBeforeQuestion(std::nullopt, last.program).isEmpty());
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
        // The question's own box lists the difference.
        const QString further = prompts.shown.at(prompts.shown.size() - 1).further;
        QVERIFY2(further.startsWith(QStringLiteral("Differs from what was sent on ")), qPrintable(further));
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
