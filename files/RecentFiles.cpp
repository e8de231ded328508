#include "files/RecentFiles.h"

#include "files/IniDocument.h"
#include "files/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

const QString RecentFiles::Section = QStringLiteral("RecentFiles");

namespace {
QString keyOf(int index) { return QStringLiteral("File%1").arg(index + 1); }

// A file name shown as a menu text: "&" would otherwise mark a shortcut.
QString menuEscaped(QString text) { return text.replace(u'&', QStringLiteral("&&")); }
}

void RecentFiles::add(const QString &path)
{
    // A name that cannot be stored on one settings line is not listed at all,
    // so the menu never shows what the next run will not.
    if (path.isEmpty() || !SettingsFile::fitsOnOneLine(path))
        return;
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > MaximumCount)
        m_paths.removeLast();
}

void RecentFiles::remove(const QString &path) { m_paths.removeAll(path); }

QStringList RecentFiles::menuTexts() const
{
    QStringList names;
    for (const QString &path : m_paths)
        names << QFileInfo(path).fileName();
    QStringList texts;
    for (int i = 0; i < m_paths.size(); ++i) {
        QString text = QStringLiteral("&%1 ").arg(i + 1) + menuEscaped(names[i]);
        if (names.count(names[i]) > 1)
            text += QStringLiteral("  (") + menuEscaped(QDir::toNativeSeparators(QFileInfo(m_paths[i]).path())) + u')';
        texts << text;
    }
    return texts;
}

RecentFiles RecentFiles::fromIni(const IniDocument &ini)
{
    RecentFiles recent;
    for (int i = MaximumCount - 1; i >= 0; --i) {
        const auto value = ini.value(Section, keyOf(i));
        if (value && !value->isEmpty())
            recent.add(*value);
    }
    return recent;
}

void RecentFiles::toIni(IniDocument &ini) const
{
    // Every key is written, the unused ones empty, so an entry removed here
    // does not come back from the file.
    for (int i = 0; i < MaximumCount; ++i)
        ini.setValue(Section, keyOf(i), i < m_paths.size() ? m_paths[i] : QString());
}
