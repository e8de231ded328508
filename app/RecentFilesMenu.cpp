#include "app/RecentFilesMenu.h"

#include "files/IniDocument.h"
#include "files/SettingsFile.h"
#include "model/Prompts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

RecentFilesMenu::RecentFilesMenu(QMenu *menu, const QString &settingsPath, Prompts &prompts,
                                 std::function<void(const QString &)> open, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
    , m_settingsPath(settingsPath)
    , m_prompts(prompts)
    , m_open(std::move(open))
    , m_files(RecentFiles::fromIni(SettingsFile::load(settingsPath)))
{
    rebuild();
}

void RecentFilesMenu::fileUsed(const QString &path)
{
    m_files.add(path);
    rebuild();
    // A list that cannot be written now is written again when the window
    // closes, where a failure is reported with the other settings.
    save(nullptr);
}

void RecentFilesMenu::pick(int index)
{
    if (index < 0 || index >= m_files.paths().size())
        return;
    const QString path = m_files.paths().at(index);
    if (!QFileInfo(path).isFile()) {
        m_files.remove(path);
        rebuild();
        save(nullptr);
        m_prompts.message(QStringLiteral("The file %1 no longer exists.\nIt has been removed from the recent files.")
                              .arg(QDir::toNativeSeparators(path)));
        return;
    }
    m_open(path);
}

bool RecentFilesMenu::save(QString *error) const
{
    return SettingsFile::update(
        m_settingsPath, [this](IniDocument &ini) { m_files.toIni(ini); }, error);
}

void RecentFilesMenu::setEnabled(bool enabled)
{
    m_enabled = enabled;
    rebuild();
}

void RecentFilesMenu::rebuild()
{
    m_menu->clear();
    const QStringList texts = m_files.menuTexts();
    for (int i = 0; i < texts.size(); ++i) {
        QAction *action = m_menu->addAction(texts[i]);
        action->setToolTip(QDir::toNativeSeparators(m_files.paths().at(i)));
        action->setEnabled(m_enabled);
        connect(action, &QAction::triggered, this, [this, i] { pick(i); });
    }
    if (texts.isEmpty())
        m_menu->addAction(QStringLiteral("(none)"))->setEnabled(false);
}
