// vantrel show FILE [--json]: the program as text or as one JSON object.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/ProgramFile.h"
#include "model/Numbers.h"
#include "model/Profile.h"
#include "model/ProfileReadout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Row = TemperatureProgram::Row;

struct Listing
{
    const ProgramFile &file;
    Profile profile;
    int segments;
    QStringList problems;

    QString cell(int k, int row) const { return file.table.cell(row, k + 1); }
    bool isRamp(int k) const { return cell(k, Row::ModeRow) == TemperatureProgram::ModeRamp; }
    bool isHold(int k) const { return cell(k, Row::ModeRow) == TemperatureProgram::ModeHold; }
    double start(int k) const { return profile.segments.at(k).start.x(); }
    double end(int k) const { return profile.segments.at(k).end.x(); }
};

QString asText(const Listing &l)
{
    QString text;
    text += QStringLiteral("File: %1\n").arg(l.file.path);
    text += QStringLiteral("Program No.: %1\n").arg(l.file.programNo);
    text += QStringLiteral("Initial temp.: %1 deg C\n").arg(valueText(l.file.initialTemp, 2));
    text += QStringLiteral("Segments: %1\n").arg(l.segments);
    if (l.segments > 0)
        text += QStringLiteral("No.  Mode  Temp.(deg C)  Rate(deg C/min)  Time(min.sec)  Start          End\n");
    for (int k = 0; k < l.segments; ++k) {
        const QString temp = l.isRamp(k) ? l.cell(k, Row::TempRow) : QString();
        const QString rate = l.isRamp(k) ? l.cell(k, Row::RateRow) : QString();
        const QString time = l.isHold(k) ? l.cell(k, Row::TimeRow) : QString();
        text += QStringLiteral("%1  %2  %3  %4  %5  %6 %7\n")
                    .arg(k, 3)
                    .arg(l.cell(k, Row::ModeRow), -4)
                    .arg(temp, 12)
                    .arg(rate, 15)
                    .arg(time, 13)
                    .arg(minutesText(l.start(k)), -14)
                    .arg(minutesText(l.end(k)));
    }
    text += totalTimeText(l.profile.totalMinutes) + QLatin1Char('\n');
    text += QStringLiteral("Comment:%1\n").arg(l.file.comment.isEmpty() ? QStringLiteral(" (none)") : QString());
    for (const QString &line : l.file.comment)
        text += QStringLiteral("  %1\n").arg(line);
    if (!l.problems.isEmpty()) {
        text += QStringLiteral("Problems:\n");
        for (const QString &problem : l.problems)
            text += QStringLiteral("  %1\n").arg(problem);
    }
    return text;
}

QString asJson(const Listing &l)
{
    QJsonArray segments;
    for (int k = 0; k < l.segments; ++k) {
        QJsonObject segment{{"number", k}, {"mode", l.cell(k, Row::ModeRow)}};
        if (l.isRamp(k)) {
            segment["temperature"] = toDouble(l.cell(k, Row::TempRow));
            segment["rate"] = toDouble(l.cell(k, Row::RateRow));
        } else if (l.isHold(k)) {
            segment["time"] = l.cell(k, Row::TimeRow);
            segment["holdMinutes"] = minSecToMinutes(toDouble(l.cell(k, Row::TimeRow)));
        }
        segment["startMinutes"] = l.start(k);
        segment["endMinutes"] = l.end(k);
        segment["startSeconds"] = double(roundedSeconds(l.start(k)));
        segment["endSeconds"] = double(roundedSeconds(l.end(k)));
        segment["start"] = minutesText(l.start(k));
        segment["end"] = minutesText(l.end(k));
        segments.append(segment);
    }
    const QJsonObject program{
        {"file", l.file.path},
        {"programNo", l.file.programNo},
        {"initialTemp", l.file.initialTemp},
        {"segmentCount", l.segments},
        {"segments", segments},
        {"totalMinutes", l.profile.totalMinutes},
        {"totalTime", totalTimeText(l.profile.totalMinutes)},
        {"comment", QJsonArray::fromStringList(l.file.comment)},
        {"problems", QJsonArray::fromStringList(l.problems)},
    };
    return QString::fromUtf8(QJsonDocument(program).toJson(QJsonDocument::Indented));
}

int show(const QStringList &arguments)
{
    QStringList files = arguments;
    const bool json = files.removeAll(QStringLiteral("--json")) > 0;
    if (files.size() != 1 || files.first().startsWith(QLatin1Char('-'))) {
        Console::err(QStringLiteral("vantrel show: give one program file (vantrel help show)\n"));
        return ExitStatus::Usage;
    }
    const ProgramFile file = ProgramFile::load(files.first());
    if (!file.readable) {
        Console::err(QStringLiteral("%1: cannot be read: %2\n").arg(file.path, file.reason));
        return ExitStatus::Unreadable;
    }
    QStringList problems;
    for (const DownloadChecks::Problem &problem : file.problems())
        problems << describeProblem(problem);
    if (!DownloadChecks::numberProblems(file.table).isEmpty()) {
        // Without numbers there is no profile to show, as in the editor.
        for (const QString &problem : problems)
            Console::err(QStringLiteral("%1: %2\n").arg(file.path, problem));
        return ExitStatus::Problem;
    }
    const Listing listing{file, computeProfile(file.initialTemp, file.table), file.segmentCount(), problems};
    Console::out(json ? asJson(listing) : asText(listing));
    return problems.isEmpty() ? ExitStatus::Ok : ExitStatus::Problem;
}

const bool showRegistered = Commands::add({
    QStringLiteral("show"),
    QStringLiteral("print a program: its segments, their times and the total time"),
    QStringLiteral("Usage: vantrel show FILE [--json]\n\n"
                   "Prints the program number, the initial temperature, one line per segment a\n"
                   "download would send (number, mode, target temperature and rate, or hold\n"
                   "time, and the start and end of the segment), the total time as the\n"
                   "editor's status bar writes it, the comment, and any problem check finds.\n"
                   "  --json   the same as one JSON object\n"
                   "Exits 0, 1 when the program has a problem (a program whose cells are not\n"
                   "all numbers has no profile: only its problems are printed), 2 when the\n"
                   "file cannot be read.\n"),
    show,
});

} // namespace
