#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where a person finds what the programs keep: the manual, the settings file,
// the ports folder and the transfer record. The editor's Help menu and
// `vantrel --help` name the same places.
struct UserPlaces
{
    // The manual's file name under a data folder: <data>/vantrel-assistant/manual.md.
    static const QString ManualName;

    QString manual;             // the manual; empty when none was found
    QStringList manualSearched; // where it was looked for
    QString settingsFile;       // VantrelAssistant.ini
    QString portsFolder;        // the COMn links
    QString transferRecord;     // transfers.jsonl

    // The places for a program in `programDir`; the manual is looked for
    // where manualCandidates() says.
    static UserPlaces find(const QString &programDir, const QString &settingsFile, const QString &portsFolder,
                           const QString &transferRecord);

    // Where the manual may be, first found first used: beside the program in
    // the build tree or an installed prefix (<programDir>/../share/...), then
    // each of the desktop's data folders (XDG_DATA_DIRS).
    static QStringList manualCandidates(const QString &programDir, const QStringList &dataFolders);

    struct Place
    {
        QString title; // "Settings file"
        QString path;
        QString folder; // the folder a file manager opens for it
    };
    // The settings file, the ports folder and the transfer record, in that order.
    QList<Place> files() const;

    // The places as lines "  Title: path", the manual first ("not installed"
    // when it was not found).
    QString text() const;
};
