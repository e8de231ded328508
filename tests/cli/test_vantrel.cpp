// vantrel as a person or a script runs it: output, exit status, and for send
// the frames the simulated controllers took.
#include "files/SettingsFile.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/PathKinds.h"
#include "tests/support/TpdTestData.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run
{
    int status = -1; // -1: killed by a signal, -2: did not end and was killed
    QString out, err;
    QByteArray outBytes;
};

// The tool run in `folder` (the test's own when empty). A run that has not
// ended after a minute (waiting on a FIFO, say) is killed: the test fails
// instead of hanging.
Run vantrel(const QStringList &arguments, const QString &folder = QString())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(VANTREL_TOOL), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {-2, {}, QStringLiteral("did not end within a minute"), {}};
    }
    const QByteArray out = process.readAllStandardOutput();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromUtf8(out),
            QString::fromUtf8(process.readAllStandardError()), out};
}

// The tool with a terminal for input and output; `answer` is typed once the
// question appears.
Run vantrelOnTerminal(const QStringList &arguments, const QByteArray &answer)
{
    QList<QByteArray> args{VANTREL_TOOL};
    for (const QString &a : arguments)
        args << a.toLocal8Bit();
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        std::vector<char *> argv;
        for (QByteArray &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    QByteArray seen;
    bool answered = false;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        seen.append(buffer, n);
        if (!answered && seen.contains("[y/N] ")) {
            [[maybe_unused]] const ssize_t w = write(master, answer.constData(), size_t(answer.size()));
            answered = true;
        }
    }
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, QString::fromUtf8(seen), {}, seen};
}

// The example program (Ramp 150.0 at 10.0, Hold 5.30, Ramp 60.0 at 20.0, from
// 40.00) with cells changed: "row:slot:text", rows 1 Mode to 4 Time.
QByteArray programBytes(const QStringList &changes, const QString &initialTemp = QStringLiteral("40.00"))
{
    TpdProgram program = buildProgram(
        3, initialTemp, 33,
        {{0, "Ramp", "150.0", "10.0", "0.00"}, {1, "Hold", "0.0", "0.0", "5.30"}, {2, "Ramp", "60.0", "20.0", "0.00"}});
    for (const QString &change : changes) {
        const QStringList part = change.split(QLatin1Char(':'));
        program.rows[part[0].toInt() - 1][part[1].toInt() + 1] = part[2];
    }
    return TpdFormat::write(program, nullptr);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

const QString FullWidthColon = QString::fromUtf8("\xEF\xBC\x9A");

} // namespace

