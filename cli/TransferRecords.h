#pragma once

#include "files/TransferLog.h"

#include <QString>
#include <optional>

// The transfer log as the tool shows it: records numbered from 1 in the
// order they were appended, so that a number keeps naming the same record as
// the log grows. Lines the log skips are reported on standard error.
namespace TransferRecords {

QList<TransferRecord> read();
// "@last" (the newest record) or "@N"; the index into the records, or
// nothing when there is no such record.
std::optional<qsizetype> find(const QString &reference, const QList<TransferRecord> &records);
bool isReference(const QString &text);
enum class Clock { Local, Utc };
// One line of `vantrel log`: number, time (local with its offset, or UTC),
// port, unit, program, ending ("stopped, incomplete" for a program left half
// written), segments acknowledged, file (", changed since saved" after it
// when unsaved edits were sent).
QString line(qsizetype index, const TransferRecord &record, Clock clock = Clock::Local);

} // namespace TransferRecords
