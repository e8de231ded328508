#pragma once

#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"

#include <QtTest>

// Driving the segment grid of a window test as a person does: a click lands
// on the cell's centre, brought into view first. Header-only; the test links
// the editor library.
namespace GridDriving {

inline QPoint cellCentre(SegmentGrid *grid, int col, int row)
{
    const QModelIndex index = grid->gridModel()->index(row, col);
    grid->scrollTo(index);
    return grid->visualRect(index).center();
}

inline void clickCell(SegmentGrid *grid, int col, int row)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, col, row));
}

// The four cells of a slot, set directly (not typed).
inline void setSlot(SegmentGridModel *model, int slot, const QString &mode, const QString &temp, const QString &rate,
                    const QString &time)
{
    model->setCell(TemperatureProgram::ModeRow, slot + 1, mode);
    model->setCell(TemperatureProgram::TempRow, slot + 1, temp);
    model->setCell(TemperatureProgram::RateRow, slot + 1, rate);
    model->setCell(TemperatureProgram::TimeRow, slot + 1, time);
}

} // namespace GridDriving
