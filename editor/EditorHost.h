#pragma once

#include <QString>
#include <functional>

class ProgramHistory;
class Prompts;

// State of the program being edited that the editing parts share.
struct EditorState
{
    bool DataModified = false;   // unsaved changes
    double InitialTemp = 0;      // last value parsed from Edit1
    bool InitTempError = false;  // result of the last InitTempCheck
};

// What the editing parts need of the main window around them.
class EditorHost
{
public:
    virtual ~EditorHost() = default;
    virtual EditorState &editorState() = 0;
    virtual Prompts &prompts() const = 0;
    // Where accepted changes are reported, for Undo and Redo.
    virtual ProgramHistory &history() = 0;
    // Status panel 0: range hints and command results.
    virtual void setHint(const QString &text) = 0;
    // Redraws the chart and the total time; raises ConversionError on a bad cell.
    virtual void ChardDraw() = 0;
    // Runs a handler; an error it raises is shown by the default error display.
    virtual void guarded(const std::function<void()> &handler) = 0;
};
