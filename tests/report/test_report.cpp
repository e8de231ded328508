#include "model/AxisLabels.h"
#include "model/ProfilePlot.h"
#include "report/ExportCommands.h"
#include "report/ProgramReport.h"
#include "report/ReportExport.h"
#include "tests/support/FifoWatchdog.h"
#include "tests/support/PathKinds.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TpdTestData.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>

namespace {
ProgramReport golden(const QString &name)
{
    QString error;
    const auto report = loadReport(QStringLiteral(VANTREL_GOLDEN_DIR "/") + name, &error);
    if (!report)
        qFatal("%s: %s", qPrintable(name), qPrintable(error));
    return *report;
}

// Mostly red: the line, also where smoothing blends it with the white.
bool isRed(QRgb pixel) { return qRed(pixel) >= 200 && qGreen(pixel) < 150 && qBlue(pixel) < 150; }

// Red within a pixel of the point: the line is wider than that.
bool redNear(const QImage &image, QPointF at)
{
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (isRed(image.pixel(qRound(at.x()) + dx, qRound(at.y()) + dy)))
                return true;
    return false;
}
}

// The text of a PDF as pdftotext lays it out, blanks made single. A glyph
// that serves two characters (用 and the radical ⽤, "fi" and its ligature)
// may come back as either, so the text is given in its compatibility form.
QString pdfText(const QByteArray &pdf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sheet.pdf");
    QString reason;
    if (!ReportExport::write(path, pdf, &reason))
        return reason;
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return QStringLiteral("pdftotext failed");
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified().normalized(QString::NormalizationForm_KC);
}

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void csvHoldsTheChartPoints_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::newRow("C") << QByteArray("C");
        QTest::newRow("comma decimals") << QByteArray("de_DE.UTF-8");
    }

    void csvHoldsTheChartPoints()
    {
        QFETCH(QByteArray, locale);
        if (!std::setlocale(LC_ALL, locale.constData()))
            QSKIP("locale not installed");
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        const ProgramReport report = golden("example.tpd");
        const QList<QByteArray> lines = ReportExport::csv(report.profile).split('\n');
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());

        QCOMPARE(lines.size(), 1 + 33 + 1); // header, points, the final line end
        QCOMPARE(lines.first(), "Time(minutes),Temp.(deg C)");
        QVERIFY(lines.last().isEmpty());
        for (int i = 0; i < 33; ++i) {
            const QList<QByteArray> fields = lines[i + 1].split(',');
            QCOMPARE(fields.size(), 2);
            bool okTime = false, okTemp = false;
            QCOMPARE(QPointF(QLocale::c().toDouble(fields[0], &okTime), QLocale::c().toDouble(fields[1], &okTemp)),
                     report.profile.points[i]);
            QVERIFY(okTime && okTemp);
        }
        // The example's own points: 40 deg C at 0, 150 at 11, the hold to 16.5, 60 at 21.
        QCOMPARE(lines.mid(1, 5), (QList<QByteArray>{"0,40", "11,150", "16.5,150", "21,60", "21,0"}));
    }

    void pdfTextHoldsTheSheet_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("changed"); // printed with unsaved edits
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("example") << "example.tpd" << false
                                 << QStringList{"example.tpd", "Program No.: 3", "Initial temp.: 40.00 deg C",
                                                "Total time:21min0sec(21.00min)",
                                                // segment, mode, target, rate or hold, start, end: the
                                                // hold as the grid writes it, start and end in h:mm:ss
                                                "Hold (min.sec) Start (h:mm:ss) End (h:mm:ss)",
                                                "0 Ramp 150.0 10.0 0:00:00 0:11:00", "1 Hold 5.30 0:11:00 0:16:30",
                                                "2 Ramp 60.0 20.0 0:16:30 0:21:00", "Vantrel Assistant Ver.1.01"};
        QTest::newRow("changed since saved")
            << "example.tpd" << true << QStringList{"File: example.tpd, changed since saved", "Program No.: 3"};
        QTest::newRow("Japanese comment") << "cp932.tpd" << false
                                          << QStringList{"Program No.: 1", "温度プログラム：試験用",
                                                         "Total time：12min", "通信ポートエラー", "ｱｲｳ C:\\data"};
    }

    void pdfTextHoldsTheSheet()
    {
        QFETCH(QString, file);
        QFETCH(bool, changed);
        QFETCH(QStringList, expected);
        ProgramReport report = golden(file);
        report.changedSinceSaved = changed;
        const QString text = pdfText(ReportExport::pdf(report, QPageSize::A4));
        for (const QString &want : expected)
            QVERIFY2(text.contains(want.normalized(QString::NormalizationForm_KC)),
                     qPrintable(want + " not in: " + text));
        QCOMPARE(text.contains(QStringLiteral("changed since saved")), changed);
    }

    void initialTempAsTheFieldShowsIt_data()
    {
        QTest::addColumn<QString>("inFile");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two decimals") << "25.35"
                                      << "25.35";
        QTest::newRow("one decimal") << "25.3"
                                     << "25.30";
        QTest::newRow("whole degrees") << "40"
                                       << "40.00";
    }

    void initialTempAsTheFieldShowsIt()
    {
        // The sheet prints the initial temperature as the window's field
        // shows it once the file is opened: two decimals, never rounded to one.
        QFETCH(QString, inFile);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        QFile file(dir.filePath("program.tpd"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(TpdFormat::write(buildProgram(2, inFile, 33, {{0, "Hold", "0.0", "0.0", "1.30"}}), nullptr));
        file.close();
        QString error;
        const auto report = loadReport(file.fileName(), &error);
        QVERIFY2(report, qPrintable(error));
        QCOMPARE(report->initialTempText, shown);
        const QString text = pdfText(ReportExport::pdf(*report, QPageSize::A4));
        QVERIFY2(text.contains("Initial temp.: " + shown + " deg C"), qPrintable(text));
    }

    void pngHasTheSizeAndTheRedLine()
    {
        const Profile profile = golden("example.tpd").profile;
        const QSize size(900, 420);
        QImage image;
        QVERIFY(image.loadFromData(ReportExport::png(profile, size), "PNG"));
        QCOMPARE(image.size(), size);
        const ProfilePlot plot = ReportExport::chartPlot(profile, size, &image);
        // Red along every slot that takes time, at both ends and half way.
        for (const ProfileSegment &s : profile.segments) {
            if (!s.takesTime())
                continue;
            for (double share : {0.02, 0.5, 0.98}) {
                const QPointF at = plot.toDevice(s.start + (s.end - s.start) * share);
                QVERIFY2(redNear(image, at), qPrintable(QString("slot %1 at %2").arg(s.slot()).arg(share)));
            }
        }
        // Nothing red below the hold, nor below the first ramp.
        QVERIFY(!redNear(image, plot.toDevice(QPointF(13, 100))));
        QVERIFY(!redNear(image, plot.toDevice(QPointF(5.5, 20))));
    }

    // A file may hold any number a double can: every export of it draws in
    // bounded time, on axes it can label.
    void hugeValuesExport_data()
    {
        QTest::addColumn<QString>("initialTemp");
        QTest::addColumn<QStringList>("slot0"); // mode, temperature, rate, time
        QTest::newRow("a Ramp to 1e308") << "40.00" << QStringList{"Ramp", "1e308", "10.0", "0.00"};
        QTest::newRow("the largest double at 0.1 deg C/min: an infinite time")
            << "40.00" << QStringList{"Ramp", "1.7976931348623157e308", "0.1", "0.00"};
        QTest::newRow("a Hold of 1e308") << "40.00" << QStringList{"Hold", "0.0", "0.0", "1e308"};
    }

    void hugeValuesExport()
    {
        QFETCH(QString, initialTemp);
        QFETCH(QStringList, slot0);
        QTemporaryDir dir;
        QFile file(dir.filePath("huge.tpd"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            TpdFormat::write(buildProgram(3, initialTemp, 33, {{0, slot0[0], slot0[1], slot0[2], slot0[3]}}), nullptr));
        file.close();
        QString error;
        const auto report = loadReport(file.fileName(), &error);
        QVERIFY2(report, qPrintable(error));

        const QSize size(900, 420);
        QImage image;
        QVERIFY(image.loadFromData(ReportExport::png(report->profile, size), "PNG"));
        QCOMPARE(image.size(), size);
        QVERIFY(ReportExport::svg(report->profile, size).contains("<svg"));
        QVERIFY(ReportExport::pdf(*report, QPageSize::A4).startsWith("%PDF"));
        const ProfilePlot plot = ReportExport::chartPlot(report->profile, size, &image);
        QVERIFY(plot.maxTime() <= AxisLimit);
        QVERIFY(plot.maxTemp() <= 2 * AxisLimit);
        // The line starts where the program does, at 40 deg C.
        QVERIFY(redNear(image, plot.toDevice(report->profile.points.first())));
    }

    void exportWritesOrExplains_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("pdf") << 0 << QByteArray("%PDF");
        QTest::newRow("png") << 1 << QByteArray("\x89PNG");
        QTest::newRow("svg") << 2 << QByteArray("<?xml");
        QTest::newRow("csv") << 3 << QByteArray("Time(minutes)");
    }

    void exportWritesOrExplains()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        QStringList status;
        ExportCommands exports(
            prompts, [] { return golden("example.tpd"); }, [&status](const QString &text) { status << text; });
        const std::function<void()> commands[] = {[&] { exports.exportPdf(); }, [&] { exports.exportPng(); },
                                                  [&] { exports.exportSvg(); }, [&] { exports.exportCsv(); }};
        const QString suffixes[] = {"pdf", "png", "svg", "csv"};

        // A folder that does not exist: a message naming the file, nothing written.
        const QString unwritable = dir.filePath("missing/out." + suffixes[kind]);
        prompts.fileAnswers = {unwritable};
        commands[kind]();
        QCOMPARE(prompts.shown.size(), 2); // the dialog, then the message
        QCOMPARE(prompts.shown[1].kind, ScriptedPrompts::Kind::Message);
        QVERIFY2(prompts.shown[1].text.startsWith("Export error\n" + unwritable + ": "),
                 qPrintable(prompts.shown[1].text));
        QCOMPARE(status, QStringList{""});
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());

        // The dialog offers the file beside the program, under its name; a name
        // typed without suffix gets it.
        prompts.fileAnswers = {dir.filePath("out")};
        commands[kind]();
        QCOMPARE(prompts.lastDialogFilter.contains("*." + suffixes[kind]), true);
        QVERIFY(prompts.lastDialogStart.endsWith("/example." + suffixes[kind]));
        QFile written(dir.filePath("out." + suffixes[kind]));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().startsWith(magic));
        QCOMPARE(status, (QStringList{"", "", "Export was completed"}));

        // An existing file is replaced only after Yes.
        const QDateTime before = QFileInfo(written).lastModified();
        prompts.fileAnswers = {written.fileName()};
        prompts.boxAnswers = {Prompts::No};
        commands[kind]();
        QCOMPARE(prompts.shown.last().text,
                 "The file " + written.fileName() + " already exists. Do you want to overwrite it ?");
        QCOMPARE(status.size(), 3);
        QCOMPARE(QFileInfo(written).lastModified(), before);

        // A FIFO of that name is not asked about, and is not replaced.
        const QString fifo = makePath(dir, "fifo." + suffixes[kind], "fifo");
        FifoWatchdog watchdog(fifo);
        prompts.shown.clear();
        prompts.fileAnswers = {fifo};
        commands[kind]();
        QVERIFY(!watchdog.fired());
        QCOMPARE(prompts.shown.size(), 2);
        QCOMPARE(prompts.shown[1].text, "Export error\n" + fifo + ": not a regular file (a FIFO)");
        QCOMPARE(typeOf(fifo), mode_t(S_IFIFO));
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
