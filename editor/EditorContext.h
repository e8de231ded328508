#pragma once

#include <QString>
#include <functional>

class ProgramDocument;
class ProgramHistory;
class Prompts;

// What an editing part is given when it is made: the program it changes, the
// history that records each accepted change, the prompts its messages go
// through, and the redraw of the chart and the total time.
struct EditorContext
{
    ProgramDocument &document;
    ProgramHistory &history;
    Prompts &prompts;
    // Redraws the chart and the total time; raises ConversionError on a bad
    // cell, for the caller's guard to show.
    std::function<void()> redraw;

    // Runs a handler; an error it raises is shown by the default error display.
    void guarded(const std::function<void()> &handler) const;
};

// Runs a handler; an error it raises is shown by the prompts' default error
// display and goes no further (never into Qt's event loop).
void runGuarded(Prompts &prompts, const std::function<void()> &handler);
