#pragma once

#include <QString>
#include <functional>

class QAction;
class QMenuBar;
class QWidget;

// View: "End times" shows or hides the strip of segment times under the
// grid. The choice is kept in the settings file in a section of its own,
// "View" (key EndTimes: 0 hidden, 1 shown; shown when missing or not a
// whole number), written when it changes.
namespace ViewMenu {

extern const QString Section;     // "View"
extern const QString EndTimesKey; // "EndTimes"

// The menu goes before `before` (a menu's action) on the bar; a settings file
// that cannot be written is told through `hint`, the strip stays as chosen.
QAction *add(QMenuBar *bar, QAction *before, QWidget *strip, const QString &settingsPath,
             const std::function<void(const QString &)> &hint);

} // namespace ViewMenu
