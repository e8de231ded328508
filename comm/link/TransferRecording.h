#pragma once

#include "comm/link/ProgramDownload.h"
#include "files/TransferRecord.h"

#include <QDateTime>
#include <QList>
#include <optional>

// How a download becomes a record of the transfer log, and what the log
// says about the program about to be sent. The download itself writes the
// record, so the editor and the command-line tool cannot write it apart.
namespace TransferRecording {

// Where the program came from: its file, and whether the program is that
// file's content (nothing changed since it was loaded or saved).
struct Source
{
    QString filePath;
    bool unchangedSinceSaved = false;
};

// The word of an ending in the record: "completed", "no answer", ...
QString kindName(ProgramDownload::Ending::Kind kind);

// The file's SHA-256 in hex, or "not saved" when the program is not a
// saved file's content (or the file cannot be read).
QString fileDigest(const Source &source);

TransferRecord build(const QDateTime &time, const QString &portName, const QString &devicePath, int unit,
                     const Source &source, const SentProgram &program, const ProgramDownload::Ending &ending,
                     int segmentsAcknowledged);

// The newest completed record for that port, unit and program number.
std::optional<TransferRecord> lastCompleted(const QList<TransferRecord> &records, const QString &portName,
                                            int unit, int programNo);

// Beside the question before a Send: "same as sent on <time>" or "differs
// from what was last sent here on <time>: N segments changed"; empty
// without a completed record to compare with.
QString noteBeforeSend(const std::optional<TransferRecord> &last, const SentProgram &now);

// "Last sent to unit 1, program 3: 2026-12-07 14:03, completed"
QString lastSentText(const TransferRecord &record);
// A record's time as people read it: local time to the minute.
QString displayTime(const QDateTime &time);

} // namespace TransferRecording
