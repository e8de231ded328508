#include "report/ExportCommands.h"

#include "files/FileQuestions.h"
#include "files/RegularFile.h"
#include "model/Prompts.h"
#include "report/ReportExport.h"

#include <QFileInfo>

ExportCommands::ExportCommands(Prompts &prompts, std::function<ProgramReport()> report,
                               std::function<void(const QString &)> done)
    : m_prompts(prompts)
    , m_report(std::move(report))
    , m_done(std::move(done))
{}

void ExportCommands::exportPdf()
{
    exportFile(QStringLiteral("Program sheet as PDF"), QStringLiteral("PDF document(*.pdf)|*.pdf"),
               QStringLiteral("pdf"),
               [](const ProgramReport &r) { return ReportExport::pdf(r, ReportExport::defaultPageSize()); });
}

void ExportCommands::exportPng()
{
    exportFile(QStringLiteral("Chart as PNG"), QStringLiteral("PNG image(*.png)|*.png"), QStringLiteral("png"),
               [](const ProgramReport &r) { return ReportExport::png(r.profile, ReportExport::DefaultPlotSize); });
}

void ExportCommands::exportSvg()
{
    exportFile(QStringLiteral("Chart as SVG"), QStringLiteral("SVG image(*.svg)|*.svg"), QStringLiteral("svg"),
               [](const ProgramReport &r) { return ReportExport::svg(r.profile, ReportExport::DefaultPlotSize); });
}

void ExportCommands::exportCsv()
{
    exportFile(QStringLiteral("Profile points as CSV"), QStringLiteral("CSV text(*.csv)|*.csv"), QStringLiteral("csv"),
               [](const ProgramReport &r) { return ReportExport::csv(r.profile); });
}

void ExportCommands::exportSegmentsCsv()
{
    exportFile(QStringLiteral("Segments as CSV"), QStringLiteral("CSV text(*.csv)|*.csv"), QStringLiteral("csv"),
               [](const ProgramReport &r) { return ReportExport::segmentsCsv(r.program); });
}

void ExportCommands::exportFile(const QString &title, const QString &filter, const QString &suffix,
                                const std::function<QByteArray(const ProgramReport &)> &make)
{
    const ProgramReport report = m_report();
    // Beside the program file, under its name, when there is one.
    QString suggested;
    if (!report.filePath.isEmpty()) {
        const QFileInfo program(report.filePath);
        suggested = program.absolutePath() + u'/' + program.completeBaseName() + u'.' + suffix;
    }
    QString chosen = m_prompts.saveFileName(title, suggested, filter, suffix);
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += u'.' + suffix;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    // Nothing is asked about a name that will not be replaced (a folder, a
    // FIFO, a device): the write refuses it and says why.
    if (QFileInfo::exists(path) && RegularFile::replaceRefusal(path).isEmpty()
        && m_prompts.box(ConfirmationCaption, overwriteQuestion(path), Prompts::Icon::Question,
                         Prompts::Yes | Prompts::No)
            != Prompts::Yes)
        return;
    // A status left from an earlier export must not stand beside this one's failure.
    m_done(QString());
    QString reason;
    if (!ReportExport::write(path, make(report), &reason)) {
        m_prompts.message(QStringLiteral("Export error\n") + path + QStringLiteral(": ") + reason);
        return;
    }
    m_done(QStringLiteral("Export was completed"));
}
