#pragma once

#include "report/ProgramReport.h"

#include <QRectF>

class QPainter;

// The one-page program sheet: file, program number, initial temperature and
// total time at the top, the profile chart, the table of counted segments,
// the comment, and the date printed and the program's version at the foot.
// Paints on whatever the painter is open on (PDF writer, printer, image);
// `page` is the printable area in the device's units.
class ProgramSheet
{
public:
    static void paint(QPainter &painter, const QRectF &page, const ProgramReport &report);
};
