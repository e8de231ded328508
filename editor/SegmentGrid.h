#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

class FixedCellStrip;
class SegmentGridModel;

// StringGrid1: the segment table as a grid of text cells. Row 0 and column 0
// are fixed cells drawn by the grid itself (never current); Qt's header views
// stay hidden. The grid keeps the order of events the editor relies on: when
// the current cell moves, selectCell for the new cell, then the move (which
// closes an open editor), then cellClicked.
class SegmentGrid : public QTableView
{
    Q_OBJECT
public:
    explicit SegmentGrid(SegmentGridModel *model, QWidget *parent = nullptr);

    SegmentGridModel *gridModel() const { return m_model; }
    QString cell(int row, int col) const;
    int currentCol() const { return currentIndex().column(); }
    int currentRow() const { return currentIndex().row(); }
    void setCurrentCell(int col, int row);

    // GridExited: the grid lost the focus and was not clicked since; the
    // current cell is then painted without the selection colour.
    bool gridExited() const { return m_gridExited; }
    void setGridExited(bool exited);

    // Whether a cell is drawn as not used by its slot's mode.
    bool isInactiveCell(int row, int col) const;

    // A block of segments picked by their numbers, drawn as a selection:
    // columns blockFirst() to blockLast(), or none (both 0). The current
    // cell moves with the pick and works as ever inside the block; moving it
    // out of the block ends the block.
    int blockFirst() const { return m_blockFirst; }
    int blockLast() const { return m_blockLast; }
    bool isInBlock(int col) const { return col >= m_blockFirst && col <= m_blockLast && m_blockFirst > 0; }
    // A click on the number of the segment in column `col`; extend (Shift)
    // stretches the block from where it was begun.
    void pickSegment(int col, bool extend);
    void setBlock(int first, int last);
    void clearBlock() { setBlock(0, 0); }

    // The fixed cells stay at the viewport's top and left edges however far
    // the grid scrolls: positions and hits in viewport coordinates follow
    // them, and slot cells scroll into the part they leave free.
    QModelIndex indexAt(const QPoint &pos) const override;
    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // Whether a slot cell lies clear of the fixed cells and its centre in view.
    bool isCellUncovered(const QModelIndex &index) const;
    // Paints one fixed cell with its grid lines (for the fixed-cell strips).
    void paintFixedCell(QPainter *painter, const QModelIndex &index, const QRect &rect) const;

    // In-place editing of the current cell. Editing is switched on or off when
    // a cell becomes current and stays so until the next one does.
    void setEditingEnabled(bool enabled) { m_editingEnabled = enabled; }
    bool isEditorOpen() const { return !m_editor.isNull(); }
    QLineEdit *editor() const { return m_editor.data(); }
    // Opens the editor on the current cell with its whole text selected.
    bool openEditor();
    void closeEditorNow();
    // Shows the cell's text in an open editor on that cell, all of it selected.
    void refreshEditor(int col, int row);

    // Sees every character typed in the grid or its editor before the editor
    // does; returns whether the character goes on. Given the editor's text and
    // caret before the key (a closed editor: the cell's text, caret 0).
    std::function<bool(QChar key, const QString &text, int caret)> keyFilter;

    static constexpr int RowHeight = 20;
    static constexpr int LabelColumnWidth = 100; // at least; wider when a label needs it
    static constexpr int LabelMargin = 3;
    static constexpr int SlotColumnWidth = 64;

    // The in-place editor's keys, and the editor taken in hand when the
    // delegate has made it.
    bool editorKeyPress(QLineEdit *editor, QKeyEvent *event);
    void attachEditor(QLineEdit *editor, const QModelIndex &index);

signals:
    void selectCell(int col, int row);      // before the current cell moves
    void cellClicked();                     // after a move, or a click on a cell
    void editTextChanged(int col, int row); // the editor's text changed (or it opened)
    void cellEdited();                      // a person changed the editor's text, by any key or paste
    void editorClosed();                    // the editor lost the focus and closed
    void contextMenuAt(const QPoint &pos);  // right button, in viewport coordinates
    void modeListRequested();               // F4 or Alt+Down on a Mode cell
    void modeKeyTyped(const QString &mode); // R, H or Space typed on a Mode cell
    // The copy, cut and paste keys with no cell editor open.
    void copyKey();
    void cutKey();
    void pasteKey();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void updateGeometries() override;

private:
    void applyColumnWidths();
    // Handles Enter: the filter (which may move the cell), then the editor toggles.
    void pressEnter();
    // The context menu from the keyboard: the menu key or Shift+F10, for the
    // current segment, as a right-click on its Mode cell.
    void keyboardContextMenu();
    // Escape in the editor: the cell's text from before the edit comes back.
    void cancelEdit();

    SegmentGridModel *m_model;
    FixedCellStrip *m_labelColumn = nullptr;
    FixedCellStrip *m_numberRow = nullptr;
    QPointer<QLineEdit> m_editor;
    QString m_textBeforeEdit; // the cell's text when the open editor opened
    bool m_gridExited = false;
    bool m_editingEnabled = false;
    int m_blockFirst = 0;
    int m_blockLast = 0;
    int m_blockAnchor = 0; // the column the block was begun at
    bool m_picking = false;
};
