// The Edit menu, and what the undo history needs of the window.
#include "app/TForm1.h"

#include "editor/GridEditor.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"

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
        connect(action, &QAction::triggered, this, [this, undo] {
            guarded([this, undo] { undo ? m_history->undo() : m_history->redo(); });
        });
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

void TForm1::programReplaced()
{
    m_history->reset();
}

void TForm1::programSaved()
{
    m_history->saved();
}

void TForm1::placeCommentCaret(int caret)
{
    QTextCursor cursor = m_memo1->textCursor();
    cursor.setPosition(std::clamp(caret, 0, int(m_memo1->document()->characterCount() - 1)));
    m_memo1->setTextCursor(cursor);
    m_memo1->ensureCursorVisible();
}

void TForm1::showChangedCell(int col, int row)
{
    m_grid->setCurrentCell(col, row);
    m_grid->scrollTo(m_model->index(row, col));
    m_gridEditor->placeCombo();
}

bool TForm1::cellEditorOpen() const
{
    return m_grid->isEditorOpen();
}
