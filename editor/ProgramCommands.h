#pragma once

#include "model/TemperatureProgram.h"

#include <QPoint>
#include <QUndoCommand>

class ProgramDocument;

// The program as the history last recorded it. A person's change is told
// apart from what the program held before by comparing with this.
struct RecordedProgram
{
    TemperatureProgram table;
    QString initialTempText;
    double initialTemp = 0;
    int programNo = 0;
    QString comment;
};

// One step of the program's history. The change is made before the step is
// recorded, so the first redo (QUndoStack::push) does nothing; every later
// undo and redo sets the program and the record alike.
class ProgramCommand : public QUndoCommand
{
public:
    ProgramCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &text);

    void undo() final;
    void redo() final;

    // Whether the chart and the total time follow this step.
    virtual bool redrawsChart() const { return true; }
    // The grid cell a person is shown after the step; column 0 for none.
    virtual QPoint changedCell() const { return {}; }
    // Where the comment's caret goes after the step; -1 where it stays.
    virtual int commentCaret() const { return -1; }

protected:
    virtual void apply(bool forward) = 0;

    ProgramDocument &m_document;
    RecordedProgram &m_recorded;

private:
    bool m_pushed = false;
};

// A grid value as the cell check accepted it.
class CellValueCommand : public ProgramCommand
{
public:
    CellValueCommand(ProgramDocument &document, RecordedProgram &recorded, int col, int row, const QString &before,
                     const QString &after);
    QPoint changedCell() const override { return {m_col, m_row}; }

protected:
    void apply(bool forward) override;

private:
    int m_col;
    int m_row;
    QString m_before;
    QString m_after;
};

// The Mode of a slot, with the "0" texts the unset mode writes: rows 1 to 4.
class ModeCommand : public ProgramCommand
{
public:
    ModeCommand(ProgramDocument &document, RecordedProgram &recorded, int col, const QStringList &before,
                const QStringList &after);
    QPoint changedCell() const override { return {m_col, TemperatureProgram::ModeRow}; }

protected:
    void apply(bool forward) override;

private:
    int m_col;
    QStringList m_before;
    QStringList m_after;
};

// A change that moves slots: the whole table before and after, so columns
// past the 33 slots and the column count come back too.
class TableCommand : public ProgramCommand
{
public:
    TableCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &text, int col,
                 const TemperatureProgram &before, const TemperatureProgram &after);
    QPoint changedCell() const override { return {m_col, TemperatureProgram::ModeRow}; }

protected:
    void apply(bool forward) override;

private:
    int m_col;
    TemperatureProgram m_before;
    TemperatureProgram m_after;
};

// Insert or Delete of a slot.
class SlotCommand : public TableCommand
{
public:
    enum Kind { Insert, Delete };
    SlotCommand(ProgramDocument &document, RecordedProgram &recorded, Kind kind, int col,
                const TemperatureProgram &before, const TemperatureProgram &after);
};

// A block of segments pasted before a slot, cut out, or written in place of
// one by the segment dialog: one step.
class SegmentBlockCommand : public TableCommand
{
public:
    enum Kind { Paste, Cut, Written };
    SegmentBlockCommand(ProgramDocument &document, RecordedProgram &recorded, Kind kind, int col, int count,
                        const TemperatureProgram &before, const TemperatureProgram &after);
};

// The initial temperature as its check accepted it: text and value.
class InitialTempCommand : public ProgramCommand
{
public:
    InitialTempCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &beforeText, double before,
                       const QString &afterText, double after);

protected:
    void apply(bool forward) override;

private:
    QString m_beforeText;
    double m_before;
    QString m_afterText;
    double m_after;
};

class ProgramNoCommand : public ProgramCommand
{
public:
    ProgramNoCommand(ProgramDocument &document, RecordedProgram &recorded, int before, int after);
    bool redrawsChart() const override { return false; }

protected:
    void apply(bool forward) override;

private:
    int m_before;
    int m_after;
};

// Typing in the comment. Edits that follow on at the caret within a second
// of each other make one step.
class CommentCommand : public ProgramCommand
{
public:
    static constexpr int Id = 1;
    static constexpr qint64 PauseMs = 1000;

    // position, removed, added: where the edit happened and how many
    // characters it took away and put in; atMs: when.
    CommentCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &before, const QString &after,
                   int position, int removed, int added, qint64 atMs);
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand *other) override;
    bool redrawsChart() const override { return false; }
    int commentCaret() const override { return m_caretAfterApply; }

protected:
    void apply(bool forward) override;

private:
    QString m_before;
    QString m_after;
    int m_caretAfterApply = -1;
    int m_start;    // where the first edit of the step began
    int m_position; // where the last edit began
    int m_removed;
    int m_caret;   // the caret after the last edit
    qint64 m_atMs; // when the last edit was made
};
