#include "editor/SegmentClipboard.h"

#include "editor/EditorContext.h"
#include "editor/GridEditor.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "model/LabTerms.h"
#include "model/Profile.h"
#include "model/ProgramDocument.h"
#include "model/Prompts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUndoStack>
#include <algorithm>

const QString SegmentClipboard::MimeType = QStringLiteral("application/x-vantrel-segments");

SegmentClipboard::SegmentClipboard(SegmentGrid *grid, GridEditor &gridEditor, const EditorContext &context)
    : QObject(grid)
    , m_grid(grid)
    , m_gridEditor(gridEditor)
    , m_context(context)
{
    auto make = [this](const QString &name, const QString &caption, QKeySequence::StandardKey key,
                       void (SegmentClipboard::*command)()) {
        auto *action = new QAction(caption, this);
        action->setObjectName(name);
        // Shown in the menu; the grid sees the keys itself (SegmentGrid).
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this,
                [this, command] { m_context.guarded([this, command] { (this->*command)(); }); });
        return action;
    };
    m_copy = make(QStringLiteral("CopySegments1"), QStringLiteral("&Copy segments"), QKeySequence::Copy,
                  &SegmentClipboard::copySegments);
    m_cut = make(QStringLiteral("CutSegments1"), QStringLiteral("Cu&t segments"), QKeySequence::Cut,
                 &SegmentClipboard::cutSegments);
    m_paste = make(QStringLiteral("PasteSegments1"), QStringLiteral("&Paste segments"), QKeySequence::Paste,
                   &SegmentClipboard::pasteSegments);
    connect(grid, &SegmentGrid::copyKey, m_copy, &QAction::trigger);
    connect(grid, &SegmentGrid::cutKey, m_cut, &QAction::trigger);
    connect(grid, &SegmentGrid::pasteKey, m_paste, &QAction::trigger);
    // Any step of the history (an edit, an insert, undo, redo) may move or
    // empty the picked segments: the block ends. A paste picks its segments
    // again after its own step.
    connect(&m_context.history.stack(), &QUndoStack::indexChanged, grid, &SegmentGrid::clearBlock);
}

void SegmentClipboard::greyWhileCellEdited(bool menuShown)
{
    const bool usable = !(menuShown && m_grid->isEditorOpen());
    for (QAction *action : {m_copy, m_cut, m_paste})
        action->setEnabled(usable && m_grid->isEnabled());
}

std::pair<int, int> SegmentClipboard::chosenColumns() const
{
    if (m_grid->blockFirst() > 0)
        return {m_grid->blockFirst(), m_grid->blockLast()};
    const int col = m_grid->currentCol();
    if (col < 1 || col > TemperatureProgram::LastSlotColumn)
        return {0, 0};
    return {col, col};
}

bool SegmentClipboard::readyToChange()
{
    if (m_grid->isEditorOpen() || !m_grid->isEnabled())
        return false;
    m_gridEditor.checkEditedCell();
    return true;
}

void SegmentClipboard::copySegments()
{
    const auto [first, last] = chosenColumns();
    if (first < 1 || !readyToChange())
        return;
    const QString text = SegmentTable::write(m_context.document.table(), first, last, SegmentTable::Tab);
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(MimeType, text.toUtf8());
    QGuiApplication::clipboard()->setMimeData(data);
}

void SegmentClipboard::cutSegments()
{
    const auto [first, last] = chosenColumns();
    if (first < 1 || !readyToChange())
        return;
    copySegments();
    TemperatureProgram table = m_context.document.table();
    SegmentTable::remove(table, first, last);
    m_context.document.restore(table);
    m_context.history.segmentsCut(first, last - first + 1);
    m_grid->clearBlock();
    changed(first, m_grid->currentRow());
}

void SegmentClipboard::pasteSegments()
{
    const int col = m_grid->currentCol();
    if (col < 1 || !readyToChange())
        return;
    SegmentTable::ReadResult read = segmentsOf(QGuiApplication::clipboard()->mimeData());
    if (!read.error.isEmpty()) {
        refuse(QStringLiteral("The clipboard's segments cannot be pasted."), read.error);
        return;
    }
    // Durations are worked out from where the first segment starts.
    TemperatureProgram table = m_context.document.table();
    const Profile profile = computeProfile(m_context.document.initialTemp(), table);
    const int at = std::min(col, int(TemperatureProgram::LastUsedColumn)) - 1;
    const LabTerms::Resolved resolved = LabTerms::resolveDurations(
        read,
        col <= TemperatureProgram::LastUsedColumn ? profile.segments[at].start.y() : profile.segments[at].end.y());
    if (!resolved.error.isEmpty()) {
        refuse(QStringLiteral("The clipboard's segments cannot be pasted."), resolved.error);
        return;
    }
    read.segments = resolved.segments;
    const int count = int(read.segments.size());
    if (const QString refusal = SegmentTable::fitRefusal(table, col, count); !refusal.isEmpty()) {
        refuse(QStringLiteral("The clipboard's segments cannot be pasted."), refusal);
        return;
    }
    SegmentTable::insert(table, col, read.segments);
    m_context.document.restore(table);
    m_context.history.segmentsPasted(col, count);
    m_grid->setBlock(col, col + count - 1);
    changed(col, m_grid->currentRow());
}

void SegmentClipboard::changed(int col, int row)
{
    m_grid->setCurrentCell(col, std::max(row, int(TemperatureProgram::ModeRow)));
    m_grid->viewport()->update();
    m_context.redraw();
    m_context.document.setModified(true);
}

void SegmentClipboard::refuse(const QString &what, const QString &reason)
{
    m_context.prompts.box(applicationTitle(), what + u'\n' + reason, Prompts::Icon::Warning, Prompts::Ok);
}

SegmentTable::ReadResult SegmentClipboard::segmentsOf(const QMimeData *data)
{
    // Text several times larger than a table is refused before it is decoded.
    constexpr qsizetype MaximumBytes = 4 * SegmentTable::MaximumTextSize;
    if (data && data->hasFormat(MimeType)) {
        const QByteArray bytes = data->data(MimeType);
        if (bytes.size() > MaximumBytes)
            return {{}, QStringLiteral("The text is too long for a table of segments (%1 bytes).").arg(bytes.size())};
        return SegmentTable::read(QString::fromUtf8(bytes));
    }
    if (!data || !data->hasText())
        return {{}, QStringLiteral("The clipboard holds no text.")};
    return SegmentTable::read(data->text());
}
