#pragma once

#include "report/ProgramReport.h"

#include <functional>

class ProfileChart;
class ProgramDocument;

// The program as the sheet and the exports show it: the document's values
// and the chart's profile, with the chart redrawn first so they show what
// the window shows.
class ReportBuilder
{
public:
    // redraw: the chart and the total time; raises ConversionError on a bad cell.
    ReportBuilder(const ProgramDocument &document, const ProfileChart &chart, std::function<void()> redraw);

    ProgramReport build() const;

private:
    const ProgramDocument &m_document;
    const ProfileChart &m_chart;
    std::function<void()> m_redraw;
};
