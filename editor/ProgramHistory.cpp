#include "editor/ProgramHistory.h"

#include "editor/HistoryView.h"
#include "model/ProgramDocument.h"

#include <QAction>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWidget>

namespace {
bool isUndoKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)
        || event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)
        || event->keyCombination() == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

QString caption(const QString &verb, const QString &step) { return step.isEmpty() ? verb : verb + u' ' + step; }

// Sets a flag for the life of a scope.
class FlagScope
{
public:
    explicit FlagScope(bool &flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
    bool m_old;
};
}

ProgramHistory::ProgramHistory(ProgramDocument &document, HistoryView &view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_view(view)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    m_clock = [clock] { return clock->elapsed(); };

    m_undoAction = new QAction(QStringLiteral("Undo"), this);
    m_undoAction->setObjectName(QStringLiteral("Undo1"));
    m_undoAction->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z));
    m_redoAction = new QAction(QStringLiteral("Redo"), this);
    m_redoAction->setObjectName(QStringLiteral("Redo1"));
    m_redoAction->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z),
                                QKeySequence(Qt::ControlModifier | Qt::Key_Y)});
    connect(&m_stack, &QUndoStack::indexChanged, this, &ProgramHistory::updateActions);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &ProgramHistory::updateActions);
    updateActions();
}

void ProgramHistory::updateActions()
{
    const bool usable = m_enabled && !m_greyed;
    m_undoAction->setText(caption(QStringLiteral("&Undo"), m_stack.undoText()));
    m_redoAction->setText(caption(QStringLiteral("&Redo"), m_stack.redoText()));
    m_undoAction->setEnabled(usable && m_stack.canUndo());
    m_redoAction->setEnabled(usable && m_stack.canRedo());
}

void ProgramHistory::setEnabled(bool enabled)
{
    m_enabled = enabled;
    updateActions();
}

void ProgramHistory::greyWhileCellEdited(bool menuShown)
{
    m_greyed = menuShown && m_view.cellEditorOpen();
    updateActions();
}

void ProgramHistory::undo() { step(true); }

void ProgramHistory::redo() { step(false); }

void ProgramHistory::step(bool back)
{
    if (!m_enabled || m_view.cellEditorOpen())
        return;
    m_view.checkEditedCell();
    if (back ? !m_stack.canUndo() : !m_stack.canRedo())
        return;
    const auto *command = static_cast<const ProgramCommand *>(m_stack.command(m_stack.index() - (back ? 1 : 0)));
    const QPoint cell = command->changedCell();
    const bool redraw = command->redrawsChart();
    FlagScope applying(m_applying);
    if (back)
        m_stack.undo();
    else
        m_stack.redo();
    m_document.setModified(!m_stack.isClean());
    if (command->commentCaret() >= 0)
        m_view.placeCommentCaret(command->commentCaret());
    if (cell.x() > 0)
        m_view.showChangedCell(cell.x(), cell.y());
    if (redraw)
        m_view.redrawProfile();
}

void ProgramHistory::push(ProgramCommand *command)
{
    // The changed flag is the change's own business: a cell or the initial
    // temperature checked without a key typed does not set it.
    m_stack.push(command);
}

QStringList ProgramHistory::column(const TemperatureProgram &table, int col) const
{
    QStringList cells;
    for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row)
        cells << table.cell(row, col);
    return cells;
}

void ProgramHistory::cellAccepted(int col, int row)
{
    const QString before = m_recorded.table.cell(row, col);
    const QString after = m_document.cell(row, col);
    if (!recordingNow() || before == after)
        return;
    m_recorded.table.setCell(row, col, after);
    push(new CellValueCommand(m_document, m_recorded, col, row, before, after));
}

void ProgramHistory::modeChanged(int col)
{
    const QStringList before = column(m_recorded.table, col);
    const QStringList after = column(m_document.table(), col);
    if (!recordingNow() || before == after)
        return;
    for (int i = 0; i < after.size(); ++i)
        m_recorded.table.setCell(TemperatureProgram::ModeRow + i, col, after[i]);
    push(new ModeCommand(m_document, m_recorded, col, before, after));
}

void ProgramHistory::slotInserted(int col) { slotMoved(SlotCommand::Insert, col); }

