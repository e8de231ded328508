#pragma once

#include "editor/ProgramCommands.h"

#include <QObject>
#include <QUndoStack>
#include <functional>

class HistoryView;
class ProgramDocument;
class QAction;
class QPlainTextEdit;

// Undo and redo of the changes a person makes to the program. The editing
// parts make each change as before and then report it here; the history
// records it as one step, compared with what it recorded last. Undo and
// Redo put the program back, redraw what the change redrew and show the
// changed grid cell. New and Open start a fresh history; a save marks the
// state the program may return to without counting as changed.
class ProgramHistory : public QObject
{
    Q_OBJECT
public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;

    ProgramHistory(ProgramDocument &document, HistoryView &view, QObject *parent = nullptr);

    void setClock(Clock clock) { m_clock = std::move(clock); }
    const QUndoStack &stack() const { return m_stack; }

    // "Undo" and "Redo" with what they would undo or redo in their captions,
    // greyed when there is nothing to undo or redo, or while disabled. The
    // window connects them to undo() and redo(), which may raise the errors
    // of the cell check and the chart.
    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }
    // Disabled during a transfer.
    void setEnabled(bool enabled);
    // Greys both while a grid cell is being edited (for a menu about to show);
    // false puts them back.
    void greyWhileCellEdited(bool menuShown);

    // Undo and Redo. Refused while a grid cell's editor is open; a value typed
    // in the grid and not yet checked is checked first and becomes a step of
    // its own (its check may refuse it, and then nothing is undone).
    void undo();
    void redo();

    // Reports of changes already made.
    void cellAccepted(int col, int row); // the cell check wrote the cell's text form
    void modeChanged(int col);           // rows 1 to 4 of the column
    void slotInserted(int col);
    void slotDeleted(int col);
    // A block of `count` segments pasted before column `col`, or cut from it.
    void segmentsPasted(int col, int count);
    void segmentsCut(int col, int count);
    void segmentsWritten(int col, int count); // the segment dialog's segments in place of one
    void initialTempAccepted();               // the field's text and initial temperature, checked
    void programNoChanged();
    // An edit of the comment at `position`, `removed` characters taken out
    // and `added` put in.
    void commentEdited(int position, int removed, int added);

    // A new or loaded program: a fresh history. While the document is modified the
    // program has no unchanged state to return to.
    void reset();
    // The program was saved: its unchanged state, as the save wrote it.
    void saved();

    // Undo and Redo keys reach the history from this widget, which would
    // otherwise take them for its own.
    void takeUndoKeysFrom(QWidget *widget);
    // The text field's context menu offers Undo and Redo of the program in
    // place of its own, and its keys reach the history.
    void takeUndoFrom(QPlainTextEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Undo and redo set the program; what they set is not a new step.
    bool recordingNow() const { return !m_applying; }
    void push(ProgramCommand *command);
    void slotMoved(SlotCommand::Kind kind, int col);
    void blockMoved(SegmentBlockCommand::Kind kind, int col, int count);
    // Records a change of the whole table, made by the command `make` builds.
    void tableChanged(
        const std::function<ProgramCommand *(const TemperatureProgram &before, const TemperatureProgram &after)> &make);
    void step(bool back);
    void updateActions();
    QStringList column(const TemperatureProgram &table, int col) const;

    ProgramDocument &m_document;
    HistoryView &m_view;
    QUndoStack m_stack;
    RecordedProgram m_recorded;
    Clock m_clock;
    QAction *m_undoAction;
    QAction *m_redoAction;
    bool m_enabled = true;
    bool m_applying = false;
    bool m_greyed = false;
};
