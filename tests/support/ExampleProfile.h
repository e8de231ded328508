#pragma once

// Profiles for the plot, readout and chart tests, built cell by cell.

#include "model/Profile.h"
#include "model/TemperatureProgram.h"

#include <QList>
#include <QStringList>

// Slot k of the program holds slotCells[k]: mode, temp., rate, time.
inline Profile profileOf(double initial, const QList<QStringList> &slotCells)
{
    TemperatureProgram program;
    for (int slot = 0; slot < slotCells.size(); ++slot)
        for (int row = 1; row <= 4; ++row)
            program.setCell(row, slot + 1, slotCells[slot][row - 1]);
    return computeProfile(initial, program);
}

// Initial 40.0; Ramp to 150.0 at 10.0 (0 to 11 min); Hold 5.30 (11 to 16.5);
// Ramp to 60.0 at 20.0 (16.5 to 21); the rest unset.
inline Profile exampleProfile()
{
    return profileOf(
        40, {{"Ramp", "150.0", "10.0", "0.00"}, {"Hold", "0.0", "0.0", "5.30"}, {"Ramp", "60.0", "20.0", "0.00"}});
}
