// vantrel check FILE...: every problem the editor's Send would refuse.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/ProgramFile.h"
#include "model/Profile.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace {

// What checking one file printed, in order, and how it ended.
struct Outcome
{
    struct Line
    {
        bool error = false; // standard error, else standard output
        QString text;
    };
    QList<Line> lines;
    int status = ExitStatus::Ok;
    std::exception_ptr failure; // thrown while checking; thrown again where it is printed
};

Outcome checkFile(const QString &path)
{
    Outcome outcome;
    auto out = [&outcome](const QString &text) { outcome.lines.append({false, text}); };
    const ProgramFile file = ProgramFile::load(path);
    if (!file.readable) {
        outcome.lines.append({true, QStringLiteral("%1: cannot be read: %2\n").arg(path, file.reason)});
        outcome.status = ExitStatus::Unreadable;
        return outcome;
    }
    const ProgramFile::Checks checks = file.checks();
    for (const DownloadChecks::Problem &problem : checks.problems)
        out(QStringLiteral("%1: %2\n").arg(path, describeProblem(problem)));
    const int segments = checks.segments;
    if (segments == 0 && checks.numbersOk)
        out(QStringLiteral("%1: %2\n").arg(path, noSegmentsText()));
    if (!checks.problems.isEmpty() || segments == 0) {
        outcome.status = ExitStatus::Problem;
        return outcome;
    }
    const Profile profile = computeProfile(file.initialTemp, file.table);
    out(QStringLiteral("%1: ok (%2 segments, %3)\n").arg(path).arg(segments).arg(minutesText(profile.totalMinutes)));
    return outcome;
}

// Checks paths[first, first + count) on every core, each file by itself,
// into outcomes; every thread has ended when it returns.
void checkBatch(const QStringList &paths, qsizetype first, std::vector<Outcome> &outcomes)
{
    std::atomic<qsizetype> next{0};
    const qsizetype count = qsizetype(outcomes.size());
    auto work = [&] {
        for (qsizetype i = next++; i < count; i = next++) {
            try {
                outcomes[size_t(i)] = checkFile(paths.at(first + i));
            } catch (...) {
                outcomes[size_t(i)].failure = std::current_exception();
            }
        }
    };
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < cores && qsizetype(t) < count; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
}

int check(const QStringList &arguments)
{
    if (arguments.isEmpty() || std::any_of(arguments.begin(), arguments.end(), [](const QString &a) {
            return a.startsWith(QLatin1Char('-'));
        })) {
        Console::err(QStringLiteral("vantrel check: give one or more program files (vantrel help check)\n"));
        return ExitStatus::Usage;
    }
    // The files are checked a batch at a time on every core and printed in
    // the order given, as one file after the other would print them.
    constexpr qsizetype batchSize = 256;
    int status = ExitStatus::Ok;
    std::vector<Outcome> outcomes;
    for (qsizetype first = 0; first < arguments.size(); first += batchSize) {
        outcomes.assign(size_t(std::min(batchSize, arguments.size() - first)), Outcome());
        checkBatch(arguments, first, outcomes);
        for (const Outcome &outcome : outcomes) {
            for (const Outcome::Line &line : outcome.lines)
                line.error ? Console::err(line.text) : Console::out(line.text);
            if (outcome.failure)
                std::rethrow_exception(outcome.failure);
            status = std::max(status, outcome.status);
        }
    }
    return status;
}

const bool checkRegistered = Commands::add({
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
