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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-controller-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers the editor's commands like the oven controller, on a pseudo-terminal\n"
        "(or on a serial device with --device).\n"
        "Prints every command it takes and, after a download, the program it holds.\n"
        "Ends on Ctrl+C (or SIGTERM) and removes its COMn link."));
    parser.addHelpOption();
    const QCommandLineOption com(QStringLiteral("com"),
                                 QStringLiteral("Link the pseudo-terminal as COM<n> in the ports folder."),
                                 QStringLiteral("n"));
    const QCommandLineOption portsDir(QStringLiteral("ports-dir"),
                                      QStringLiteral("Ports folder (default: %1).").arg(PortLink::defaultPortsDir()),
                                      QStringLiteral("dir"), PortLink::defaultPortsDir());
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Take commands, never answer."));
    const QCommandLineOption running(QStringLiteral("running"),
                                     QStringLiteral("Report a running program (status 0080)."));
    const QCommandLineOption refuse(QStringLiteral("refuse"),
                                    QStringLiteral("Answer command K (1 status query, 2 program number, 3 initial "
                                                   "temperature, 4 program number again, 5 segment count, 6 segment; "
                                                   "or the start of a command text) with response code CODE. "
                                                   "May be repeated."),
                                    QStringLiteral("K:CODE"));
    const QCommandLineOption badBcc(QStringLiteral("bad-bcc"), QStringLiteral("Answer with a wrong check byte."));
    const QCommandLineOption wait(QStringLiteral("wait"),
                                  QStringLiteral("Response wait in milliseconds (default %1).")
                                      .arg(ControllerSimulator::DefaultResponseWaitMs),
                                  QStringLiteral("ms"), QString::number(ControllerSimulator::DefaultResponseWaitMs));
    const QCommandLineOption noPacing(QStringLiteral("no-pacing"),
                                      QStringLiteral("Send answers at once instead of at %1.")
                                          .arg(ControllerLine::shortDescription()));
    const QCommandLineOption split(QStringLiteral("split"),
                                   QStringLiteral("Send each answer in three pieces with %1 ms gaps.")
                                       .arg(ControllerSimulator::DefaultSplitGapMs));
    const QCommandLineOption cutAfter(QStringLiteral("cut-after"),
                                      QStringLiteral("Answer N commands, then cut the line (close the "
                                                     "pseudo-terminal, remove the link) when the next arrives."),
                                      QStringLiteral("n"));
    const QCommandLineOption silentAfter(QStringLiteral("silent-after"),
                                         QStringLiteral("Answer N commands, then take every later one without "
                                                        "answering."),
                                         QStringLiteral("n"));
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Answer on this serial device (%1) instead of a "
                                                   "pseudo-terminal.")
                                        .arg(ControllerLine::description()),
                                    QStringLiteral("path"));
    const QCommandLineOption unit(QStringLiteral("unit"),
                                  QStringLiteral("Play the controllers at these node numbers (0 to 99, "
                                                 "comma-separated; default 1), each with its own program. "
                                                 "Frames to other nodes go unanswered."),
                                  QStringLiteral("list"), QStringLiteral("1"));
    parser.addOptions({device, unit, com, portsDir, silent, running, refuse, badBcc, wait, noPacing, split, cutAfter, silentAfter});
    parser.process(app);

    const auto number = [&](const QCommandLineOption &option, int low, int *value) {
        bool ok = false;
        *value = parser.value(option).toInt(&ok);
        return ok && *value >= low;
    };

    ControllerSimulator simulator;
    QList<int> units;
    for (const QString &text : parser.value(unit).split(QLatin1Char(','))) {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok || n < 0 || n > 99 || units.contains(n))
            return fail(QStringLiteral("--unit wants node numbers 0 to 99, each once, separated by commas: %1")
                            .arg(parser.value(unit)));
        units << n;
    }
    simulator.setUnits(units);
    simulator.setOutput(printLine);
    simulator.setSilent(parser.isSet(silent));
    simulator.setRunning(parser.isSet(running));
    simulator.setBadBcc(parser.isSet(badBcc));
    simulator.setPacing(!parser.isSet(noPacing));
    simulator.setSplitAnswers(parser.isSet(split));
    for (const QString &text : parser.values(refuse)) {
        Refusal refusal;
        if (!ControllerModel::parseRefusal(text, &refusal))
            return fail(QStringLiteral("--refuse wants K:CODE, K 1 to 6 or a command text, CODE four "
                                       "printable ASCII characters: %1").arg(text));
        simulator.addRefusal(refusal);
    }
    int value = 0;
    if (!number(wait, 0, &value))
        return fail(QStringLiteral("--wait wants milliseconds, 0 or more"));
    simulator.setResponseWaitMs(value);
    if (parser.isSet(cutAfter)) {
        if (!number(cutAfter, 1, &value))
            return fail(QStringLiteral("--cut-after wants a number of commands, 1 or more"));
        simulator.setCutAfter(value);
    }
    if (parser.isSet(silentAfter)) {
        if (!number(silentAfter, 1, &value))
            return fail(QStringLiteral("--silent-after wants a number of commands, 1 or more"));
        simulator.setSilentAfter(value);
    }
    int comNumber = 0;
    if (parser.isSet(com) && !number(com, 1, &comNumber))
        return fail(QStringLiteral("--com wants a port number, 1 or more"));

    // Signals are taken by sigtimedwait below; block them before the simulator's thread exists.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&endSignals, s);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    QString error;
    const bool started =
        parser.isSet(device) ? simulator.startOnDevice(parser.value(device), &error) : simulator.start(&error);
    if (!started)
        return fail(error);
    if (comNumber > 0 && !simulator.linkAs(comNumber, parser.value(portsDir), &error)) {
        simulator.stop();
        return fail(error);
    }
    printLine(QStringLiteral("Controller simulator on %1").arg(simulator.slavePath()));
    if (units != QList<int>{1}) {
        QStringList names;
        for (int n : units)
            names << QString::number(n);
        printLine(QStringLiteral("Units: %1").arg(names.join(QStringLiteral(", "))));
    }
    if (comNumber > 0)
        printLine(QStringLiteral("Linked as COM%1: %2").arg(comNumber).arg(simulator.linkPath()));
    printLine(QStringLiteral("Ctrl+C ends it."));

    const timespec tick{0, 200'000'000};
    while (simulator.isServing()) {
        const int s = sigtimedwait(&endSignals, nullptr, &tick);
        if (s > 0)
            break;
    }
    const bool cut = !simulator.isServing();
    simulator.stop();
    printLine(cut ? QStringLiteral("Line cut; simulator ended.") : QStringLiteral("Simulator ended."));
    return 0;
}
