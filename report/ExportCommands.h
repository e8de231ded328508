#pragma once

#include "report/ProgramReport.h"

#include <QByteArray>
#include <QString>
#include <functional>

class Prompts;

// File → Export: asks for a file name through the prompts, asks before an
// existing file is replaced, builds the file and writes it in one step. A
// file that cannot be written is reported and leaves nothing behind.
class ExportCommands
{
public:
    // report: the program and its profile as they stand when a command runs
    // (it may raise, e.g. ConversionError; the caller's guard shows it).
    // done: told the status text: empty when writing starts, then
    // "Export was completed" once the file is in place.
    ExportCommands(Prompts &prompts, std::function<ProgramReport()> report, std::function<void(const QString &)> done);

    void exportPdf();         // "Program sheet as PDF..."
    void exportPng();         // "Chart as PNG..."
    void exportSvg();         // "Chart as SVG..."
    void exportCsv();         // "Profile points as CSV..."
    void exportSegmentsCsv(); // "Segments as CSV..."

private:
    void exportFile(const QString &title, const QString &filter, const QString &suffix,
                    const std::function<QByteArray(const ProgramReport &)> &make);

    Prompts &m_prompts;
    std::function<ProgramReport()> m_report;
    std::function<void(const QString &)> m_done;
};
