#pragma once

#include <QString>

// What the File commands need of the window besides the program itself: the
// checks of what was typed, the grid, the chart, the caption and the status.
class FileView
{
public:
    virtual ~FileView() = default;

    // Edit1's check, which sets the document's initial-temperature error.
    virtual void checkInitialTempField() = 0;
    // Checks and rewrites the grid cell typed in last. Raises the error its
    // message shows when the value is refused, with the cell open again.
    virtual void checkEditedCell() = 0;

    // Redraws the chart and the total time; raises ConversionError on a bad cell.
    virtual void redrawProfile() = 0;
    // The chart without any points.
    virtual void clearChart() = 0;

    // The window caption: TitleText, and the text shown.
    virtual QString titleText() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    // Status panels 0 to 3.
    virtual void setStatusText(int panel, const QString &text) = 0;

    // The grid: closes an open cell editor.
    virtual void closeGridEditor() = 0;
    // Closes the editor and forgets which cell was typed in last, for a
    // program that replaces every cell: the cell check has nothing left to judge.
    virtual void endGridEdit() = 0;
    // The grid scrolled to its first data row with the given cell current,
    // and the focus on the grid.
    virtual void showGridCell(int col, int row) = 0;
    // modeCombo back on its first entry.
    virtual void resetModeCombo() = 0;
    // The comment's caret at its start, in view.
    virtual void commentCaretToStart() = 0;

    // New or a load replaced the program: its undo history starts afresh.
    virtual void programReplaced() {}
    // The program as it stands was written to a file.
    virtual void programSaved() {}
    // A program file was loaded from, or saved to, `path`.
    virtual void fileUsed(const QString &path) { Q_UNUSED(path); }
};
