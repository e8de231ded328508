// vantrel send FILE --port PORT: the editor's Send, from a program file.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/ProgramFile.h"
#include "cli/TextPrompts.h"
#include "cli/TextTransferWindow.h"
#include "comm/CommX.h"
#include "comm/NetworkAddress.h"
#include "comm/PortDirectory.h"
#include "comm/link/CommXDownloadPort.h"
#include "comm/link/ProgramDownload.h"
#include "files/SettingsFile.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

using Kind = ProgramDownload::Ending::Kind;

struct EndingName
{
    Kind kind;
    int status;
    const char *name;
};
// What each ending gives: the exit status and the word of the summary line.
constexpr EndingName Endings[] = {
    {Kind::Completed, ExitStatus::Ok, "completed"},
    {Kind::NotSent, ExitStatus::Problem, "not sent: the program has a problem"},
    {Kind::PortUnavailable, ExitStatus::PortUnavailable, "not sent: the port cannot be opened"},
    {Kind::NoAnswer, ExitStatus::NoAnswer, "no answer"},
    {Kind::StatusRefused, ExitStatus::StatusRefused, "status query refused"},
    {Kind::Running, ExitStatus::Running, "a program is running"},
    {Kind::Declined, ExitStatus::Declined, "not sent: answered No"},
    {Kind::CommandRefused, ExitStatus::CommandRefused, "command refused"},
    {Kind::Stopped, ExitStatus::Stopped, "stopped"},
    {Kind::PortFailure, ExitStatus::PortFailure, "port failure"},
};

const EndingName &endingName(Kind kind)
{
    for (const EndingName &ending : Endings)
        if (ending.kind == kind)
            return ending;
    return Endings[0];
}

// An ending after which the other units are not tried: the line is gone, or
// the person asked to stop.
bool endsTheRun(Kind kind)
{
    return kind == Kind::PortUnavailable || kind == Kind::PortFailure || kind == Kind::Stopped;
}

int sendUsage(const QString &text)
{
    Console::err(QStringLiteral("vantrel send: %1 (vantrel help send)\n").arg(text));
    return ExitStatus::Usage;
}

// "COM3", a device path, or a serial device server: "socket://HOST:PORT",
// "rfc2217://HOST:PORT".
bool choosePort(TCommX &comm, const QString &port)
{
    if (NetworkAddress::looksLikeNetwork(port)) {
        if (!NetworkAddress::parse(port))
            return false;
        comm.setPortDirectory(PortDirectory::forDevice(port));
        comm.setPortNo(1);
        return true;
    }
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]{0,3})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch com = comName.match(port);
    if (com.hasMatch()) {
        comm.setPortNo(com.captured(1).toInt());
        return true;
    }
    if (!port.contains(QLatin1Char('/')))
        return false;
    comm.setPortDirectory(PortDirectory::forDevice(port));
    comm.setPortNo(1);
    return true;
}

std::optional<QList<int>> parseUnits(const QString &text)
{
    QList<int> units;
    for (const QString &part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int unit = part.trimmed().toInt(&ok);
        if (!ok || unit < 0 || unit > 99 || units.contains(unit))
            return std::nullopt;
        units << unit;
    }
    return units;
}

// What the command line asks for, once it was found sound.
struct SendRequest
{
    QString file;
    QString portText;
    bool portGiven = false; // false: the port the editor has chosen
    QString unitText;
    QList<int> units;
    std::optional<int> programNo;
    bool yes = false;
    bool verbose = false;
};

