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

// Slots 0, 1, ... set directly, each from its four cells (Mode, Temp., Rate,
// Time).
inline void setSlots(SegmentGridModel *model, const QList<QStringList> &segments)
{
    for (int slot = 0; slot < segments.size(); ++slot) {
        const QStringList &cells = segments.at(slot);
        setSlot(model, slot, cells.at(0), cells.at(1), cells.at(2), cells.at(3));
    }
}

// The two slots the window tests start from: a ramp to 100.0 deg C at
// 5.0 deg C/min, then a hold of 1 min 30 s.
inline const QList<QStringList> RampThenHold{{"Ramp", "100.0", "5.0", "0.00"}, {"Hold", "0.0", "0.0", "1.30"}};

} // namespace GridDriving
