#pragma once

#include "files/RecentFiles.h"

#include <QObject>
#include <functional>

class Prompts;
class QMenu;

// File, "Recent files": the last files opened or saved, newest first. The
// list is read from the settings file at start and written back whenever it
// changes, so a second window or a crash does not lose it.
class RecentFilesMenu : public QObject
{
    Q_OBJECT
public:
    // `open` loads a file that still exists, as Open does.
    RecentFilesMenu(QMenu *menu, const QString &settingsPath, Prompts &prompts,
                    std::function<void(const QString &)> open, QObject *parent);

    QMenu *menu() const { return m_menu; }
    const RecentFiles &files() const { return m_files; }

    // A file was opened or saved: it goes to the top.
    void fileUsed(const QString &path);
    // Opens entry `index`; a file that has gone is taken off the list and
    // the person told so.
    void pick(int index);
    // Writes the list into the settings file; returns false and sets *error
    // when the file cannot be written.
    bool save(QString *error) const;
    // Enables or disables every entry (during a transfer nothing may open).
    void setEnabled(bool enabled);

private:
    void rebuild();

    QMenu *m_menu;
    QString m_settingsPath;
    Prompts &m_prompts;
    std::function<void(const QString &)> m_open;
    RecentFiles m_files;
    bool m_enabled = true;
};
