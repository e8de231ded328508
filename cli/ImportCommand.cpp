// vantrel import TABLE --out PROGRAM.tpd: a segments table, as File, Export,
// "Segments as CSV..." writes it or a spreadsheet saves it, made into a
// program file.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "files/RegularFile.h"
#include "files/TpdFormat.h"
#include "model/CellRules.h"
#include "model/LabTerms.h"
#include "model/Numbers.h"
#include "model/SegmentTable.h"

#include <optional>

namespace {

struct Options
{
    QString table;
    QString out;
    int programNo = 0;
    QString initialTempText = QStringLiteral("0.00"); // as a fresh editor saves it
};

// The options, or the usage message.
std::optional<Options> parse(const QStringList &arguments, QString *problem)
{
    Options options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--out") && hasValue) {
            options.out = arguments[++i];
        } else if (argument == QLatin1String("--program") && hasValue) {
            const std::optional<int> number = parseInteger(arguments[++i]);
            if (!number || *number < 0 || *number > TpdFormat::MaximumProgramNo) {
                *problem =
                    QStringLiteral("--program takes a program number from 0 to %1").arg(TpdFormat::MaximumProgramNo);
                return std::nullopt;
            }
            options.programNo = *number;
        } else if (argument == QLatin1String("--initial-temp") && hasValue) {
            const CellRules::InitialTempCheck check = CellRules::checkInitialTemp(arguments[++i]);
            if (!check.isNumber || !check.inRange) {
                *problem = QStringLiteral("--initial-temp takes a temperature in deg C within %1")
                               .arg(CellRules::rangeText(TemperatureProgram::TempRow));
                return std::nullopt;
            }
            options.initialTempText = check.text;
        } else if (!argument.startsWith(QLatin1Char('-')) && options.table.isEmpty()) {
            options.table = argument;
        } else {
            *problem = QStringLiteral("\"%1\" is not understood (vantrel help import)").arg(argument);
            return std::nullopt;
        }
    }
    if (options.table.isEmpty() || options.out.isEmpty()) {
        *problem = QStringLiteral("give a table and --out PROGRAM.tpd (vantrel help import)");
        return std::nullopt;
    }
    if (RegularFile::sameFile(options.table, options.out)) {
        *problem = QStringLiteral("%1 is the table itself; the import would replace it").arg(options.out);
        return std::nullopt;
    }
    return options;
}

int importTable(const QStringList &arguments)
{
    QString problem;
    const std::optional<Options> options = parse(arguments, &problem);
    if (!options) {
        Console::err(QStringLiteral("vantrel import: %1\n").arg(problem));
        return ExitStatus::Usage;
    }
    QString reason;
    const std::optional<QByteArray> bytes = RegularFile::read(options->table, SegmentTable::MaximumTextSize, &reason);
    if (!bytes) {
        Console::err(QStringLiteral("%1: cannot be read: %2\n").arg(options->table, reason));
        return ExitStatus::Unreadable;
    }
    const SegmentTable::ReadResult read = SegmentTable::read(SegmentTable::fromFileBytes(*bytes));
    const LabTerms::Resolved resolved = read.error.isEmpty()
        ? LabTerms::resolveDurations(read, toDouble(options->initialTempText))
        : LabTerms::Resolved{{}, {}, read.error};
    for (const QString &note : resolved.notes)
        Console::err(note + u'\n');
    TemperatureProgram table;
    const QString refusal =
        resolved.error.isEmpty() ? SegmentTable::fitRefusal(table, 1, int(resolved.segments.size())) : resolved.error;
    if (!refusal.isEmpty()) {
        Console::err(QStringLiteral("%1: %2\n").arg(options->table, refusal));
        return ExitStatus::Problem;
    }
    SegmentTable::insert(table, 1, resolved.segments);
    // As the editor's Save writes it.
    table.normaliseForSave();
    TpdProgram program;
    program.programNo = options->programNo;
    program.initialTempText = options->initialTempText;
    for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row)
        program.rows << table.rowCells(row);
    QString error;
    const QByteArray file = TpdFormat::write(program, &error);
    if (file.isEmpty() || !TpdFormat::saveToFile(options->out, file, &error)) {
        Console::err(QStringLiteral("%1: cannot be written: %2\n").arg(options->out, error));
        return ExitStatus::Unwritable;
    }
    Console::out(QStringLiteral("%1: written (%2 segments)\n").arg(options->out).arg(resolved.segments.size()));
    return ExitStatus::Ok;
}

const bool importRegistered = Commands::add({
    QStringLiteral("import"),
    QStringLiteral("make a program file from a table of segments (CSV or tab-separated text)"),
    QStringLiteral("Usage: vantrel import TABLE --out PROGRAM.tpd [--program N] [--initial-temp T]\n\n"
                   "Reads a table of segments, one line each, as vantrel export --segments-csv\n"
                   "and the editor's File, Export write it or a spreadsheet saves it: fields\n"
                   "separated by commas or tabs, a header line naming the columns Mode,\n"
                   "Temp.(deg C), Rate(deg C/min) and Time(min.sec) in any order (without one,\n"
                   "in that order), the modes Ramp and Hold, UTF-8 text. Every value is checked\n"
                   "as the editor's grid checks it. A column Duration (h:mm:ss, or minutes)\n"
                   "may give a Ramp whose Rate is blank or a Hold whose Time is blank: the\n"
                   "ramp gets the nearest rate (or two ramps, when that comes nearer), a hold\n"
                   "over 99.59 several holds; each segment so adjusted is told on standard\n"
                   "error. Writes a new program with those segments\n"
                   "from segment 0 on, as the editor saves it:\n"
                   "  --program N       the program number, 0 to 7 (default 0)\n"
                   "  --initial-temp T  the initial temperature, 0 to 300.0 deg C (default 0)\n"
                   "A table carries no comment. Exits 0, 1 when a value is refused (the line,\n"
                   "column and reason go to standard error) or more than 32 segments are given,\n"
                   "2 when the table cannot be read, 11 when the program file cannot be\n"
                   "written, 64 when the command line is wrong.\n"),
    importTable,
});

} // namespace