class TestVantrel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void check_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines"); // after "FILE: "
        QTest::newRow("clean") << programBytes({}) << 0 << QStringList{"ok (3 segments, 0:21:00)"};
        QTest::newRow("temperature") << programBytes({"2:0:350"}) << 1
                                     << QStringList{"segment 0: Temp.(deg C): 350.0 is out of range 0 - 300.0"};
        QTest::newRow("rate") << programBytes({"3:2:20.5"}) << 1
                              << QStringList{"segment 2: Rate(deg C/min): 20.5 is out of range 0 - 20.0"};
        QTest::newRow("time seconds") << programBytes(
            {"4:1:5.60"}) << 1 << QStringList{"segment 1: Time(min.sec): 5.60 has more than 59 seconds (min.sec)"};
        QTest::newRow("time range") << programBytes({"4:1:100.00"}) << 1
                                    << QStringList{"segment 1: Time(min.sec): 100.00 is out of range 0.00 - 99.59"};
        QTest::newRow("initial temperature")
            << programBytes({}, "300.5") << 1 << QStringList{"Initial temp.: 300.50 is out of range 0 - 300.0"};
        QTest::newRow("1e308, not its 309 digits")
            << programBytes({"2:0:1e308"}, "1e308") << 1
            << QStringList{"Initial temp.: 1e308 is out of range 0 - 300.0",
                           "segment 0: Temp.(deg C): 1e308 is out of range 0 - 300.0"};
        QTest::newRow("unset among the counted")
            << programBytes({"1:1: "}) << 1 << QStringList{"segment 1: Mode: not set"};
        QTest::newRow("unknown mode") << programBytes({"1:2:ramp"}) << 1
                                      << QStringList{"segment 2: Mode: \"ramp\" is neither Ramp nor Hold"};
        QTest::newRow("not a number, past the counted too")
            << programBytes({"3:0:1.2.3", "4:20:x"}) << 1
            << QStringList{"segment 0: Rate(deg C/min): \"1.2.3\" is not a number",
                           "segment 20: Time(min.sec): \"x\" is not a number"};
        QTest::newRow("unused values are not judged")
            << programBytes({"2:1:999", "4:0:7.77"}) << 0 << QStringList{"ok (3 segments, 0:21:00)"};
        QTest::newRow("every problem") << programBytes({"2:0:350", "4:1:5.60", "1:2: "}, "-1") << 1
                                       << QStringList{
                                              "Initial temp.: -1.00 is out of range 0 - 300.0",
                                              "segment 0: Temp.(deg C): 350.0 is out of range 0 - 300.0",
                                              "segment 1: Time(min.sec): 5.60 has more than 59 seconds (min.sec)",
                                              "segment 2: Mode: not set"};
        QTest::newRow("no segments") << programBytes({"2:0:0", "3:0:0", "4:1:0", "2:2:0", "3:2:0"}) << 1
                                     << QStringList{"no segments (every temperature, rate and time is 0)"};
    }

    void check()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        const QString path = writeFile(m_dir, QStringLiteral("p.tpd"), bytes);
        const Run run = vantrel({"check", path});
        QCOMPARE(run.status, status);
        QStringList expected;
        for (const QString &line : lines)
            expected << path + ": " + line;
        QCOMPARE(run.out, expected.join('\n') + '\n');
    }

    void unreadable_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all; "<kind>": a kind of path
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << "cannot be opened: No such file or directory.";
        QTest::newRow("FIFO") << QByteArray("<fifo>") << "is not a regular file (a FIFO).";
        QTest::newRow("character device")
            << QByteArray("<character device>") << "is not a regular file (a character device).";
        QTest::newRow("not a program") << QByteArray("hello\r\n")
                                       << "not a program file: The first line is not \"Ver1.00\".";
        QTest::newRow("initial temperature")
            << QByteArray("Ver1.00\r\n3\r\nwarm\r\n") << "The initial temperature is not a number.";
        QTest::newRow("short") << QByteArray("Ver1.00\r\n3\r\n40.00\r\n") << "The file has 3 lines, fewer than 7.";
    }

    // A file that cannot be read ends every command with status 2 and the
    // reason; check still goes through the other files.
    void unreadable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir kinds;
        const QString path = bytes.isEmpty() ? m_dir.filePath("none.tpd")
            : bytes.startsWith('<')          ? makePath(kinds, "k.tpd", bytes.mid(1, bytes.size() - 2))
                                             : writeFile(m_dir, "u.tpd", bytes);
        const QString clean = writeFile(m_dir, "clean.tpd", programBytes({}));
        for (const QStringList &args : {QStringList{"check", path, clean}, QStringList{"show", path},
                                        QStringList{"send", path, "--port", "/dev/null", "--yes"},
                                        QStringList{"export", path, "--csv", m_dir.filePath("u.csv")}}) {
            const Run run = vantrel(args);
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.startsWith(path + ": cannot be read: ") && run.err.contains(reason), qPrintable(run.err));
        }
        QCOMPARE(vantrel({"check", path, clean}).out, clean + ": ok (3 segments, 0:21:00)\n");
    }

    // The sheet, the chart and the points without a display, however the
    // environment names the platform; an output that cannot be written is
    // reported and not left half written, the others still are.
    void exportFiles()
    {
        const QString path = writeFile(m_dir, "e.tpd", programBytes({}));
        const QString out = m_dir.filePath("out");
        QVERIFY(QDir().mkpath(out));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VANTREL_TOOL),
                      {"export", path, "--pdf", out + "/s.pdf", "--png", out + "/c.png", "--size", "640x320", "--svg",
                       out + "/c.svg", "--csv", out + "/p.csv", "--csv", out + "/missing/p.csv"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 11);
        QVERIFY(
            QString::fromUtf8(process.readAllStandardError()).contains(out + "/missing/p.csv: cannot be written: "));
        QVERIFY(!QFileInfo::exists(out + "/missing"));

        QFile csv(out + "/p.csv");
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        QCOMPARE(lines.mid(0, 6),
                 (QList<QByteArray>{"Time(minutes),Temp.(deg C)", "0,40", "11,150", "16.5,150", "21,60", "21,0"}));
        QCOMPARE(lines.size(), 35); // header, 33 points, the empty rest after the last line end
        QCOMPARE(QImage(out + "/c.png").size(), QSize(640, 320));
        QFile pdf(out + "/s.pdf"), svg(out + "/c.svg");
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
        QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("<svg"));
    }

    // What lies at an output's name: only a regular file is replaced.
    void exportTargets_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // after "NAME: "
        QTest::newRow("new file") << "missing" << 0 << "written";
        QTest::newRow("regular file") << "regular" << 0 << "written";
        QTest::newRow("FIFO") << "fifo" << 11 << "cannot be written: not a regular file (a FIFO)";
        QTest::newRow("character device")
            << "character device" << 11 << "cannot be written: not a regular file (a character device)";
        QTest::newRow("folder") << "folder" << 11 << "cannot be written: a folder of that name exists";
    }

    void exportTargets()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString program = writeFile(dir, "e.tpd", programBytes({}));
        const QString target = makePath(dir, "n", kind);
        const mode_t before = typeOf(target);
        const Run run = vantrel({"export", program, "--csv", target});
        QCOMPARE(run.status, status);
        QCOMPARE(run.out + run.err, target + ": " + said + "\n");
        QCOMPARE(typeOf(target), status == 0 ? mode_t(S_IFREG) : before);
    }

    // "-" is standard output; any other output's line then goes to the
    // error stream, so the data stays alone in the pipe.
    void exportToStandardOutput_data()
    {
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("err");
        QTest::newRow("CSV") << QStringList{"--csv", "-"} << QByteArray("Time(minutes),Temp.(deg C)\n0,40\n") << "";
        QTest::newRow("SVG and a file") << QStringList{"--png", "c.png", "--svg", "-"} << QByteArray("<?xml")
                                        << "c.png: written\n";
        QTest::newRow("PNG into a pipe") << QStringList{"--png", "-"} << QByteArray("\x89PNG") << "";
        QTest::newRow("PDF into a pipe") << QStringList{"--pdf", "-"} << QByteArray("%PDF-") << "";
    }

    void exportToStandardOutput()
    {
        QFETCH(QStringList, outputs);
        QFETCH(QByteArray, start);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const Run run = vantrel(QStringList{"export", writeFile(dir, "e.tpd", programBytes({}))} + outputs, dir.path());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.outBytes.startsWith(start), run.outBytes.left(40).constData());
        QCOMPARE(run.err, err);
        QVERIFY(!QFileInfo::exists(dir.filePath("-")));
        if (start.startsWith("Time"))
            QCOMPARE(run.outBytes.count('\n'), 34); // the header and 33 points, nothing else
    }

    // A picture or a PDF is not poured onto a terminal.
    void exportBinaryNotToATerminal()
    {
        const QString program = writeFile(m_dir, "t.tpd", programBytes({}));
        for (const char *kind : {"--png", "--pdf"}) {
            const Run run = vantrelOnTerminal({"export", program, kind, "-"}, {});
            QCOMPARE(run.status, 64);
            QVERIFY2(run.out.contains("terminal"), qPrintable(run.out));
        }
        QCOMPARE(vantrelOnTerminal({"export", program, "--csv", "-"}, {}).status, 0);
    }

    // Two outputs that name one file, or an output that names the program
    // file, however spelt, are a wrong command line: nothing is written.
    void exportOutputsNamingOneFile_data()
    {
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QString>("said"); // after "vantrel export: "
        QTest::newRow("the same name") << QStringList{"--csv", "s.csv", "--pdf", "s.csv"}
                                       << "s.csv and s.csv are the same file";
        QTest::newRow("another spelling")
            << QStringList{"--csv", "./s.csv", "--svg", "sub/../s.csv"} << "./s.csv and sub/../s.csv are the same file";
        QTest::newRow("an existing file and a link to it")
            << QStringList{"--csv", "old.csv", "--svg", "link.csv"} << "old.csv and link.csv are the same file";
        QTest::newRow("a link to a folder") << QStringList{"--csv", "sub/s.csv", "--svg", "linked/s.csv"}
                                            << "sub/s.csv and linked/s.csv are the same file";
        QTest::newRow("standard output twice")
            << QStringList{"--csv", "-", "--svg", "-"} << "- and - are the same file";
        QTest::newRow("the program file") << QStringList{"--csv", "./e.tpd"} << "./e.tpd is the program file itself";
    }

    void exportOutputsNamingOneFile()
    {
        QFETCH(QStringList, outputs);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString program = writeFile(dir, "e.tpd", programBytes({}));
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QVERIFY(QFile::link("sub", dir.filePath("linked")));
        writeFile(dir, "old.csv", "old");
        QVERIFY(QFile::link("old.csv", dir.filePath("link.csv")));
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden, QDir::Name);

        const Run run = vantrel(QStringList{"export", program} + outputs, dir.path());
        QCOMPARE(run.status, 64);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith("vantrel export: " + said), qPrintable(run.err));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden, QDir::Name), before);
        QVERIFY(QDir(dir.filePath("sub")).isEmpty());
        QCOMPARE(readBytes(dir.filePath("old.csv")), QByteArray("old"));
        QCOMPARE(readBytes(program), programBytes({}));
    }

    // export --segments-csv, then import with the program number and the
    // initial temperature of the original, gives the program file back. A
    // table carries no comment, and the writer ends every line.
    void segmentsRoundTrip_data()
    {
        QTest::addColumn<QString>("golden");
        QTest::addColumn<int>("keptLines"); // of the original; -1 all
        QTest::newRow("example") << "example.tpd" << -1;
        QTest::newRow("no final line end") << "example-no-final-crlf.tpd" << -1;
        QTest::newRow("comment of three lines") << "comment3.tpd" << 7;
        QTest::newRow("code page 932 comment") << "cp932.tpd" << 7;
    }

    void segmentsRoundTrip()
    {
        QFETCH(QString, golden);
        QFETCH(int, keptLines);
        QTemporaryDir dir;
        const QByteArray original = goldenBytes(golden);
        const QList<QByteArray> lines = original.split('\n');
        const QString table = dir.filePath("t.csv"), back = dir.filePath("back.tpd");
        QCOMPARE(vantrel({"export", writeFile(dir, "p.tpd", original), "--segments-csv", table}).status, 0);
        const Run run = vantrel(
            {"import", table, "--out", back, "--program", lines[1].trimmed(), "--initial-temp", lines[2].trimmed()});
        QCOMPARE(run.status, 0);
        QFile file(back);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray expected = keptLines < 0 ? original : lines.mid(0, keptLines).join('\n') + '\n';
        if (!expected.endsWith("\r\n"))
            expected += "\r\n";
        QCOMPARE(file.readAll(), expected);
    }

    void importRefusals_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err"); // T: the table's name, O: the output's
        const QByteArray ok = "Ramp,150,10,\n";
        QTest::newRow("a value out of range")
            << QByteArray("Mode,Temp\nRamp,150\nRamp,350\n") << QStringList() << 1
            << "T: Line 3, column 2 (Temp.(deg C)): \"350\" is out of range 0 - 300.0.\n";
        QTest::newRow("33 segments")
            << ok.repeated(33) << QStringList() << 1
            << "T: 33 segments cannot go in before segment 0: 32 fit there without pushing a set segment past segment 31.\n";
        QTest::newRow("a long hold split past 32 segments")
            << "Mode,Temp,Rate,Duration\n" + ok.repeated(31) + "Hold,,,3:00:00\n"
            << QStringList() << 1
            << "line 33: Hold in 3:00:00 -> 2 holds: 99.59 + 80.01, 3:00:00\n"
               "T: 33 segments cannot go in before segment 0: 32 fit there without pushing a set segment past segment 31.\n";
        QTest::newRow("program number 8") << ok << QStringList{"--program", "8"} << 64
                                          << "vantrel import: --program takes a program number from 0 to 7\n";
        QTest::newRow("initial temperature out of range")
            << ok << QStringList{"--initial-temp", "301"} << 64
            << "vantrel import: --initial-temp takes a temperature in deg C within 0 - 300.0\n";
        QTest::newRow("output in a missing folder")
            << ok << QStringList{"--out", "missing/p.tpd"} << 11 << "O: cannot be written: ";
    }

    void importRefusals()
    {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString tablePath = writeFile(dir, "t.csv", table);
        const QString out = options.contains("--out") ? dir.filePath(options.last()) : dir.filePath("p.tpd");
        if (!options.contains("--out"))
            options << "--out" << out;
        else
            options.last() = out;
        const Run run = vantrel(QStringList{"import", tablePath} + options);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.startsWith(QString(err).replace("T:", tablePath + ":").replace("O:", out + ":")),
                 qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(out));
    }

    // A plan in hours: the ramp's rate and the hold's split are the
    // model's; here they reach the file and standard error.
    void importDurations()
    {
        QTemporaryDir dir;
        const QString table =
            writeFile(dir, "t.csv", "Mode,Temp,Rate,Time,Duration\nRamp,150,,,2:00:00\nHold,,,,3:00:00\n");
        const QString out = dir.filePath("p.tpd");
        const Run run = vantrel({"import", table, "--out", out, "--initial-temp", "25"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err,
                 "line 2: Ramp 25.0 to 150.0 in 2:00:00 -> 2 ramps: to 95.0 at 1.0, then 1.1 °C/min, 2:00:00\n"
                 "line 3: Hold in 3:00:00 -> 2 holds: 99.59 + 80.01, 3:00:00\n");
        const QJsonObject program = QJsonDocument::fromJson(vantrel({"show", out, "--json"}).out.toUtf8()).object();
        QCOMPARE(program["segmentCount"].toInt(), 4);
        QCOMPARE(program["segments"].toArray()[3].toObject()["end"].toString(), "5:00:00");
    }

    void show()
    {
        const QString path = writeFile(m_dir, "s.tpd", programBytes({}) + "first\r\nsecond\r\n");
        const Run text = vantrel({"show", path});
        QCOMPARE(text.status, 0);
        QVERIFY2(text.out.contains("Program No.: 3\nInitial temp.: 40.00 deg C\nSegments: 3\n"), qPrintable(text.out));
        QVERIFY(text.out.contains("  1  Hold                                          5.30  0:11:00        0:16:30\n"));
        QVERIFY(text.out.contains("Total time:21min0sec(21.00min)\nComment:\n  first\n  second\n"));

        const Run json = vantrel({"show", path, "--json"});
        QCOMPARE(json.status, 0);
        const QJsonObject program = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(program["programNo"].toInt(), 3);
        QCOMPARE(program["totalTime"].toString(), "Total time:21min0sec(21.00min)");
        const QJsonArray segments = program["segments"].toArray();
        QCOMPARE(segments.size(), 3);
        QCOMPARE(segments[0]["temperature"].toDouble(), 150.0);
        QCOMPARE(segments[1]["time"].toString(), "5.30");
        QCOMPARE(segments[1]["startMinutes"].toDouble(), 11.0);
        QCOMPARE(segments[1]["endMinutes"].toDouble(), 16.5);
        QCOMPARE(segments[1]["startSeconds"].toDouble(), 660.0);
        QCOMPARE(segments[1]["endSeconds"].toDouble(), 990.0);
        QCOMPARE(segments[1]["end"].toString(), "0:16:30");
        QCOMPARE(program["comment"].toArray().size(), 2);
    }

    // Every ending of a download, with the frames the controller took.
    void send_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("behaviour"); // silent, running, refuse:K:CODE, cut:N, quiet:N, nodevice
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown"); // the ending's text, LF CR as LF
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("written"); // what a half-written program got, on standard error
        const QByteArray clean = programBytes({});
        QTest::newRow("completed") << clean << "" << 0 << "Transmission was completed" << 8 << "";
        QTest::newRow("refused before the port")
            << programBytes({"2:0:350"}) << "" << 1
            << "Segment No. \"0\" Temp. \"350.0\" is out of range.\nInput range:0 - 300.0 deg C" << 0 << "";
        QTest::newRow("no segments") << programBytes({"2:0:0", "3:0:0", "4:1:0", "2:2:0", "3:2:0"}) << "" << 1
                                     << "There are no segments." << 0 << "";
        QTest::newRow("port cannot be opened")
            << clean << "nodevice" << 3
            << "Comm.port is not set or\ncomm.cable is not connected.\n/nonexistent/tty: No such file or directory."
            << 0 << "";
        QTest::newRow("no answer") << clean << "silent" << 4
                                   << "Comm.port setting is different or\npower of device is not turned on." << 1 << "";
        QTest::newRow("status refused") << clean << "refuse:1:1100" << 5
                                        << "Command error. ErorrCode" + FullWidthColon + "1100" << 1 << "";
        QTest::newRow("running") << clean << "running" << 6 << "Program is running." << 1 << "";
        QTest::newRow("command refused") << clean << "refuse:3:1101" << 8
                                         << "Command error.Transmission was stopped. ErorrCode" + FullWidthColon
                + "1101" << 3 << "the program number was written";
        // A pseudo-terminal whose other end is gone reads as silence.
        QTest::newRow("line cut") << clean << "cut:4" << 4
                                  << "Comm.port setting is different or\npower of device is not turned on." << 5
                                  << "the program number and initial temperature were written";
        QTest::newRow("segment refused")
            << clean << "refuse:6:1100" << 8
            << "Command error.Transmission was stopped. ErorrCode" + FullWidthColon + "1100" << 6
            << "the program number, initial temperature and segment count were written, none of the 3 segments";
        QTest::newRow("silent after a segment")
            << clean << "quiet:6" << 4 << "Comm.port setting is different or\npower of device is not turned on." << 7
            << "the program number, initial temperature and 1 of 3 segments were written";
        // Every other command after the question: refused, unanswered, or the
        // line cut before it; written[n]: what n accepted write commands leave.
        const QStringList written{"",
                                  "the program number was written",
                                  "the program number and initial temperature were written",
                                  "the program number and initial temperature were written",
                                  "the program number, initial temperature and segment count were written, none of "
                                  "the 3 segments",
                                  "the program number, initial temperature and 1 of 3 segments were written",
                                  "the program number, initial temperature and 2 of 3 segments were written"};
        for (int k : {2, 4, 5})
            QTest::addRow("command %d refused", k)
                << clean << QString("refuse:%1:1100").arg(k) << 8
                << "Command error.Transmission was stopped. ErorrCode" + FullWidthColon + "1100" << k << written[k - 2];
        for (int answered : {1, 2, 3, 4, 5, 7})
            QTest::addRow("silent after %d", answered)
                << clean << QString("quiet:%1").arg(answered) << 4
                << "Comm.port setting is different or\npower of device is not turned on." << answered + 1
                << written[answered - 1];
        for (int answered : {2, 7})
            QTest::addRow("cut after %d", answered)
                << clean << QString("cut:%1").arg(answered) << 4
                << "Comm.port setting is different or\npower of device is not turned on." << answered + 1
                << written[answered - 1];
    }

    void send()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, behaviour);
        QFETCH(int, status);
        QFETCH(QString, shown);
        QFETCH(int, frames);
        QFETCH(QString, written);
        ControllerSimulator sim;
        QVERIFY(sim.start());
        const QStringList how = behaviour.split(':');
        sim.setSilent(how[0] == "silent");
        sim.setRunning(how[0] == "running");
        if (how[0] == "refuse")
            sim.addRefusal({ControllerModel::commandPrefixOfNumber(how[1].toInt()), how[2].toLatin1()});
        if (how[0] == "cut")
            sim.setCutAfter(how[1].toInt());
        if (how[0] == "quiet")
            sim.setSilentAfter(how[1].toInt());
        const QString port = how[0] == "nodevice" ? "/nonexistent/tty" : sim.slavePath();
        const Run run = vantrel({"send", writeFile(m_dir, "send.tpd", bytes), "--port", port, "--yes"});
        QCOMPARE(run.status, status);
        QVERIFY2((run.out + run.err).contains(shown + '\n'), qPrintable(run.out + run.err));
        sim.waitForRecords(frames, 3000); // the simulator notes a command once its answer is out
        QCOMPARE(sim.records().size(), frames);
        // The program that may now be incomplete, on standard error, and in the record.
        const QString half =
            QStringLiteral("may now be incomplete: %1. Send it again before running it.\n").arg(written);
        QCOMPARE(run.err.contains(half), !written.isEmpty());
        QCOMPARE(run.err.contains("may now be incomplete"), !written.isEmpty());
        if (frames > 0)
            QCOMPARE(vantrel({"log", "--last"}).out.contains(", incomplete  "), !written.isEmpty());
        if (status == 0) {
            QCOMPARE(sim.program().segmentCount, 3);
            QCOMPARE(sim.program().segments[1].time, 530);
        }
    }

    // A send leaves its record; diff compares it with files, log lists it.
    void recordOfASend_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "SENT" and "EDITED" name the two files
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown");
        QTest::newRow("diff, same") << QStringList{"diff", "@last", "SENT"} << 0 << "The programs are the same.\n";
        QTest::newRow("diff, one segment changed") << QStringList{"diff", "@last", "EDITED"} << 1
                                                   << "Segment 1 Time: 5.30 (A), 6.00 (B)\n1 segment differs.\n";
        QTest::newRow("diff, two files") << QStringList{"diff", "EDITED", "SENT"} << 1
                                         << "Segment 1 Time: 6.00 (A), 5.30 (B)\n";
        QTest::newRow("diff, no such record") << QStringList{"diff", "@2", "SENT"} << 2 << "@2: no such record";
        QTest::newRow("diff, unreadable file")
            << QStringList{"diff", "@1", "/nonexistent.tpd"} << 2 << "/nonexistent.tpd: cannot be read";
        QTest::newRow("log") << QStringList{"log", "--program", "3"} << 0
                             << "  unit 1  program 3  completed  3/3 segments  SENT\n";
        QTest::newRow("log, other unit") << QStringList{"log", "--unit", "2"} << 0 << "";
    }

    void recordOfASend()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, shown);
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        ControllerSimulator sim;
        QVERIFY(sim.start());
        const QString sent = writeFile(m_dir, "sent.tpd", programBytes({}));
        const QString edited = writeFile(m_dir, "edited.tpd", programBytes({"4:1:6.00"}));
        QCOMPARE(vantrel({"send", sent, "--port", sim.slavePath(), "--yes"}).status, 0);
        arguments.replaceInStrings(QStringLiteral("EDITED"), edited).replaceInStrings(QStringLiteral("SENT"), sent);
        const Run run = vantrel(arguments);
        QCOMPARE(run.status, status);
        shown.replace(QStringLiteral("SENT"), sent);
        QVERIFY2(shown.isEmpty() ? run.out.isEmpty() : (run.out + run.err).contains(shown),
                 qPrintable(run.out + run.err));
    }

    // Without --port: the port the editor has chosen, named before the question.
    void sendToTheEditorsPort()
    {
        const QString settingsPath = SettingsFile::defaultPath();
        QVERIFY(SettingsFile::write(settingsPath, AppSettings{}, nullptr));
        const QString path = writeFile(m_dir, "chosen.tpd", programBytes({}));
        Run run = vantrel({"send", path, "--yes"});
        QCOMPARE(run.status, 64);
        QVERIFY2(run.err.contains("the editor has no port chosen"), qPrintable(run.err));

        ControllerSimulator sim;
        QVERIFY(sim.start());
        QVERIFY(sim.linkAs(8, qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orrisan/VantrelAssistant/ports"));
        AppSettings settings;
        settings.comPortNo = 8;
        QVERIFY(SettingsFile::write(settingsPath, settings, nullptr));
        run = vantrel({"send", path, "--yes"});
        QCOMPARE(run.status, 0);
        const qsizetype said = run.out.indexOf("Port COM8 (as chosen in the editor), unit 1\n");
        QVERIFY2(said >= 0 && said < run.out.indexOf("Are you sure"), qPrintable(run.out));
        QCOMPARE(sim.program().segmentCount, 3);
    }

    void programNumberAndUnits()
    {
        ControllerSimulator sim;
        sim.setUnits({1, 2});
        QVERIFY(sim.start());
        const QString path = writeFile(m_dir, "units.tpd", programBytes({}));
        const Run run =
            vantrel({"send", path, "--port", sim.slavePath(), "--yes", "--program", "5", "--unit", "2,7,1"});
        // The unit that is not there stays silent; the others get the program.
        QCOMPARE(run.status, 4);
        QVERIFY2(run.out.endsWith("Summary:\nunit 2: completed\nunit 7: no answer\nunit 1: completed\n"),
                 qPrintable(run.out));
        for (int unit : {1, 2}) {
            QCOMPARE(sim.program(unit).programNumber, 5);
            QCOMPARE(sim.program(unit).segmentCount, 3);
        }
        QList<int> byUnit;
        for (const SimulatorRecord &record : sim.records())
            byUnit << record.unit;
        QCOMPARE(byUnit, QList<int>({2, 2, 2, 2, 2, 2, 2, 2, -1, 1, 1, 1, 1, 1, 1, 1, 1}));
    }

    void question_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("frames");
        QTest::newRow("yes") << QByteArray("y\n") << 0 << 8;
        QTest::newRow("no") << QByteArray("n\n") << 7 << 1;
        QTest::newRow("anything else is no") << QByteArray("\n") << 7 << 1;
    }

    void question()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(int, frames);
        ControllerSimulator sim;
        QVERIFY(sim.start());
        const Run run =
            vantrelOnTerminal({"send", writeFile(m_dir, "q.tpd", programBytes({})), "--port", sim.slavePath()}, answer);
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.contains("Are you sure parameter is stored as\r\n3  in the controller.(Seg.=3) ? [y/N] "),
                 qPrintable(run.out));
        sim.waitForRecords(frames, 3000); // the simulator notes a command once its answer is out
        QCOMPARE(sim.records().size(), frames);
    }

    void withoutTerminalTheQuestionNeedsYes()
    {
        const Run run = vantrel({"send", writeFile(m_dir, "y.tpd", programBytes({})), "--port", "/dev/null"});
        QCOMPARE(run.status, 64);
        QVERIFY(run.err.contains("--yes"));
    }

    // Ctrl+C: the command in flight ends, nothing more goes out, the tool
    // closes the port and says so.
    void interrupt()
    {
        ControllerSimulator sim;
        sim.setResponseWaitMs(150);
        QVERIFY(sim.start());
        QProcess process;
        process.start(VANTREL_TOOL,
                      {"send", writeFile(m_dir, "i.tpd", programBytes({})), "--port", sim.slavePath(), "--yes"});
        QVERIFY(sim.waitForRecords(3, 20000));
        const int atSignal = int(sim.records().size());
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 9);
        QVERIFY(process.readAllStandardOutput().endsWith("Transmission was stopped.\n"));
        QVERIFY(sim.records().size() <= atSignal + 1);
        QVERIFY(sim.records().size() < 8);
    }
};

QTEST_GUILESS_MAIN(TestVantrel)
#include "test_vantrel.moc"
