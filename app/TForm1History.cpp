// The Edit menu.
#include "app/TForm1.h"

#include "app/MenuKeys.h"
#include "app/ViewMenu.h"
#include "editor/GridEditor.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentClipboard.h"
#include "editor/SegmentDialog.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "editor/SegmentTimesStrip.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <algorithm>

void TForm1::buildEditMenu()
{
    m_editMenu = menuBar()->addMenu(QStringLiteral("Edit"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    for (QAction *action : {m_history->undoAction(), m_history->redoAction()}) {
        m_editMenu->addAction(action);
        const bool undo = action == m_history->undoAction();
        connect(action, &QAction::triggered, this,
                [this, undo] { guarded([this, undo] { undo ? m_history->undo() : m_history->redo(); }); });
    }
    // Insert and Delete for the current segment, as the context menu does for
    // the segment it was opened on.
    m_editMenu->addSeparator();
    auto addSegmentItem = [this](const QString &name, const QString &caption, bool insert) {
        QAction *action = m_editMenu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, insert] {
            guarded([this, insert] {
                m_grid->closeEditorNow();
                CellCheck();
                if (insert)
                    m_gridEditor->insertSegment(m_grid->currentCol());
                else
                    m_gridEditor->deleteSegment(m_grid->currentCol());
                m_grid->setFocus(Qt::OtherFocusReason);
            });
        });
    };
    addSegmentItem(QStringLiteral("InsertSegment1"), QStringLiteral("Insert segment"), true);
    addSegmentItem(QStringLiteral("DeleteSegment1"), QStringLiteral("Delete segment"), false);
    // Undo and Redo are refused while a grid cell is being edited.
    connect(m_editMenu, &QMenu::aboutToShow, this, [this] { m_history->greyWhileCellEdited(true); });
    connect(m_editMenu, &QMenu::aboutToHide, this, [this] { m_history->greyWhileCellEdited(false); });
}

void TForm1::addSegmentClipboardItems()
{
    m_segmentClipboard = new SegmentClipboard(m_grid, *m_gridEditor, editorContext());
    // Cut, Copy and Paste between Undo and Redo and the segment items.
    const QList<QAction *> items = m_editMenu->actions();
    QAction *segmentItems = items.value(items.indexOf(m_history->redoAction()) + 1);
    m_editMenu->insertSeparator(segmentItems);
    m_editMenu->insertActions(
        segmentItems,
        {m_segmentClipboard->cutAction(), m_segmentClipboard->copyAction(), m_segmentClipboard->pasteAction()});
    // Segment...: the current segment given in the lab's terms; View, End
    // times for the strip under the grid.
    auto *segmentDialog = new SegmentDialogCommand(m_grid, *m_gridEditor, editorContext());
    connect(segmentDialog, &SegmentDialogCommand::hintChanged, this, &TForm1::setHint);
    m_editMenu->addAction(segmentDialog->editAction());
    ViewMenu::add(menuBar(), m_commMenu->menuAction(), findChild<SegmentTimesStrip *>(), m_settings.path(),
                  [this](const QString &text) { setHint(text); });
    MenuKeys::equip(menuBar());
    connect(m_editMenu, &QMenu::aboutToShow, this, [this] { m_segmentClipboard->greyWhileCellEdited(true); });
    connect(m_editMenu, &QMenu::aboutToHide, this, [this] { m_segmentClipboard->greyWhileCellEdited(false); });
}
