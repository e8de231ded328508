// vantrel export FILE --pdf OUT | --png OUT | --svg OUT | --csv OUT: the
// editor's program sheet, chart and profile points as files, drawn by the
// same code as File, Export in the window.
#include "Command.h"
#include "Console.h"
#include "ExitStatus.h"
#include "ProgramReport.h"
#include "ReportExport.h"

#include <QRegularExpression>

#include <functional>

namespace {

struct Output
{
    QString option; // "--pdf"
    QString path;
};

int exportFile(const QStringList &arguments)
{
    QString file;
    QList<Output> outputs;
    QSize chartSize = ReportExport::DefaultChartSize;
    QPageSize::PageSizeId pageSize = ReportExport::defaultPageSize();
    const QStringList kinds{"--pdf", "--png", "--svg", "--csv"};
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (kinds.contains(argument) && hasValue) {
            outputs.append({argument, arguments[++i]});
        } else if (argument == QLatin1String("--size") && hasValue) {
            const auto match = QRegularExpression(QStringLiteral("^(\\d{2,5})x(\\d{2,5})$")).match(arguments[++i]);
            if (!match.hasMatch()) {
                Console::err(QStringLiteral("vantrel export: --size takes WIDTHxHEIGHT in pixels, as 1200x600\n"));
                return ExitStatus::Usage;
            }
            chartSize = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        } else if (argument == QLatin1String("--page") && hasValue) {
            const QString page = arguments[++i].toLower();
            if (page != QLatin1String("a4") && page != QLatin1String("letter")) {
                Console::err(QStringLiteral("vantrel export: --page takes a4 or letter\n"));
                return ExitStatus::Usage;
            }
            pageSize = page == QLatin1String("a4") ? QPageSize::A4 : QPageSize::Letter;
        } else if (!argument.startsWith(QLatin1Char('-')) && file.isEmpty()) {
            file = argument;
        } else {
            Console::err(QStringLiteral("vantrel export: \"%1\" is not understood (vantrel help export)\n").arg(argument));
            return ExitStatus::Usage;
        }
    }
    if (file.isEmpty() || outputs.isEmpty()) {
        Console::err(QStringLiteral("vantrel export: give a program file and at least one output (vantrel help export)\n"));
        return ExitStatus::Usage;
    }

    QString error;
    bool cannotRead = false;
    const std::optional<ProgramReport> report = loadReport(file, &error, &cannotRead);
    if (!report) {
        if (cannotRead) {
            Console::err(QStringLiteral("%1: cannot be read: %2\n").arg(file, error));
            return ExitStatus::Unreadable;
        }
        Console::out(QStringLiteral("%1: %2\n").arg(file, error));
        return ExitStatus::Problem;
    }

    const std::function<QByteArray()> make[] = {
        [&] { return ReportExport::pdf(*report, pageSize); },
        [&] { return ReportExport::png(report->profile, chartSize); },
        [&] { return ReportExport::svg(report->profile, chartSize); },
        [&] { return ReportExport::csv(report->profile); },
    };
    int status = ExitStatus::Ok;
    for (const Output &output : outputs) {
        QString reason;
        if (!ReportExport::write(output.path, make[kinds.indexOf(output.option)](), &reason)) {
            Console::err(QStringLiteral("%1: cannot be written: %2\n").arg(output.path, reason));
            status = ExitStatus::Unwritable;
            continue;
        }
        Console::out(QStringLiteral("%1: written\n").arg(output.path));
    }
    return status;
}

const bool registered = Commands::add({
    QStringLiteral("export"),
    QStringLiteral("write a program's sheet (PDF), chart (PNG, SVG) or profile points (CSV)"),
    QStringLiteral("Usage: vantrel export FILE [--pdf OUT] [--png OUT] [--svg OUT] [--csv OUT]\n"
                   "                      [--size WIDTHxHEIGHT] [--page a4|letter]\n\n"
                   "Writes what the editor's File, Export writes, without a window:\n"
                   "  --pdf OUT    the one-page program sheet\n"
                   "  --png OUT    the chart as a picture (--size, default 1200x600 pixels)\n"
                   "  --svg OUT    the chart as a vector drawing (--size as for PNG)\n"
                   "  --csv OUT    the 33 profile points: time in minutes, temperature in deg C\n"
                   "  --page       the sheet's paper, a4 or letter (default: the locale's)\n"
                   "Each file is complete or not written at all. Exits 0, 1 when a cell of the\n"
                   "program is not a number, 2 when the file cannot be read, 11 when an output\n"
                   "cannot be written.\n"),
    exportFile,
    true,
});

} // namespace
