#include "files/UserPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

const QString UserPlaces::ManualName = QStringLiteral("vantrel-assistant/manual.md");

QStringList UserPlaces::manualCandidates(const QString &programDir, const QStringList &dataFolders)
{
    QStringList candidates;
    if (!programDir.isEmpty())
        candidates << QDir::cleanPath(programDir + QStringLiteral("/../share/") + ManualName);
    for (const QString &folder : dataFolders) {
        const QString path = QDir::cleanPath(folder + u'/' + ManualName);
        if (!folder.isEmpty() && !candidates.contains(path))
            candidates << path;
    }
    return candidates;
}

UserPlaces UserPlaces::find(const QString &programDir, const QString &settingsFile, const QString &portsFolder,
                            const QString &transferRecord)
{
    UserPlaces places;
    const QStringList data = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    places.manualSearched = manualCandidates(programDir, data);
    for (const QString &candidate : places.manualSearched) {
        if (QFileInfo(candidate).isFile()) {
            places.manual = candidate;
            break;
        }
    }
    places.settingsFile = settingsFile;
    places.portsFolder = portsFolder;
    places.transferRecord = transferRecord;
    return places;
}

QList<UserPlaces::Place> UserPlaces::files() const
{
    return {
        {QStringLiteral("Settings file"), settingsFile, QFileInfo(settingsFile).path()},
        {QStringLiteral("Ports folder"), portsFolder, portsFolder},
        {QStringLiteral("Transfer record"), transferRecord, QFileInfo(transferRecord).path()},
    };
}

QString UserPlaces::text() const
{
    QString lines = QStringLiteral("  Manual: %1\n").arg(manual.isEmpty() ? QStringLiteral("not installed") : manual);
    for (const Place &place : files())
        lines += QStringLiteral("  %1: %2\n").arg(place.title, place.path);
    return lines;
}
