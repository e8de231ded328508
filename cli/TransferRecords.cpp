#include "cli/TransferRecords.h"

#include "cli/Console.h"

namespace TransferRecords {

QList<TransferRecord> read()
{
    const TransferLog::Contents contents = TransferLog().read();
    for (const QString &warning : contents.warnings)
        Console::err(QStringLiteral("vantrel: transfer log: %1\n").arg(warning));
    return contents.records;
}

bool isReference(const QString &text)
{
    return text.startsWith(QLatin1Char('@'));
}

std::optional<qsizetype> find(const QString &reference, const QList<TransferRecord> &records)
{
    if (reference == QLatin1String("@last"))
        return records.isEmpty() ? std::nullopt : std::optional<qsizetype>(records.size() - 1);
    bool ok = false;
    const qsizetype number = reference.mid(1).toLongLong(&ok);
    if (!isReference(reference) || !ok || number < 1 || number > records.size())
        return std::nullopt;
    return number - 1;
}

QString line(qsizetype index, const TransferRecord &r)
{
    return QStringLiteral("@%1  %2  %3  unit %4  program %5  %6  %7/%8 segments  %9")
        .arg(index + 1)
        .arg(r.time.toString(Qt::ISODateWithMs), r.portName)
        .arg(r.unit)
        .arg(r.program.programNo)
        .arg(r.endingKind)
        .arg(r.segmentsAcknowledged)
        .arg(r.program.segments.size())
        .arg(r.filePath.isEmpty() ? TransferRecord::NotSaved : r.filePath);
}

} // namespace TransferRecords
