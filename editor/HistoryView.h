#pragma once

// What Undo and Redo need of the window besides the program itself: the grid
// and the comment's caret, the cell check and the redraw.
class HistoryView
{
public:
    virtual ~HistoryView() = default;

    // Whether a grid cell's editor is open.
    virtual bool cellEditorOpen() const = 0;
    // Checks the grid cell typed in last; raises the error its message shows.
    virtual void checkEditedCell() = 0;
    // Makes a grid cell current and scrolls it into view.
    virtual void showChangedCell(int col, int row) = 0;
    // The comment's caret at `caret`, in view.
    virtual void placeCommentCaret(int caret) = 0;
    // Redraws the chart and the total time; raises ConversionError on a bad cell.
    virtual void redrawProfile() = 0;
};
