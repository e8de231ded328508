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
                     int segmentsAcknowledged, bool incomplete);

// The newest completed record for that port, unit and program number.
std::optional<TransferRecord> lastCompleted(const QList<TransferRecord> &records, const QString &portName, int unit,
                                            int programNo);

// Beside the question before a Send: "same as sent on <time>" or "differs
// from what was last sent here on <time>: N segments changed"; empty
// without a completed record to compare with.
QString noteBeforeSend(const std::optional<TransferRecord> &last, const SentProgram &now);

// Before the question of a Send, in its box: "Differs from what was sent on
// <time>: segment 2 Temp. 60.0 -> 70.0, ..." or "Same as sent on <time>.";
// empty without a completed record to compare with.
QString comparisonBeforeQuestion(const std::optional<TransferRecord> &last, const SentProgram &now);

// The newest record for that port, unit and program number that left the
// program half written, unless a completed send followed it.
std::optional<TransferRecord> incompleteSince(const QList<TransferRecord> &records, const QString &portName, int unit,
                                              int programNo);
// "Program 3 on COM5 (unit 1) may be incomplete: the send of 2026-12-07
// 22:07 CET ended stopped after 2 of 6 segments. Send it again before
// running it."
QString incompleteNote(const TransferRecord &record);
// The note of each program of that port and unit left half written; empty
// when there is none.
QStringList incompleteNotes(const QList<TransferRecord> &records, const QString &portName, int unit);

// "Sent to COM5, unit 1, program 3: 2026-12-07 14:03 CET, completed"
QString lastSentText(const TransferRecord &record);
// A record's time as people read it: local time to the minute, with its zone.
QString displayTime(const QDateTime &time);
// The file a record's program came from: "anneal2.tpd", "anneal2.tpd,
// changed since saved" (unsaved edits were sent), or "not saved".
QString fileText(const TransferRecord &record);
// The ending, and for a half-written program how far it got:
// "stopped, incomplete: 2/6 segments".
QString endingText(const TransferRecord &record);

} // namespace TransferRecording
