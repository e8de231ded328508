#pragma once

#include "files/SettingsFile.h"

#include <QString>

// The window's place and size, the port, the program number and the folder
// of program files, read from the settings file when the window is made and
// written back when it closes.
class WindowSettings
{
public:
    // The user's own settings file when `path` is empty.
    explicit WindowSettings(const QString &path);

    const QString &path() const { return m_path; }
    AppSettings read() const;
    // False, with the reason in `error`, when the file cannot be written.
    bool write(const AppSettings &settings, QString *error) const;

private:
    QString m_path;
};
