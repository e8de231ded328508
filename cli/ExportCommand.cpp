// vantrel export FILE --pdf OUT | --png OUT | --svg OUT | --csv OUT |
// --segments-csv OUT: the editor's program sheet, chart, profile points and
// segments table as files, made by the same code as File, Export in the
// window. OUT "-" is standard output.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "files/RegularFile.h"
#include "model/SegmentTable.h"
#include "report/ProgramReport.h"
#include "report/ReportExport.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace {

struct Output
{
    QString option; // "--pdf"
    QString path;   // "-": standard output
};

const QString StandardOutput = QStringLiteral("-");

bool sameOutput(const Output &a, const Output &b)
{
    if (a.path == StandardOutput || b.path == StandardOutput)
        return a.path == b.path;
    return RegularFile::sameFile(a.path, b.path);
}

// Why the outputs cannot be written as asked, or empty: two that name one
// file, one that names the program file, or a PDF or picture bound for a
// terminal.
QString usageProblem(const QString &program, const QList<Output> &outputs)
{
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        if (outputs[i].path != StandardOutput && RegularFile::sameFile(outputs[i].path, program))
            return QStringLiteral("%1 is the program file itself; the export would replace it").arg(outputs[i].path);
        for (qsizetype j = i + 1; j < outputs.size(); ++j)
            if (sameOutput(outputs[i], outputs[j]))
                return QStringLiteral("%1 and %2 are the same file; give each output a name of its own")
                    .arg(outputs[i].path, outputs[j].path);
        const bool binary = outputs[i].option == QLatin1String("--pdf") || outputs[i].option == QLatin1String("--png");
        if (binary && outputs[i].path == StandardOutput && Console::outIsTerminal())
            return QStringLiteral(
                       "%1 - would pour binary data onto the terminal; redirect the output to a file or a pipe")
                .arg(outputs[i].option);
    }
    return QString();
}

// The output options, in the order of the makers in writeOutputs.
const QStringList OutputKinds{"--pdf", "--png", "--svg", "--csv", "--segments-csv"};

struct ExportRequest
{
    QString file;
    QList<Output> outputs;
    QSize plotSize = ReportExport::DefaultPlotSize;
    QPageSize::PageSizeId pageSize = ReportExport::defaultPageSize();
};

// Reads the command line into request; false, after saying why, for an
// argument that is not understood.
bool readRequest(const QStringList &arguments, ExportRequest &request)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (OutputKinds.contains(argument) && hasValue) {
            request.outputs.append({argument, arguments[++i]});
        } else if (argument == QLatin1String("--size") && hasValue) {
            const auto match = QRegularExpression(QStringLiteral("^(\\d{2,5})x(\\d{2,5})$")).match(arguments[++i]);
            if (!match.hasMatch()) {
                Console::err(QStringLiteral("vantrel export: --size takes WIDTHxHEIGHT in pixels, as 1200x600\n"));
                return false;
            }
            request.plotSize = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        } else if (argument == QLatin1String("--page") && hasValue) {
            const QString page = arguments[++i].toLower();
            if (page != QLatin1String("a4") && page != QLatin1String("letter")) {
                Console::err(QStringLiteral("vantrel export: --page takes a4 or letter\n"));
                return false;
            }
            request.pageSize = page == QLatin1String("a4") ? QPageSize::A4 : QPageSize::Letter;
        } else if (!argument.startsWith(QLatin1Char('-')) && request.file.isEmpty()) {
            request.file = argument;
        } else {
            Console::err(
                QStringLiteral("vantrel export: \"%1\" is not understood (vantrel help export)\n").arg(argument));
            return false;
        }
    }
    return true;
}