void ProgramHistory::slotDeleted(int col) { slotMoved(SlotCommand::Delete, col); }

void ProgramHistory::slotMoved(SlotCommand::Kind kind, int col)
{
    tableChanged([&](const TemperatureProgram &before, const TemperatureProgram &after) {
        return new SlotCommand(m_document, m_recorded, kind, col, before, after);
    });
}

void ProgramHistory::segmentsPasted(int col, int count) { blockMoved(SegmentBlockCommand::Paste, col, count); }

void ProgramHistory::segmentsWritten(int col, int count) { blockMoved(SegmentBlockCommand::Written, col, count); }

void ProgramHistory::segmentsCut(int col, int count) { blockMoved(SegmentBlockCommand::Cut, col, count); }

void ProgramHistory::blockMoved(SegmentBlockCommand::Kind kind, int col, int count)
{
    tableChanged([&](const TemperatureProgram &before, const TemperatureProgram &after) {
        return new SegmentBlockCommand(m_document, m_recorded, kind, col, count, before, after);
    });
}

void ProgramHistory::tableChanged(
    const std::function<ProgramCommand *(const TemperatureProgram &before, const TemperatureProgram &after)> &make)
{
    // A Delete past the 33 slots changes nothing.
    const TemperatureProgram &after = m_document.table();
    if (!recordingNow() || after == m_recorded.table)
        return;
    const TemperatureProgram before = m_recorded.table;
    m_recorded.table = after;
    push(make(before, after));
}

void ProgramHistory::initialTempAccepted()
{
    const QString text = m_document.initialTempText();
    const double value = m_document.initialTemp();
    if (!recordingNow())
        return;
    const QString beforeText = m_recorded.initialTempText;
    const double before = m_recorded.initialTemp;
    m_recorded.initialTempText = text;
    m_recorded.initialTemp = value;
    // Only rewritten in its text form ("0.0" became "0.00"): not a change.
    if (value != before)
        push(new InitialTempCommand(m_document, m_recorded, beforeText, before, text, value));
}

void ProgramHistory::programNoChanged()
{
    const int after = m_document.programNo();
    if (!recordingNow() || after == m_recorded.programNo)
        return;
    const int before = m_recorded.programNo;
    m_recorded.programNo = after;
    push(new ProgramNoCommand(m_document, m_recorded, before, after));
}

void ProgramHistory::commentEdited(int position, int removed, int added)
{
    const QString after = m_document.comment();
    if (!recordingNow() || after == m_recorded.comment)
        return;
    const QString before = m_recorded.comment;
    m_recorded.comment = after;
    push(new CommentCommand(m_document, m_recorded, before, after, position, removed, added, m_clock()));
}

void ProgramHistory::reset()
{
    m_stack.clear();
    m_recorded.table = m_document.table();
    m_recorded.initialTempText = m_document.initialTempText();
    m_recorded.initialTemp = m_document.initialTemp();
    m_recorded.programNo = m_document.programNo();
    m_recorded.comment = m_document.comment();
    if (m_document.isModified())
        m_stack.resetClean();
}

void ProgramHistory::saved()
{
    // The save rewrote the cells a slot's mode does not use.
    m_recorded.table = m_document.table();
    m_stack.setClean();
}

void ProgramHistory::takeUndoKeysFrom(QWidget *widget) { widget->installEventFilter(this); }

void ProgramHistory::takeUndoFrom(QPlainTextEdit *edit)
{
    takeUndoKeysFrom(edit);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint &pos) {
        QMenu *menu = edit->createStandardContextMenu(pos);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (QAction *own : menu->actions()) {
            QAction *ours = own->objectName() == QLatin1String("edit-undo") ? m_undoAction
                : own->objectName() == QLatin1String("edit-redo")           ? m_redoAction
                                                                            : nullptr;
            if (ours) {
                menu->insertAction(own, ours);
                menu->removeAction(own);
            }
        }
        menu->popup(edit->viewport()->mapToGlobal(pos));
    });
}

bool ProgramHistory::eventFilter(QObject *watched, QEvent *event)
{
    // Left unaccepted, the key goes on to the window's Undo and Redo.
    if (event->type() == QEvent::ShortcutOverride && isUndoKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}
