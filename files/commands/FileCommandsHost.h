#pragma once

#include <QString>
#include <QStringList>

class Prompts;
class SegmentGridModel;
struct EditorState;

// What the File commands need of the window that holds the program: its
// controls, its shared editing state and its prompts.
class FileCommandsHost
{
public:
    virtual ~FileCommandsHost() = default;

    virtual EditorState &editorState() = 0;
    virtual Prompts &prompts() const = 0;
    virtual SegmentGridModel &segmentModel() = 0;

    // Edit1: its text, and the check that sets InitTempError.
    virtual QString initialTempText() const = 0;
    virtual void setInitialTempText(const QString &text) = 0;
    virtual void InitTempCheck() = 0;

    // SpinEdit1.
    virtual int programNo() const = 0;
    virtual void setProgramNo(int programNo) = 0;

    // Memo1, one entry per line. Replacing the lines is not an edit.
    virtual QStringList commentLines() const = 0;
    virtual void setCommentLines(const QStringList &lines) = 0;
    virtual void commentCaretToStart() = 0;

    // The window caption: TitleText, and the text shown.
    virtual QString titleText() const = 0;
    virtual void setCaption(const QString &caption) = 0;

    // Status panels 0 to 3.
    virtual void setStatusText(int panel, const QString &text) = 0;

    // The chart without any points.
    virtual void clearChart() = 0;
    // Redraws the chart and the total time; raises ConversionError on a bad cell.
    virtual void ChardDraw() = 0;

    // Checks and rewrites the grid cell typed in last. Raises the error its
    // message shows when the value is refused, with the cell open again.
    virtual void CellCheck() = 0;

    // The grid: closes an open cell editor.
    virtual void closeGridEditor() = 0;
    // Closes the editor and forgets which cell was typed in last, for a
    // program that replaces every cell: the cell check has nothing left to judge.
    virtual void endGridEdit() = 0;
    // The grid scrolled to its first data row with the given cell current,
    // and the focus on the grid.
    virtual void showGridCell(int col, int row) = 0;
    // ComboBox1 back on its first entry.
    virtual void resetModeCombo() = 0;

    // The file last opened or saved (empty after New), and the folder the
    // open dialog starts in, ending with "/".
    virtual QString &currentFileName() = 0;
    virtual QString &fileDir() = 0;

    // New or a load replaced the program: its undo history starts afresh.
    virtual void programReplaced() {}
    // The program as it stands was written to a file.
    virtual void programSaved() {}

    // A program file was loaded from, or saved to, `path`.
    virtual void fileUsed(const QString &path) { Q_UNUSED(path); }
};
