#pragma once

#include <QString>
#include <functional>

class ProgramDocument;
class ProgramHistory;
class Prompts;

// What the editing controls need around them: the program, the prompts, the
// history that records accepted changes, the hint panel and the redraw.
class EditorHost
{
public:
    virtual ~EditorHost() = default;
    virtual ProgramDocument &document() = 0;
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
