// vantrel-controller-sim: a temperature controller on a pseudo-terminal, for
// trying the editor's Send without hardware, or on a serial device, for
// checking the line settings on real wires.
#include "comm/protocol/ControllerLine.h"
#include "sim/ControllerSimulator.h"
#include "sim/PortLink.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <ctime>

namespace {

void printLine(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

int fail(const QString &message)
{
    std::fputs(qPrintable(QStringLiteral("vantrel-controller-sim: %1\n").arg(message)), stderr);
    return 1;
}

// The command line's options.
struct Options
{
    const QCommandLineOption com{QStringLiteral("com"),
                                 QStringLiteral("Link the pseudo-terminal as COM<n> in the ports folder."),
                                 QStringLiteral("n")};
    const QCommandLineOption portsDir{QStringLiteral("ports-dir"),
                                      QStringLiteral("Ports folder (default: %1).").arg(PortLink::defaultPortsDir()),
                                      QStringLiteral("dir"), PortLink::defaultPortsDir()};
    const QCommandLineOption silent{QStringLiteral("silent"), QStringLiteral("Take commands, never answer.")};
    const QCommandLineOption running{QStringLiteral("running"),
                                     QStringLiteral("Report a running program (status 0080).")};
    const QCommandLineOption refuse{QStringLiteral("refuse"),
                                    QStringLiteral("Answer command K (1 status query, 2 program number, 3 initial "
                                                   "temperature, 4 program number again, 5 segment count, 6 segment; "
                                                   "or the start of a command text) with response code CODE. "
                                                   "May be repeated."),
                                    QStringLiteral("K:CODE")};
    const QCommandLineOption badBcc{QStringLiteral("bad-bcc"), QStringLiteral("Answer with a wrong check byte.")};
    const QCommandLineOption wait{
        QStringLiteral("wait"),
        QStringLiteral("Response wait in milliseconds (default %1).").arg(ControllerSimulator::DefaultResponseWaitMs),
        QStringLiteral("ms"), QString::number(ControllerSimulator::DefaultResponseWaitMs)};
    const QCommandLineOption noPacing{
        QStringLiteral("no-pacing"),
        QStringLiteral("Send answers at once instead of at %1.").arg(ControllerLine::shortDescription())};
    const QCommandLineOption split{QStringLiteral("split"),
                                   QStringLiteral("Send each answer in three pieces with %1 ms gaps.")
                                       .arg(ControllerSimulator::DefaultSplitGapMs)};
    const QCommandLineOption cutAfter{QStringLiteral("cut-after"),
                                      QStringLiteral("Answer N commands, then cut the line (close the "
                                                     "pseudo-terminal, remove the link) when the next arrives."),
                                      QStringLiteral("n")};
    const QCommandLineOption silentAfter{QStringLiteral("silent-after"),
                                         QStringLiteral("Answer N commands, then take every later one without "
                                                        "answering."),
                                         QStringLiteral("n")};
    const QCommandLineOption device{QStringLiteral("device"),
                                    QStringLiteral("Answer on this serial device (%1) instead of a "
                                                   "pseudo-terminal.")
                                        .arg(ControllerLine::description()),
                                    QStringLiteral("path")};
    const QCommandLineOption unit{QStringLiteral("unit"),
                                  QStringLiteral("Play the controllers at these node numbers (0 to 99, "
                                                 "comma-separated; default 1), each with its own program. "
                                                 "Frames to other nodes go unanswered."),
                                  QStringLiteral("list"), QStringLiteral("1")};
    QList<QCommandLineOption> all() const
    {
        return {device, unit, com,      portsDir, silent,   running,    refuse,
                badBcc, wait, noPacing, split,    cutAfter, silentAfter};
    }
};

// What the command line asks for, once it was found sound.
struct Run
{
    QList<int> units;
    int comNumber = 0;
};

void parseCommandLine(QCoreApplication &app, QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(
        QStringLiteral("Answers the editor's commands like the oven controller, on a pseudo-terminal\n"
                       "(or on a serial device with --device).\n"
                       "Prints every command it takes and, after a download, the program it holds.\n"
                       "Ends on Ctrl+C (or SIGTERM) and removes its COMn link."));
    parser.addHelpOption();
    parser.addOptions(options.all());
    parser.process(app);
}

bool numberOption(const QCommandLineParser &parser, const QCommandLineOption &option, int low, int *value)
{
    bool ok = false;
    *value = parser.value(option).toInt(&ok);
    return ok && *value >= low;
}

// The node numbers of --unit; empty when one is not 0 to 99 or comes twice.
QList<int> parseUnits(const QString &list)
{
    QList<int> units;
    for (const QString &text : list.split(QLatin1Char(','))) {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok || n < 0 || n > 99 || units.contains(n))
            return {};
        units << n;
    }
    return units;
}

// Sets the simulator's behaviour from the options; the reason when one is
// not sound, empty otherwise.
QString setBehaviour(ControllerSimulator &simulator, const QCommandLineParser &parser, const Options &options)
{
    simulator.setSilent(parser.isSet(options.silent));
    simulator.setRunning(parser.isSet(options.running));
    simulator.setBadBcc(parser.isSet(options.badBcc));
    simulator.setPacing(!parser.isSet(options.noPacing));
    simulator.setSplitAnswers(parser.isSet(options.split));
    for (const QString &text : parser.values(options.refuse)) {
        Refusal refusal;
        if (!ControllerModel::parseRefusal(text, &refusal))
            return QStringLiteral("--refuse wants K:CODE, K 1 to 6 or a command text, CODE four "
                                  "printable ASCII characters: %1")
                .arg(text);
        simulator.addRefusal(refusal);
    }
    int value = 0;
    if (!numberOption(parser, options.wait, 0, &value))
        return QStringLiteral("--wait wants milliseconds, 0 or more");
    simulator.setResponseWaitMs(value);
    if (parser.isSet(options.cutAfter)) {
        if (!numberOption(parser, options.cutAfter, 1, &value))
            return QStringLiteral("--cut-after wants a number of commands, 1 or more");
        simulator.setCutAfter(value);
    }
    if (parser.isSet(options.silentAfter)) {
        if (!numberOption(parser, options.silentAfter, 1, &value))
            return QStringLiteral("--silent-after wants a number of commands, 1 or more");
        simulator.setSilentAfter(value);
    }
    return {};
}

// Sets the simulator up as the command line asks; the reason when an option
// is not sound, empty otherwise.
QString configure(ControllerSimulator &simulator, const QCommandLineParser &parser, const Options &options, Run *run)
{
    run->units = parseUnits(parser.value(options.unit));
    if (run->units.isEmpty())
        return QStringLiteral("--unit wants node numbers 0 to 99, each once, separated by commas: %1")
            .arg(parser.value(options.unit));
    simulator.setUnits(run->units);
    simulator.setOutput(printLine);
    if (const QString problem = setBehaviour(simulator, parser, options); !problem.isEmpty())
        return problem;
    if (parser.isSet(options.com) && !numberOption(parser, options.com, 1, &run->comNumber))
        return QStringLiteral("--com wants a port number, 1 or more");
    return {};
}

// Signals are taken by sigtimedwait; they are blocked before the simulator's
// thread exists.
sigset_t blockEndSignals()
{
    sigset_t endSignals;
    sigemptyset(&endSignals);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&endSignals, s);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);
    return endSignals;
}

