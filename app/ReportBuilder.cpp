#include "app/ReportBuilder.h"

#include "editor/ProfileChart.h"
#include "model/ProgramDocument.h"
#include "model/Prompts.h"

#include <QDateTime>

ReportBuilder::ReportBuilder(const ProgramDocument &document, const ProfileChart &chart, std::function<void()> redraw)
    : m_document(document)
    , m_chart(chart)
    , m_redraw(std::move(redraw))
{}

ProgramReport ReportBuilder::build() const
{
    m_redraw();
    ProgramReport report;
    report.filePath = m_document.fileName();
    report.changedSinceSaved = m_document.isModified();
    report.programNo = m_document.programNo();
    report.initialTemp = m_document.initialTemp();
    report.initialTempText = m_document.initialTempText();
    report.program = m_document.table();
    report.profile = m_chart.profile();
    report.comment = m_document.commentLines();
    report.version = applicationTitleAndVersion();
    report.printed = QDateTime::currentDateTime();
    return report;
}
