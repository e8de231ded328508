#include "cli/TransferRecords.h"

#include "cli/Console.h"
#include "comm/link/TransferRecording.h"

namespace TransferRecords {

QList<TransferRecord> read()
{
    const TransferLog::Contents contents = TransferLog().read();
    for (const QString &warning : contents.warnings)
        Console::err(QStringLiteral("vantrel: transfer log: %1\n").arg(warning));
    return contents.records;
}

bool isReference(const QString &text) { return text.startsWith(QLatin1Char('@')); }

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

QString line(qsizetype index, const TransferRecord &r, Clock clock)
{
    // Local time with its offset from UTC, so that the zone is never a guess.
    const QDateTime time =
        clock == Clock::Utc ? r.time.toUTC() : r.time.toOffsetFromUtc(r.time.toLocalTime().offsetFromUtc());
    return QStringLiteral("@%1  %2  %3  unit %4  program %5  %6%7  %8/%9 segments  %10")
               .arg(index + 1)
               .arg(time.toString(Qt::ISODateWithMs), r.portName)
               .arg(r.unit)
               .arg(r.program.programNo)
               .arg(r.endingKind, r.incomplete ? QStringLiteral(", incomplete") : QString())
               .arg(r.segmentsAcknowledged)
               .arg(r.program.segments.size())
               .arg(TransferRecording::fileText(r))
        + (r.lineNote.isEmpty() ? QString() : QStringLiteral("\n    note: %1").arg(r.lineNote));
}

} // namespace TransferRecords
