#include "app/WindowSettings.h"

WindowSettings::WindowSettings(const QString &path) : m_path(path.isEmpty() ? SettingsFile::defaultPath() : path) {}

AppSettings WindowSettings::read() const { return SettingsFile::read(m_path); }

bool WindowSettings::write(const AppSettings &settings, QString *error) const
{
    return SettingsFile::write(m_path, settings, error);
}