bool startServing(ControllerSimulator &simulator, const QCommandLineParser &parser, const Options &options,
                  const Run &run, QString *error)
{
    const bool started = parser.isSet(options.device) ? simulator.startOnDevice(parser.value(options.device), error)
                                                      : simulator.start(error);
    if (!started)
        return false;
    if (run.comNumber > 0 && !simulator.linkAs(run.comNumber, parser.value(options.portsDir), error)) {
        simulator.stop();
        return false;
    }
    return true;
}

void printStarted(const ControllerSimulator &simulator, const Run &run)
{
    printLine(QStringLiteral("Controller simulator on %1").arg(simulator.slavePath()));
    if (run.units != QList<int>{1}) {
        QStringList names;
        for (int n : run.units)
            names << QString::number(n);
        printLine(QStringLiteral("Units: %1").arg(names.join(QStringLiteral(", "))));
    }
    if (run.comNumber > 0)
        printLine(QStringLiteral("Linked as COM%1: %2").arg(run.comNumber).arg(simulator.linkPath()));
    printLine(QStringLiteral("Ctrl+C ends it."));
}

// Serves until one of the signals comes or the line is cut; true for a cut.
bool serveUntilEnd(ControllerSimulator &simulator, const sigset_t &endSignals)
{
    const timespec tick{0, 200'000'000};
    while (simulator.isServing()) {
        const int s = sigtimedwait(&endSignals, nullptr, &tick);
        if (s > 0)
            break;
    }
    const bool cut = !simulator.isServing();
    simulator.stop();
    return cut;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-controller-sim"));
    QCommandLineParser parser;
    const Options options;
    parseCommandLine(app, parser, options);

    ControllerSimulator simulator;
    Run run;
    if (const QString problem = configure(simulator, parser, options, &run); !problem.isEmpty())
        return fail(problem);
    const sigset_t endSignals = blockEndSignals();
    QString error;
    if (!startServing(simulator, parser, options, run, &error))
        return fail(error);
    printStarted(simulator, run);
    const bool cut = serveUntilEnd(simulator, endSignals);
    printLine(cut ? QStringLiteral("Line cut; simulator ended.") : QStringLiteral("Simulator ended."));
    return 0;
}
