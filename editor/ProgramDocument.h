#pragma once

#include <QString>

class SegmentGridModel;
struct EditorState;

// The program as the undo history sees it: the segment table, the initial
// temperature, the program number and the comment, and what the window shows
// of them. Setting a value here is not an edit a person made.
class ProgramDocument
{
public:
    virtual ~ProgramDocument() = default;

    virtual EditorState &editorState() = 0;
    virtual SegmentGridModel &segmentModel() = 0;

    virtual QString initialTempText() const = 0;
    virtual void setInitialTempText(const QString &text) = 0;
    virtual int programNo() const = 0;
    virtual void setProgramNo(int programNo) = 0;
    virtual QString commentText() const = 0;
    // The whole comment, with the caret at `caret` and in view.
    virtual void setCommentText(const QString &text, int caret) = 0;

    // Redraws the chart and the total time; raises ConversionError on a bad cell.
    virtual void ChardDraw() = 0;
    // Makes a grid cell current and scrolls it into view.
    virtual void showChangedCell(int col, int row) = 0;

    // Whether a grid cell's editor is open.
    virtual bool cellEditorOpen() const = 0;
    // Checks the grid cell typed in last; raises the error its message shows.
    virtual void CellCheck() = 0;
};
