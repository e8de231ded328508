#include "app/ViewMenu.h"

#include "files/IniDocument.h"
#include "files/IntegerText.h"
#include "files/SettingsFile.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ViewMenu {

const QString Section = QStringLiteral("View");
const QString EndTimesKey = QStringLiteral("EndTimes");

QAction *add(QMenuBar *bar, QAction *before, QWidget *strip, const QString &settingsPath,
             const std::function<void(const QString &)> &hint)
{
    auto *menu = new QMenu(QStringLiteral("View"), bar);
    menu->setObjectName(QStringLiteral("ViewMenu"));
    bar->insertMenu(before, menu);
    QAction *endTimes = menu->addAction(QStringLiteral("End times"));
    endTimes->setObjectName(QStringLiteral("EndTimes1"));
    endTimes->setCheckable(true);
    const std::optional<QString> kept = SettingsFile::load(settingsPath).value(Section, EndTimesKey);
    const std::optional<int> shown = kept ? parseIntegerText(*kept) : std::nullopt;
    endTimes->setChecked(shown.value_or(1) != 0);
    strip->setVisible(endTimes->isChecked());
    QObject::connect(endTimes, &QAction::toggled, strip, [strip, settingsPath, hint](bool on) {
        strip->setVisible(on);
        QString error;
        const bool written = SettingsFile::update(
            settingsPath,
            [on](IniDocument &ini) {
                ini.setValue(Section, EndTimesKey, on ? QStringLiteral("1") : QStringLiteral("0"));
            },
            &error);
        if (!written)
            hint(QStringLiteral("The choice is not kept: the settings file cannot be written (%1).").arg(error));
    });
    return endTimes;
}

} // namespace ViewMenu
