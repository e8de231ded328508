// vantrel check FILE...: every problem the editor's Send would refuse.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/ProgramFile.h"
#include "model/Profile.h"

#include <algorithm>

namespace {

int checkFile(const QString &path)
{
    const ProgramFile file = ProgramFile::load(path);
    if (!file.readable) {
        Console::err(QStringLiteral("%1: cannot be read: %2\n").arg(path, file.reason));
        return ExitStatus::Unreadable;
    }
    const ProgramFile::Checks checks = file.checks();
    for (const DownloadChecks::Problem &problem : checks.problems)
        Console::out(QStringLiteral("%1: %2\n").arg(path, describeProblem(problem)));
    const int segments = checks.segments;
    if (segments == 0 && checks.numbersOk)
        Console::out(QStringLiteral("%1: %2\n").arg(path, noSegmentsText()));
    if (!checks.problems.isEmpty() || segments == 0)
        return ExitStatus::Problem;
    const Profile profile = computeProfile(file.initialTemp, file.table);
    Console::out(QStringLiteral("%1: ok (%2 segments, %3)\n").arg(path).arg(segments).arg(minutesText(profile.totalMinutes)));
    return ExitStatus::Ok;
}

int check(const QStringList &arguments)
{
    if (arguments.isEmpty() || std::any_of(arguments.begin(), arguments.end(),
                                           [](const QString &a) { return a.startsWith(QLatin1Char('-')); })) {
        Console::err(QStringLiteral("vantrel check: give one or more program files (vantrel help check)\n"));
        return ExitStatus::Usage;
    }
    int status = ExitStatus::Ok;
    for (const QString &path : arguments)
        status = std::max(status, checkFile(path));
    return status;
}

const bool registered = Commands::add({
    QStringLiteral("check"),
    QStringLiteral("check program files as the editor does before Save and Send"),
    QStringLiteral("Usage: vantrel check FILE...\n\n"
                   "Reads each program file as the editor opens it and runs every check the\n"
                   "editor makes before it saves or sends: the initial temperature, every\n"
                   "temperature, rate and time cell, the mode of each counted segment and the\n"
                   "range of every value that segment sends. Prints one line per problem,\n"
                   "  FILE: segment 3: Temp.(deg C): 350.0 is out of range 0 - 300.0\n"
                   "or, for a clean file, its segments and total time:\n"
                   "  FILE: ok (7 segments, 848 min 19 s)\n"
                   "Exits 0 when every file is clean, 1 when any has a problem, 2 when any\n"
                   "cannot be read (the reason goes to standard error).\n"),
    check,
});

} // namespace
