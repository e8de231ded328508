#include "editor/ProgramCommands.h"

#include "model/ProgramDocument.h"

#include <algorithm>

namespace {
QString segmentName(int col) { return QStringLiteral("segment %1").arg(col - 1); }
}

ProgramCommand::ProgramCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &text)
    : QUndoCommand(text)
    , m_document(document)
    , m_recorded(recorded)
{}

void ProgramCommand::undo() { apply(false); }

void ProgramCommand::redo()
{
    if (m_pushed)
        apply(true);
    m_pushed = true;
}

CellValueCommand::CellValueCommand(ProgramDocument &document, RecordedProgram &recorded, int col, int row,
                                   const QString &before, const QString &after)
    : ProgramCommand(document, recorded,
                     TemperatureProgram::rowLabels().value(row).trimmed() + QStringLiteral(" of ") + segmentName(col))
    , m_col(col)
    , m_row(row)
    , m_before(before)
    , m_after(after)
{}

void CellValueCommand::apply(bool forward)
{
    const QString &text = forward ? m_after : m_before;
    m_document.setCell(m_row, m_col, text);
    m_recorded.table.setCell(m_row, m_col, text);
}

ModeCommand::ModeCommand(ProgramDocument &document, RecordedProgram &recorded, int col, const QStringList &before,
                         const QStringList &after)
    : ProgramCommand(document, recorded, QStringLiteral("Mode of ") + segmentName(col))
    , m_col(col)
    , m_before(before)
    , m_after(after)
{}

void ModeCommand::apply(bool forward)
{
    const QStringList &cells = forward ? m_after : m_before;
    for (int i = 0; i < cells.size(); ++i) {
        m_document.setCell(TemperatureProgram::ModeRow + i, m_col, cells[i]);
        m_recorded.table.setCell(TemperatureProgram::ModeRow + i, m_col, cells[i]);
    }
}

TableCommand::TableCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &text, int col,
                           const TemperatureProgram &before, const TemperatureProgram &after)
    : ProgramCommand(document, recorded, text)
    , m_col(col)
    , m_before(before)
    , m_after(after)
{}

void TableCommand::apply(bool forward)
{
    const TemperatureProgram &table = forward ? m_after : m_before;
    m_document.restore(table);
    m_recorded.table = table;
}

SlotCommand::SlotCommand(ProgramDocument &document, RecordedProgram &recorded, Kind kind, int col,
                         const TemperatureProgram &before, const TemperatureProgram &after)
    : TableCommand(document, recorded,
                   (kind == Insert ? QStringLiteral("Insert ") : QStringLiteral("Delete ")) + segmentName(col), col,
                   before, after)
{}

SegmentBlockCommand::SegmentBlockCommand(ProgramDocument &document, RecordedProgram &recorded, Kind kind, int col,
                                         int count, const TemperatureProgram &before, const TemperatureProgram &after)
    : TableCommand(
        document, recorded,
        (kind == Written     ? QStringLiteral("Segment dialog: ")
             : kind == Paste ? QStringLiteral("Paste of ")
                             : QStringLiteral("Cut of "))
            + (count == 1 ? segmentName(col) : QStringLiteral("segments %1 to %2").arg(col - 1).arg(col + count - 2)),
        col, before, after)
{}

InitialTempCommand::InitialTempCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &beforeText,
                                       double before, const QString &afterText, double after)
    : ProgramCommand(document, recorded, QStringLiteral("Initial temp."))
    , m_beforeText(beforeText)
    , m_before(before)
    , m_afterText(afterText)
    , m_after(after)
{}

void InitialTempCommand::apply(bool forward)
{
    m_recorded.initialTempText = forward ? m_afterText : m_beforeText;
    m_recorded.initialTemp = forward ? m_after : m_before;
    m_document.setInitialTempText(m_recorded.initialTempText);
    m_document.setInitialTemp(m_recorded.initialTemp);
}

ProgramNoCommand::ProgramNoCommand(ProgramDocument &document, RecordedProgram &recorded, int before, int after)
    : ProgramCommand(document, recorded, QStringLiteral("Program No."))
    , m_before(before)
    , m_after(after)
{}

void ProgramNoCommand::apply(bool forward)
{
    m_recorded.programNo = forward ? m_after : m_before;
    m_document.setProgramNo(m_recorded.programNo);
}

CommentCommand::CommentCommand(ProgramDocument &document, RecordedProgram &recorded, const QString &before,
                               const QString &after, int position, int removed, int added, qint64 atMs)
    : ProgramCommand(document, recorded, QStringLiteral("Comment typing"))
    , m_before(before)
    , m_after(after)
    , m_start(position)
    , m_position(position)
    , m_removed(removed)
    , m_caret(position + added)
    , m_atMs(atMs)
{}

bool CommentCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const CommentCommand *>(other);
    // A pause, or an edit away from where the caret was left, starts a new step.
    if (next->m_atMs - m_atMs >= PauseMs || next->m_atMs < m_atMs)
        return false;
    if (m_caret < next->m_position || m_caret > next->m_position + next->m_removed)
        return false;
    m_after = next->m_after;
    m_start = std::min(m_start, next->m_position);
    m_position = next->m_position;
    m_removed = next->m_removed;
    m_caret = next->m_caret;
    m_atMs = next->m_atMs;
    setObsolete(m_after == m_before);
    return true;
}

void CommentCommand::apply(bool forward)
{
    m_recorded.comment = forward ? m_after : m_before;
    m_document.setComment(m_recorded.comment);
    m_caretAfterApply = forward ? m_caret : m_start;
}
