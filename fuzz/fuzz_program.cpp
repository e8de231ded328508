// A program file from its bytes to the drawn chart and back: the reader the
// tool and the editor open files with, the checks Save and Send run, the
// profile, the exported chart and program sheet, the writer, and the reader
// again. The program must come back from the writer as it went in.

#include "fuzz/FuzzCheck.h"

#include "cli/ProgramFile.h"
#include "comm/link/DownloadChecks.h"
#include "comm/protocol/DownloadCommands.h"
#include "files/TpdFormat.h"
#include "model/Numbers.h"
#include "report/ProgramReport.h"
#include "report/ProgramSheet.h"
#include "report/ReportExport.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <clocale>
#include <cmath>
#include <cstdint>

namespace {

QString programPath;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
               QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

// The file as the editor's Save writes it: the table normalised, every cell
// of the grid's columns, the initial temperature as its field shows it.
TpdProgram asSaved(int programNo, const QString &initialTempText, TemperatureProgram table, const QStringList &comment)
{
    table.normaliseForSave();
    TpdProgram program;
    program.programNo = programNo;
    program.initialTempText = initialTempText;
    for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row) {
        QStringList cells;
        for (int col = 0; col < table.colCount(); ++col)
            cells << table.cell(row, col);
        program.rows << cells;
    }
    program.comment = comment;
    return program;
}

// The checks Save and Send run, and what the download builds once they pass.
void checkProgram(const ProgramFile &file)
{
    using DownloadChecks::Problem;
    const QList<Problem> problems = file.problems();
    for (const Problem &problem : problems) {
        FUZZ_CHECK(!describeProblem(problem).isEmpty(), problem.text);
        FUZZ_CHECK(!DownloadChecks::message(problem).isEmpty(), problem.text);
    }
    const int segments = file.segmentCount();
    FUZZ_CHECK(segments >= 0 && segments <= DownloadCommands::MaxSegments, QString::number(segments));

    // Send counts with the chart's reading of the cells; a cell that is not a
    // number stops it, and the tool lists that cell.
    QString fault;
    const int counted = DownloadChecks::checkedSegmentCount(file.table, &fault);
    const bool numbersBad = !DownloadChecks::numberProblems(file.table).isEmpty();
    FUZZ_CHECK(fault.isEmpty() != numbersBad, fault);
    if (fault.isEmpty())
        FUZZ_CHECK(counted == segments, QStringLiteral("%1 != %2").arg(counted).arg(segments));

    // A program without problems is one the download sends: every command
    // must build, or the download would stop halfway with a logic error.
    if (!problems.isEmpty() || segments == 0)
        return;
    FUZZ_CHECK(DownloadChecks::initialTempFault(file.initialTempText).isEmpty(), file.initialTempText);
    FUZZ_CHECK(DownloadChecks::segmentFault(file.table, segments).isEmpty(), QString::number(segments));
    FUZZ_CHECK(DownloadCommands::initialTemp(toDouble(file.initialTempText)).has_value(), file.initialTempText);
    for (int col = 1; col <= segments; ++col) {
        const auto cell = [&](int row) { return file.table.cell(row, col); };
        const auto mode = DownloadCommands::segmentModeFromText(cell(TemperatureProgram::ModeRow));
        FUZZ_CHECK(mode.has_value(), cell(TemperatureProgram::ModeRow));
        const auto command = DownloadCommands::segment(col - 1, *mode, toDouble(cell(TemperatureProgram::TempRow)),
                                                       toDouble(cell(TemperatureProgram::RateRow)),
                                                       toDouble(cell(TemperatureProgram::TimeRow)));
        FUZZ_CHECK(command.has_value(),
                   QStringLiteral("segment %1: %2 %3 %4")
                       .arg(col - 1)
                       .arg(cell(TemperatureProgram::TempRow), cell(TemperatureProgram::RateRow),
                            cell(TemperatureProgram::TimeRow)));
    }
}

