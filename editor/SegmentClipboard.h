#pragma once

#include "editor/EditorContext.h"
#include "model/SegmentTable.h"

#include <QObject>

class GridEditor;
class QAction;
class QMimeData;
class SegmentGrid;

// Copy, Cut and Paste of whole segments between the grid and the clipboard.
// Copy puts the picked block (or the current segment) on the clipboard as
// tab-separated text a spreadsheet reads, and the same text under our own
// type for an exact trip between two editors. Paste reads either, checks
// every value as the grid does and inserts the segments before the current
// one, all or nothing, as one step of the history.
class SegmentClipboard : public QObject
{
    Q_OBJECT
public:
    static const QString MimeType; // "application/x-vantrel-segments"

    SegmentClipboard(SegmentGrid *grid, GridEditor &gridEditor, const EditorContext &context);

    // "Copy segments", "Cut segments", "Paste segments" with the standard
    // keys shown; the keys themselves work on the grid with no cell editor
    // open, so the editor and the other fields keep theirs.
    QAction *copyAction() const { return m_copy; }
    QAction *cutAction() const { return m_cut; }
    QAction *pasteAction() const { return m_paste; }
    // Greys the three while a cell is edited (for a menu about to show);
    // false puts them back.
    void greyWhileCellEdited(bool menuShown);

    void copySegments();
    void cutSegments();
    void pasteSegments();

    // The segments on a clipboard, or why there are none.
    static SegmentTable::ReadResult segmentsOf(const QMimeData *data);

private:
    // The picked block, else the current segment; first 0 when neither.
    std::pair<int, int> chosenColumns() const;
    // A value typed last and not yet checked is checked first; raises its error.
    bool readyToChange();
    void refuse(const QString &what, const QString &reason);
    void changed(int col, int row);

    SegmentGrid *m_grid;
    GridEditor &m_gridEditor;
    EditorContext m_context;
    QAction *m_copy;
    QAction *m_cut;
    QAction *m_paste;
};
