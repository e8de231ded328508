#include "app/EditorView.h"

#include "app/RecentFilesMenu.h"
#include "app/StatusBar1.h"
#include "editor/GridEditor.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "model/Profile.h"
#include "model/ProgramDocument.h"
#include "model/StatusPanel.h"

#include <QComboBox>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

void EditorView::checkInitialTempField() { m_c.edit1->checkInitialTempField(); }

void EditorView::checkEditedCell() { m_c.gridEditor->checkEditedCell(); }

void EditorView::redrawProfile()
{
    // Everything is read before anything is shown, so a cell that is not a
    // number leaves the chart and the total time as they were.
    const Profile profile = computeProfile(m_document.initialTemp(), m_document.table());
    m_c.chart->setProfile(profile);
    m_c.model->setProfileSegments(profile.segments);
    m_c.statusBar->setPanelText(StatusPanel::TotalTime, totalTimeText(profile.totalMinutes));
}

void EditorView::clearChart()
{
    m_c.chart->clearPoints();
    m_c.model->setProfileSegments({});
}

QString EditorView::markedCaption(const QString &caption, bool modified)
{
    if (!modified)
        return caption;
    // Qt shows the placeholder as the desktop's mark of unsaved changes,
    // after the file's name where the caption has one.
    const qsizetype nameEnds = caption.indexOf(QLatin1String(" - "));
    return nameEnds > 0 ? caption.left(nameEnds) + QStringLiteral("[*]") + caption.mid(nameEnds)
                        : caption + QStringLiteral(" [*]");
}

void EditorView::setCaption(const QString &caption)
{
    const bool modified = m_document.isModified();
    m_c.window->setWindowTitle(markedCaption(caption, modified));
    m_c.window->setWindowModified(modified);
}

void EditorView::showModified()
{
    // The caption is the title without its mark, whoever set it last.
    QString caption = m_c.window->windowTitle();
    caption.remove(QLatin1String(" [*]"));
    caption.remove(QLatin1String("[*]"));
    setCaption(caption);
}

void EditorView::setStatusText(int panel, const QString &text) { m_c.statusBar->setPanelText(panel, text); }

void EditorView::closeGridEditor() { m_c.grid->closeEditorNow(); }

void EditorView::endGridEdit()
{
    m_c.grid->closeEditorNow();
    m_c.gridEditor->editedCol = 0;
    m_c.gridEditor->editedRow = 0;
}

void EditorView::showGridCell(int col, int row)
{
    m_c.grid->verticalScrollBar()->setValue(0);
    m_c.grid->setCurrentCell(col, row);
    m_c.grid->scrollTo(m_c.model->index(row, col));
    m_c.grid->setFocus(Qt::OtherFocusReason);
    m_c.gridEditor->placeCombo(); // over the new cell when it is a Mode cell, else hidden
}

void EditorView::resetModeCombo()
{
    // A list without a text field of its own: its first entry is its text.
    m_c.gridEditor->modeCombo()->setCurrentIndex(0);
}

void EditorView::commentCaretToStart()
{
    m_c.memo->moveCursor(QTextCursor::Start);
    m_c.memo->ensureCursorVisible();
}

void EditorView::programReplaced() { m_c.history->reset(); }

void EditorView::programSaved() { m_c.history->saved(); }

void EditorView::fileUsed(const QString &path) { m_c.recentFiles->fileUsed(path); }

bool EditorView::cellEditorOpen() const { return m_c.grid->isEditorOpen(); }

void EditorView::showChangedCell(int col, int row)
{
    m_c.grid->setCurrentCell(col, row);
    m_c.grid->scrollTo(m_c.model->index(row, col));
    m_c.gridEditor->placeCombo();
}

void EditorView::placeCommentCaret(int caret)
{
    QTextCursor cursor = m_c.memo->textCursor();
    cursor.setPosition(std::clamp(caret, 0, m_c.memo->document()->characterCount() - 1));
    m_c.memo->setTextCursor(cursor);
    m_c.memo->ensureCursorVisible();
}
