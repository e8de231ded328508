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
// One line of `vantrel log`: number, UTC time, port, unit, program, ending,
// segments acknowledged, file.
QString line(qsizetype index, const TransferRecord &record);

} // namespace TransferRecords
