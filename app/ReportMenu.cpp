#include "app/ReportMenu.h"

#include "report/ProgramSheet.h"
#include "report/ReportExport.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
void setUpPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(ReportExport::defaultPageSize()));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setDocName(QStringLiteral("Temperature program"));
}

void paintSheet(QPrinter &printer, const ProgramReport &report)
{
    QPainter painter(&printer);
    ProgramSheet::paint(painter, QRectF(0, 0, printer.width(), printer.height()), report);
}
}

ReportMenu::ReportMenu(QMenu *fileMenu, QWidget *window, Prompts &prompts, std::function<ProgramReport()> report,
                       std::function<void(const QString &)> status, Guard guard)
    : QObject(window)
    , m_window(window)
    , m_report(report)
    , m_exports(prompts, report, std::move(status))
{
    auto add = [&](QMenu *menu, const QString &name, const QString &caption, std::function<void()> command) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [guard, command] { guard(command); });
        m_actions.append(action);
    };
    fileMenu->addSeparator()->setObjectName(QStringLiteral("ReportSeparator"));
    add(fileMenu, QStringLiteral("Print1"), QStringLiteral("Print..."), [this] { print(); });
    add(fileMenu, QStringLiteral("PrintPreview1"), QStringLiteral("Print preview..."), [this] { printPreview(); });
    QMenu *exportMenu = fileMenu->addMenu(QStringLiteral("Export"));
    exportMenu->setObjectName(QStringLiteral("Export1"));
    m_actions.append(exportMenu->menuAction());
    add(exportMenu, QStringLiteral("ExportPdf1"), QStringLiteral("Program sheet as PDF..."),
        [this] { m_exports.exportPdf(); });
    add(exportMenu, QStringLiteral("ExportPng1"), QStringLiteral("Chart as PNG..."), [this] { m_exports.exportPng(); });
    add(exportMenu, QStringLiteral("ExportSvg1"), QStringLiteral("Chart as SVG..."), [this] { m_exports.exportSvg(); });
    add(exportMenu, QStringLiteral("ExportCsv1"), QStringLiteral("Profile points as CSV..."),
        [this] { m_exports.exportCsv(); });
    add(exportMenu, QStringLiteral("ExportSegmentsCsv1"), QStringLiteral("Segments as CSV..."),
        [this] { m_exports.exportSegmentsCsv(); });
}

void ReportMenu::setEnabled(bool enabled)
{
    for (QAction *action : m_actions)
        action->setEnabled(enabled);
}

void ReportMenu::print()
{
    const ProgramReport report = m_report();
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintDialog dialog(&printer, m_window);
    if (dialog.exec() == QDialog::Accepted)
        paintSheet(printer, report);
}

void ReportMenu::printPreview()
{
    const ProgramReport report = m_report();
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintPreviewDialog dialog(&printer, m_window);
    dialog.setWindowTitle(QStringLiteral("Print preview"));
    // Room for a page that can be read.
    dialog.resize(m_window->size().expandedTo(QSize(800, 900)));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&report](QPrinter *target) { paintSheet(*target, report); });
    dialog.exec();
}
