#pragma once

#include "model/SentProgram.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>

// One download as the transfer log keeps it: when, by whom, where to, what
// program, and how it ended. A record is written once and never changed.
struct TransferRecord
{
    // The file field of a program that was not sent from a saved file.
    static const QString NotSaved; // "not saved"

    QDateTime time; // UTC, with milliseconds
    QString user;
    QString host;
    QString portName; // "COM3", or the device path for a port named by it
    QString devicePath;
    int unit = 1;
    QString filePath;   // empty when the program has no file
    QString fileSha256; // hex digest of the file's bytes, or NotSaved
    QString endingKind; // "completed", "no answer", ...
    QString endingText; // the message the ending showed, if any
    int segmentsAcknowledged = 0;
    // The controller accepted part of the program only: the download ended
    // after a write command was accepted and before the last segment was.
    // Read as true from an older record without the field that ended with
    // segments acknowledged but not completed.
    bool incomplete = false;
    // What slowed the line down (a USB adapter that kept its latency
    // timer); empty when nothing, and then left out of the JSON.
    QString lineNote;
    SentProgram program; // with its program number

    bool completed() const { return endingKind == QLatin1String("completed"); }

    QJsonObject toJson() const;
    // Nothing when a field is missing or of the wrong type, or the time is
    // one that could not be written back.
    static std::optional<TransferRecord> fromJson(const QJsonObject &object);

    // Whether the time is written as a text that reads back as that time:
    // false for an invalid time and for a UTC year outside 1 to 9999.
    static bool readsBack(const QDateTime &time);

    bool operator==(const TransferRecord &) const = default;
};

// Which records a list shows: those of a port (by name or device path), a
// unit and a program number; an empty or unset part matches every record.
struct TransferFilter
{
    QString port;
    std::optional<int> unit;
    std::optional<int> programNo;

    bool matches(const TransferRecord &r) const
    {
        return (port.isEmpty() || r.portName == port || r.devicePath == port) && (!unit || r.unit == *unit)
            && (!programNo || r.program.programNo == *programNo);
    }
};
