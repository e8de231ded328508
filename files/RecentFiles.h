#pragma once

#include <QString>
#include <QStringList>

class IniDocument;

// The program files opened or saved last, newest first, as the File menu's
// "Recent files" lists them. Kept in the settings file under a section of its
// own, one key a file (File1 is the newest).
class RecentFiles
{
public:
    static constexpr int MaximumCount = 8;
    static const QString Section; // "RecentFiles"

    const QStringList &paths() const { return m_paths; }

    // Puts the file first; a file already listed moves up instead of
    // appearing twice, and the oldest falls off past MaximumCount.
    void add(const QString &path);
    void remove(const QString &path);

    // The menu text of each entry: a number as its shortcut key, then the
    // file name, followed by the folder when another entry has the same name.
    QStringList menuTexts() const;

    static RecentFiles fromIni(const IniDocument &ini);
    void toIni(IniDocument &ini) const;

private:
    QStringList m_paths;
};