// Makes and writes each output; the exit status.
int writeOutputs(const ExportRequest &request, const ProgramReport &report, void (*say)(const QString &))
{
    const std::function<QByteArray()> make[] = {
        [&] { return ReportExport::pdf(report, request.pageSize); },
        [&] { return ReportExport::png(report.profile, request.plotSize); },
        [&] { return ReportExport::svg(report.profile, request.plotSize); },
        [&] { return ReportExport::csv(report.profile); },
        [&] { return ReportExport::segmentsCsv(report.program); },
    };
    int status = ExitStatus::Ok;
    for (const Output &output : request.outputs) {
        QString reason;
        const QByteArray bytes = make[OutputKinds.indexOf(output.option)]();
        const bool written = output.path == StandardOutput ? Console::outBytes(bytes, &reason)
                                                           : ReportExport::write(output.path, bytes, &reason);
        if (!written) {
            Console::err(QStringLiteral("%1: cannot be written: %2\n").arg(output.path, reason));
            status = ExitStatus::Unwritable;
        } else if (output.path != StandardOutput) {
            say(QStringLiteral("%1: written\n").arg(output.path));
        }
    }
    return status;
}

int exportFile(const QStringList &arguments)
{
    ExportRequest request;
    if (!readRequest(arguments, request))
        return ExitStatus::Usage;
    const QString &file = request.file;
    if (file.isEmpty() || request.outputs.isEmpty()) {
        Console::err(
            QStringLiteral("vantrel export: give a program file and at least one output (vantrel help export)\n"));
        return ExitStatus::Usage;
    }
    if (const QString problem = usageProblem(file, request.outputs); !problem.isEmpty()) {
        Console::err(QStringLiteral("vantrel export: %1\n").arg(problem));
        return ExitStatus::Usage;
    }
    // When the data goes to standard output, every line about it goes to the
    // error stream, so that a pipe carries the data alone.
    const bool dataOnStandardOutput = std::any_of(request.outputs.cbegin(), request.outputs.cend(),
                                                  [](const Output &output) { return output.path == StandardOutput; });
    const auto say = dataOnStandardOutput ? Console::err : Console::out;

    QString error;
    bool cannotRead = false;
    const std::optional<ProgramReport> report = loadReport(file, &error, &cannotRead);
    if (!report) {
        if (cannotRead) {
            Console::err(QStringLiteral("%1: cannot be read: %2\n").arg(file, error));
            return ExitStatus::Unreadable;
        }
        say(QStringLiteral("%1: %2\n").arg(file, error));
        return ExitStatus::Problem;
    }
    return writeOutputs(request, *report, say);
}

const bool exportRegistered = Commands::add({
    QStringLiteral("export"),
    QStringLiteral("write a program's sheet (PDF), chart (PNG, SVG), profile points or segments (CSV)"),
    QStringLiteral("Usage: vantrel export FILE [--pdf OUT] [--png OUT] [--svg OUT] [--csv OUT]\n"
                   "                      [--segments-csv OUT] [--size WIDTHxHEIGHT] [--page a4|letter]\n\n"
                   "Writes what the editor's File, Export writes, without a window:\n"
                   "  --pdf OUT    the one-page program sheet\n"
                   "  --png OUT    the chart as a picture (--size, default 1200x600 pixels)\n"
                   "  --svg OUT    the chart as a vector drawing (--size as for PNG)\n"
                   "  --csv OUT    the 33 profile points: time in minutes, temperature in deg C\n"
                   "  --segments-csv OUT\n"
                   "               the segments up to the last set one, a line each: Mode,\n"
                   "               Temp.(deg C), Rate(deg C/min), Time(min.sec); vantrel import\n"
                   "               reads it back\n"
                   "  --page       the sheet's paper, a4 or letter (default: the locale's)\n"
                   "OUT \"-\" is standard output, for a pipe (vantrel export p.tpd --csv - | ...);\n"
                   "the lines that name the files written then go to standard error. A PDF or\n"
                   "PNG is not written to a terminal.\n"
                   "Each file is complete or not written at all. Only a regular file is\n"
                   "replaced: a folder, FIFO or device of that name is refused. Exits 0, 1 when\n"
                   "a cell of the program is not a number, 2 when the file cannot be read, 11\n"
                   "when an output cannot be written, 64 when two outputs name the same file\n"
                   "or one names the program file.\n"),
    exportFile,
    true,
});

} // namespace
