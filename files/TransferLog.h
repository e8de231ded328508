#pragma once

#include "files/TransferRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// The record of every download: JSON Lines, one record a line, in
// "transfers.jsonl" of one folder, and the years before in
// "transfers-YYYY.jsonl". Records are only ever appended; nothing here
// changes or removes one.
class TransferLog
{
public:
    // The folder both the editor and the command-line tool use. Their
    // application names differ, so the per-application data folder would
    // give each a log of its own; the path is fixed here instead:
    // <XDG_DATA_HOME or ~/.local/share>/Orrisan/VantrelAssistant.
    static QString defaultFolder();

    explicit TransferLog(const QString &folder = defaultFolder());

    QString folder() const { return m_folder; }
    QString currentPath() const;

    // Appends the record as one line: opened with O_APPEND, one write() of
    // the whole line, fsync. A crash leaves every earlier record whole and
    // at most this one torn. When the newest record of the current file is
    // from an earlier UTC year, that file is first renamed to its year's
    // name. False with *reason set when the record could not be written.
    bool append(const TransferRecord &record, QString *reason) const;

    struct Contents
    {
        QList<TransferRecord> records; // in the order appended
        QStringList warnings;          // lines skipped, files not read
    };
    // Every record of the yearly files and the current one. A line that is
    // not a whole record (the torn end of a write cut short) is skipped with
    // a warning naming the file and line.
    Contents read() const;

    // One line's bytes, newline included.
    static QByteArray line(const TransferRecord &record);

private:
    bool rotateIfNewYear(int year, QString *reason) const;

    QString m_folder;
};
