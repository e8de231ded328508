#pragma once

#include "report/ExportCommands.h"

#include <QObject>
#include <functional>

class Prompts;
class QAction;
class QMenu;
class QWidget;

// The File menu's program sheet items: "Print...", "Print preview..." and
// the "Export" submenu. What they show comes from `report`; every command
// runs inside `guard`, which shows an error it raises.
class ReportMenu : public QObject
{
    Q_OBJECT
public:
    using Guard = std::function<void(const std::function<void()> &)>;
    ReportMenu(QMenu *fileMenu, QWidget *window, Prompts &prompts, std::function<ProgramReport()> report,
               std::function<void(const QString &)> status, Guard guard);

    // Off while a download runs.
    void setEnabled(bool enabled);

    void print();
    void printPreview();
    ExportCommands &exports() { return m_exports; }

private:
    QWidget *m_window;
    std::function<ProgramReport()> m_report;
    ExportCommands m_exports;
    QList<QAction *> m_actions;
};