// Reads the command line into request; the exit status when it is not
// sound (after saying why), nothing otherwise.
std::optional<int> readRequest(const QStringList &arguments, SendRequest &request)
{
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("port"));
    const QCommandLineOption yes(QStringLiteral("yes"), QString());
    const QCommandLineOption program(QStringLiteral("program"), QString(), QStringLiteral("n"));
    const QCommandLineOption unit(QStringLiteral("unit"), QString(), QStringLiteral("list"), QStringLiteral("1"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QString());
    parser.addOptions({port, yes, program, unit, verbose});
    if (!parser.parse(QStringList{QStringLiteral("vantrel send")} + arguments))
        return sendUsage(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return sendUsage(QStringLiteral("give one program file"));
    request.file = parser.positionalArguments().first();
    // Without --port, the port the editor has chosen (its settings file).
    request.portGiven = parser.isSet(port);
    request.portText = parser.value(port);
    if (!request.portGiven) {
        const int chosen = SettingsFile::read(SettingsFile::defaultPath()).comPortNo;
        if (chosen < 1)
            return sendUsage(QStringLiteral("the editor has no port chosen; give the port: --port COM3 or --port "
                                            "/dev/ttyUSB0"));
        request.portText = QStringLiteral("COM%1").arg(chosen);
    }
    request.unitText = parser.value(unit);
    const auto units = parseUnits(request.unitText);
    if (!units)
        return sendUsage(QStringLiteral("--unit wants node numbers 0 to 99, each once, separated by commas"));
    request.units = *units;
    if (parser.isSet(program)) {
        bool ok = false;
        request.programNo = parser.value(program).toInt(&ok);
        if (!ok || *request.programNo < 0 || *request.programNo > 7)
            return sendUsage(QStringLiteral("--program wants a program number 0 to 7"));
    }
    request.yes = parser.isSet(yes);
    request.verbose = parser.isSet(verbose);
    if (!request.yes && !Console::inIsTerminal())
        return sendUsage(QStringLiteral("the question before the transfer needs a terminal; give --yes to answer it"));
    return std::nullopt;
}

// Sends to each unit in turn (none after an ending that ends the run) and
// returns the exit status of the first ending that is not a completion.
int sendToUnits(const SendRequest &request, ProgramDownload &download, TextTransferWindow &window, TextPrompts &prompts,
                const TCommX &comm)
{
    const bool several = request.units.size() > 1;
    QStringList summary;
    int status = ExitStatus::Ok;
    bool runEnded = false;
    QStringList notes;
    for (int u : request.units) {
        const QString prefix = several ? QStringLiteral("unit %1: ").arg(u) : QString();
        if (runEnded) {
            summary << prefix + QStringLiteral("not tried");
            continue;
        }
        window.setPrefix(prefix);
        prompts.setPrefix(prefix);
        download.setUnit(u);
        try {
            download.run();
        } catch (const std::exception &e) {
            prompts.error(QString::fromUtf8(e.what()), download.lastIncomplete());
        }
        const QString note = comm.platform().lineNote();
        if (request.verbose && !note.isEmpty() && !notes.contains(note)) {
            notes << note;
            Console::err(QStringLiteral("note: %1\n").arg(note));
        }
        const EndingName &ending = endingName(download.lastEnding().kind);
        summary << prefix + QLatin1String(ending.name);
        if (status == ExitStatus::Ok)
            status = ending.status;
        runEnded = endsTheRun(ending.kind);
    }
    if (several)
        Console::out(QStringLiteral("Summary:\n") + summary.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    return status;
}

int send(const QStringList &arguments)
{
    SendRequest request;
    if (const std::optional<int> refused = readRequest(arguments, request))
        return *refused;
    const ProgramFile file = ProgramFile::load(request.file);
    if (!file.readable) {
        Console::err(QStringLiteral("%1: cannot be read: %2\n").arg(file.path, file.reason));
        return ExitStatus::Unreadable;
    }

    TCommX comm;
    CommXDownloadPort::useControllerLine(comm);
    if (!choosePort(comm, request.portText))
        return sendUsage(QStringLiteral("--port wants COMn, a device path, socket://HOST:PORT or rfc2217://HOST:PORT, "
                                        "not %1")
                             .arg(request.portText));
    CommXDownloadPort downloadPort(comm);
    TextTransferWindow window(file.table, request.programNo.value_or(file.programNo), file.initialTempText,
                              Console::outIsTerminal());
    window.setProgramFile(QFileInfo(file.path).absoluteFilePath());
    TextPrompts prompts(request.yes);
    ProgramDownload download(window, downloadPort, prompts);
    download.setTransferLog(TransferLog());
    TextTransferWindow::catchInterrupt();
    if (!request.portGiven)
        Console::out(
            QStringLiteral("Port %1 (as chosen in the editor), unit %2\n").arg(request.portText, request.unitText));
    return sendToUnits(request, download, window, prompts, comm);
}

const bool sendRegistered = Commands::add({
    QStringLiteral("send"),
    QStringLiteral("send a program to the controller, as the editor's Send does"),
    QStringLiteral("Usage: vantrel send FILE [--port PORT] [--yes] [--program N] [--unit LIST] [--verbose]\n\n"
                   "Checks the program, asks the controller whether it is reachable and idle,\n"
                   "asks \"Are you sure parameter is stored as ... ?\", then writes the program\n"
                   "number, the initial temperature, the segment count and every segment,\n"
                   "with the editor's frames, endings and texts. Prints a line per segment (a\n"
                   "bar on a terminal). Ctrl+C sends no further command and closes the port.\n"
                   "An ending after the controller accepted part of the program names the\n"
                   "program, port and unit that may now be incomplete, on standard error.\n"
                   "  --port PORT    COMn (as the editor numbers ports), a device path, or a\n"
                   "                 serial device server: socket://HOST:PORT (raw TCP) or\n"
                   "                 rfc2217://HOST:PORT (Telnet COM-port control);\n"
                   "                 without it, the port chosen in the editor (said first)\n"
                   "  --yes          answer the question with Yes (needed without a terminal)\n"
                   "  --program N    store as program N (0 to 7) instead of the file's number\n"
                   "  --unit LIST    the controllers' node numbers (0 to 99; default 1), e.g.\n"
                   "                 --unit 1,2,5 sends to each in turn and ends with a summary\n"
                   "                 line per unit\n"
                   "  --verbose      also say what slows the line down (a USB adapter whose\n"
                   "                 driver refused low latency), on standard error\n"),
    send,
});

} // namespace
