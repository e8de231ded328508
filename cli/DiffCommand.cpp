// vantrel diff A B: two programs, each a file or a transfer record, compared.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/ProgramFile.h"
#include "cli/TransferRecords.h"
#include "model/ProgramComparison.h"

namespace {

struct Loaded
{
    std::optional<SentProgram> program;
    QString name;
};

Loaded load(const QString &argument, const std::optional<QList<TransferRecord>> &records)
{
    if (TransferRecords::isReference(argument)) {
        const auto index = TransferRecords::find(argument, *records);
        if (!index) {
            Console::err(
                QStringLiteral("%1: no such record in the transfer log (vantrel log lists them)\n").arg(argument));
            return {};
        }
        const TransferRecord &r = records->at(*index);
        return {r.program,
                QStringLiteral("@%1 (%2, %3, unit %4, %5)")
                    .arg(*index + 1)
                    .arg(r.time.toString(Qt::ISODateWithMs), r.portName)
                    .arg(r.unit)
                    .arg(r.endingKind)};
    }
    const ProgramFile file = ProgramFile::load(argument);
    if (!file.readable) {
        Console::err(QStringLiteral("%1: cannot be read: %2\n").arg(file.path, file.reason));
        return {};
    }
    return {SentProgram::fromTable(file.programNo, file.initialTempText, file.table), file.path};
}

int diff(const QStringList &arguments)
{
    if (arguments.size() != 2 || arguments.contains(QStringLiteral("--help"))) {
        Console::err(QStringLiteral("vantrel diff: give two programs (vantrel help diff)\n"));
        return ExitStatus::Usage;
    }
    std::optional<QList<TransferRecord>> records;
    if (TransferRecords::isReference(arguments[0]) || TransferRecords::isReference(arguments[1]))
        records = TransferRecords::read();
    const Loaded a = load(arguments[0], records);
    const Loaded b = load(arguments[1], records);
    if (!a.program || !b.program)
        return ExitStatus::Unreadable;

    const QList<ProgramComparison::Difference> differences = ProgramComparison::compare(*a.program, *b.program);
    QString text = QStringLiteral("A: %1\nB: %2\n").arg(a.name, b.name);
    for (const ProgramComparison::Difference &d : differences) {
        const QString where = d.segment >= 0 ? QStringLiteral("Segment %1 %2").arg(d.segment).arg(d.field) : d.field;
        text += QStringLiteral("%1: %2 (A), %3 (B)\n").arg(where, d.recorded, d.now);
    }
    const int changed = ProgramComparison::changedSegments(differences);
    text += differences.isEmpty() ? QStringLiteral("The programs are the same.\n")
                                  : (changed == 1 ? QStringLiteral("1 segment differs.\n")
                                                  : QStringLiteral("%1 segments differ.\n").arg(changed));
    Console::out(text);
    return differences.isEmpty() ? ExitStatus::Ok : ExitStatus::Problem;
}

const bool diffRegistered = Commands::add({
    QStringLiteral("diff"),
    QStringLiteral("compare two programs, each a file or a record of the transfer log"),
    QStringLiteral("Usage: vantrel diff A B\n\n"
                   "A and B are each a program file or a record of the transfer log: @last\n"
                   "(the newest) or @N (as vantrel log numbers them). Prints every field that\n"
                   "differs: the program number, the initial temperature, and each segment's\n"
                   "mode, temperature, rate and time as a download sends them; numbers are\n"
                   "compared by value. Exits 0 when the programs are the same, 1 when they\n"
                   "differ, 2 when one cannot be read.\n"),
    diff,
});

} // namespace
