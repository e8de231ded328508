#include "comm/link/TransferRecording.h"

#include "model/ProgramComparison.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSysInfo>
#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace TransferRecording {

using Kind = ProgramDownload::Ending::Kind;

namespace {
QString userName()
{
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}
} // namespace

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Completed:
        return QStringLiteral("completed");
    case Kind::NotSent:
        return QStringLiteral("not sent");
    case Kind::PortUnavailable:
        return QStringLiteral("port unavailable");
    case Kind::NoAnswer:
        return QStringLiteral("no answer");
    case Kind::StatusRefused:
        return QStringLiteral("status refused");
    case Kind::Running:
        return QStringLiteral("running");
    case Kind::Declined:
        return QStringLiteral("declined");
    case Kind::CommandRefused:
        return QStringLiteral("command refused");
    case Kind::Stopped:
        return QStringLiteral("stopped");
    case Kind::PortFailure:
        return QStringLiteral("port failure");
    }
    return QStringLiteral("unknown");
}

QString fileDigest(const Source &source)
{
    if (source.filePath.isEmpty() || !source.unchangedSinceSaved)
        return TransferRecord::NotSaved;
    QFile file(source.filePath);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return TransferRecord::NotSaved;
    return QString::fromLatin1(hash.result().toHex());
}

TransferRecord build(const QDateTime &time, const QString &portName, const QString &devicePath, int unit,
                     const Source &source, const SentProgram &program, const ProgramDownload::Ending &ending,
                     int segmentsAcknowledged, bool incomplete)
{
    TransferRecord r;
    r.time = time.toUTC();
    r.user = userName();
    r.host = QSysInfo::machineHostName();
    r.portName = portName;
    r.devicePath = devicePath;
    r.unit = unit;
    r.filePath = source.filePath;
    r.fileSha256 = fileDigest(source);
    r.endingKind = kindName(ending.kind);
    r.endingText = ending.text;
    r.segmentsAcknowledged = segmentsAcknowledged;
    r.incomplete = incomplete;
    r.program = program;
    return r;
}

std::optional<TransferRecord> lastCompleted(const QList<TransferRecord> &records, const QString &portName, int unit,
                                            int programNo)
{
    for (auto it = records.crbegin(); it != records.crend(); ++it)
        if (it->completed() && it->portName == portName && it->unit == unit && it->program.programNo == programNo)
            return *it;
    return std::nullopt;
}

QString displayTime(const QDateTime &time) { return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm t")); }

QString fileText(const TransferRecord &record)
{
    if (record.filePath.isEmpty())
        return TransferRecord::NotSaved;
    if (record.fileSha256 == TransferRecord::NotSaved)
        return record.filePath + QStringLiteral(", changed since saved");
    return record.filePath;
}

QString endingText(const TransferRecord &record)
{
    if (!record.incomplete)
        return record.endingKind;
    return QStringLiteral("%1, incomplete: %2/%3 segments")
        .arg(record.endingKind)
        .arg(record.segmentsAcknowledged)
        .arg(record.program.segments.size());
}

QString comparisonBeforeQuestion(const std::optional<TransferRecord> &last, const SentProgram &now)
{
    if (!last)
        return {};
    const QString when = displayTime(last->time);
    const QList<ProgramComparison::Difference> differences = ProgramComparison::compare(last->program, now);
    if (differences.isEmpty())
        return QStringLiteral("Same as sent on %1.").arg(when);
    constexpr int Listed = 6;
    QStringList listed;
    for (const ProgramComparison::Difference &d : differences.mid(0, Listed))
        listed << (d.segment >= 0 ? QStringLiteral("segment %1 ").arg(d.segment) : QString())
                + QStringLiteral("%1 %2 -> %3").arg(d.field, d.recorded, d.now);
    QString text = QStringLiteral("Differs from what was sent on %1: %2").arg(when, listed.join(QStringLiteral(", ")));
    if (differences.size() > Listed)
        text += QStringLiteral(" and %1 more").arg(differences.size() - Listed);
    return text + QLatin1Char('.');
}

std::optional<TransferRecord> incompleteSince(const QList<TransferRecord> &records, const QString &portName, int unit,
                                              int programNo)
{
    for (auto it = records.crbegin(); it != records.crend(); ++it) {
        if (it->portName != portName || it->unit != unit || it->program.programNo != programNo)
            continue;
        if (it->completed())
            return std::nullopt;
        if (it->incomplete)
            return *it;
    }
    return std::nullopt;
}

QStringList incompleteNotes(const QList<TransferRecord> &records, const QString &portName, int unit)
{
    QStringList notes;
    for (int programNo = 0; programNo <= 7; ++programNo)
        if (const auto r = incompleteSince(records, portName, unit, programNo))
            notes << incompleteNote(*r);
    return notes;
}

QString incompleteNote(const TransferRecord &r)
{
    return QStringLiteral("Program %1 on %2 (unit %3) may be incomplete: the send of %4 ended %5 after %6 of "
                          "%7 segments. Send it again before running it.")
        .arg(r.program.programNo)
        .arg(r.portName)
        .arg(r.unit)
        .arg(displayTime(r.time), r.endingKind)
        .arg(r.segmentsAcknowledged)
        .arg(r.program.segments.size());
}

QString noteBeforeSend(const std::optional<TransferRecord> &last, const SentProgram &now)
{
    if (!last)
        return {};
    const QList<ProgramComparison::Difference> differences = ProgramComparison::compare(last->program, now);
    const QString when = displayTime(last->time);
    if (differences.isEmpty())
        return QStringLiteral("same as sent on %1").arg(when);
    const int changed = ProgramComparison::changedSegments(differences);
    QString note = QStringLiteral("differs from what was last sent here on %1: %2 segment%3 changed")
                       .arg(when)
                       .arg(changed)
                       .arg(changed == 1 ? QString() : QStringLiteral("s"));
    if (std::any_of(differences.cbegin(), differences.cend(),
                    [](const auto &d) { return d.segment == ProgramComparison::InitialTemperature; }))
        note += QStringLiteral(", initial temp. changed");
    return note;
}

QString lastSentText(const TransferRecord &record)
{
    return QStringLiteral("Sent to %1, unit %2, program %3: %4, %5")
        .arg(record.portName)
        .arg(record.unit)
        .arg(record.program.programNo)
        .arg(displayTime(record.time), endingText(record));
}

} // namespace TransferRecording