// The profile and what the exports draw of it. The report cannot be made
// exactly when a cell is not a number.
void drawReport(const ProgramFile &file)
{
    QString error;
    bool cannotRead = true;
    const std::optional<ProgramReport> report = loadReport(programPath, &error, &cannotRead);
    const bool numbersBad = !DownloadChecks::numberProblems(file.table).isEmpty();
    if (!report) {
        FUZZ_CHECK(!cannotRead && numbersBad && !error.isEmpty(), error);
        return;
    }
    FUZZ_CHECK(!numbersBad, QStringLiteral("a profile with a cell that is not a number"));

    const Profile &profile = report->profile;
    FUZZ_CHECK(profile.points.size() == TemperatureProgram::LastUsedColumn + 1, QString::number(profile.points.size()));
    bool finite = true;
    for (const QPointF &p : profile.points)
        finite = finite && std::isfinite(p.x());
    for (qsizetype i = 1; finite && i < profile.points.size(); ++i)
        FUZZ_CHECK(profile.points[i - 1].x() <= profile.points[i].x(), QStringLiteral("point %1").arg(i));
    FUZZ_CHECK(!totalTimeText(profile.totalMinutes).isEmpty(), QString());

    FUZZ_CHECK(!ReportExport::png(profile, QSize(240, 120)).isEmpty(), QStringLiteral("no PNG"));
    FUZZ_CHECK(!ReportExport::csv(profile).isEmpty(), QStringLiteral("no CSV"));
    QImage sheet(210, 297, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    ProgramSheet::paint(painter, QRectF(0, 0, sheet.width(), sheet.height()), *report);
}

// Written as Save writes it and read again, the program is what it was: the
// same number, initial temperature and comment, and every cell as its text,
// an empty cell coming back as the file format's blank " ".
void roundTrip(const ProgramFile &file)
{
    const TpdProgram saved = asSaved(file.programNo, file.initialTempText, file.table, file.comment);
    QString error;
    const QByteArray written = TpdFormat::write(saved, &error);
    if (written.isEmpty()) {
        // A character code page 932 cannot hold, such as the U+FFFD that
        // stands for a byte the reader could not decode.
        FUZZ_CHECK(!error.isEmpty(), QStringLiteral("the writer refused without a reason"));
        return;
    }
    const TpdReadResult again = TpdFormat::read(written, TemperatureProgram::InitialColCount);
    FUZZ_CHECK(again.status == TpdReadResult::Loaded, again.reason() + QStringLiteral(" in ") + shown(written));
    FUZZ_CHECK(again.programNo == saved.programNo,
               QStringLiteral("%1 != %2").arg(again.programNo).arg(saved.programNo));
    FUZZ_CHECK(formatFixed(again.initialTemp, 2) == saved.initialTempText,
               shown(formatFixed(again.initialTemp, 2)) + QStringLiteral(" != ") + shown(saved.initialTempText));
    FUZZ_CHECK(again.rows.size() == saved.rows.size(), QString::number(again.rows.size()));
    for (qsizetype r = 0; r < saved.rows.size(); ++r) {
        for (qsizetype c = 0; c < saved.rows[r].size(); ++c) {
            const QString &before = saved.rows[r][c];
            const QString expected = before.isEmpty() ? QStringLiteral(" ") : before;
            FUZZ_CHECK(again.rows[r].value(c) == expected,
                       QStringLiteral("row %1 column %2: %3 came back as %4")
                           .arg(r + 1)
                           .arg(c)
                           .arg(shown(before), shown(again.rows[r].value(c))));
        }
    }
    FUZZ_CHECK(again.comment == saved.comment,
               shown(again.comment.join(u'|')) + QStringLiteral(" != ") + shown(saved.comment.join(u'|')));

    // What was read back is a fixed point: saved again, it reads back the same.
    TemperatureProgram table;
    for (int r = 0; r < TpdFormat::RowCount; ++r)
        table.setRow(TemperatureProgram::ModeRow + r, again.rows.at(r));
    const QByteArray rewritten =
        TpdFormat::write(asSaved(again.programNo, formatFixed(again.initialTemp, 2), table, again.comment), &error);
    const TpdReadResult third = TpdFormat::read(rewritten, TemperatureProgram::InitialColCount);
    FUZZ_CHECK(third.status == TpdReadResult::Loaded && third.programNo == again.programNo
                   && third.initialTemp == again.initialTemp && third.rows == again.rows
                   && third.comment == again.comment,
               shown(rewritten) + QStringLiteral(" from ") + shown(written));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    // The exports need fonts, so a GUI application on the offscreen
    // platform, as the tool's export makes one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    makeApplication<QGuiApplication>(*argv);
    std::setlocale(LC_NUMERIC, "C");
    programPath = scratchFolder() + QStringLiteral("/program.tpd");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    writeFile(programPath, bytes);
    const ProgramFile file = ProgramFile::load(programPath);
    if (!file.readable) {
        FUZZ_CHECK(!file.reason.isEmpty(), QStringLiteral("refused without a reason"));
        return 0;
    }
    checkProgram(file);
    drawReport(file);
    roundTrip(file);
    return 0;
}
