#pragma once

#include "editor/EditorContext.h"

#include <QObject>
#include <QPoint>
#include <stdexcept>

class QAction;
class QComboBox;
class QMenu;
class SegmentGrid;
class SegmentGridModel;

// Raised by checkEditedCell when the checked value lies outside its range.
class InputRangeError : public std::runtime_error
{
public:
    InputRangeError() : std::runtime_error(" Exceeding the input range.") {}
};

// The segment grid's handlers: which cells may be edited, the key filter, the
// cell check with its messages, the Mode list, and Insert and Delete from the
// context menu.
class GridEditor : public QObject
{
    Q_OBJECT
public:
    // comboParent: the window the Mode list is laid over the grid in.
    GridEditor(SegmentGrid *grid, const EditorContext &context, QWidget *comboParent);

    int editedCol = 0; // the cell whose editor text changed last: what checkEditedCell checks
    int editedRow = 0;
    int popupCol = 0; // column of the last right-click; the target of Insert and Delete

    QComboBox *modeCombo() const { return m_combo; }
    QMenu *contextMenu() const { return m_popup; }
    QAction *segmentNumberAction() const { return m_segNo; }
    QAction *insertSlotAction() const { return m_insert; }
    QAction *deleteSlotAction() const { return m_delete; }

    // Checks and rewrites the cell last edited. Raises InputRangeError (after
    // reopening the editor on the value) or ConversionError.
    void checkEditedCell();

    // What the grid, the Mode list and the context menu report (the window's
    // StringGrid1SelectCell, StringGrid1SetEditText, StringGrid1KeyPress,
    // StringGrid1Click, StringGrid1Exit, StringGrid1ContextPopup,
    // ComboBox1Change, Insert1Click and Delete1Click).
    void onCellSelected(int col, int row);
    void onEditText(int col, int row);
    bool acceptKey(QChar key, const QString &text, int caret);
    void onCellClicked();
    void onGridExited();
    void showContextMenu(const QPoint &pos);
    void onModeChosen();
    void insertSlotAtPopup();
    // The message Insert shows when it pushes a set segment past the last
    // one a program holds.
    static QString segmentPushedOutText(int slot);
    void deleteSlotAtPopup();
    // Insert and Delete at a column of the grid (a slot column), as the
    // context menu's items do at popupCol.
    void insertSegment(int col);
    void deleteSegment(int col);

    // Lays the Mode list over the current Mode cell, or hides it.
    void placeCombo();
    // A mode chosen from the keyboard on the current Mode cell, as a pick
    // from the list is.
    void chooseMode(const QString &mode);

    // The window reports every focus change here: leaving the grid (or its
    // editor) for another control of the same window runs onGridExited.
    void focusChanged(QWidget *old, QWidget *now);

signals:
    // Status panel 0: the range of the cell made current, or why a key was kept out.
    void hintChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The Mode list laid over the grid, the context menu of a segment's
    // number, and the grid's signals to the handlers.
    void makeModeList(QWidget *comboParent);
    void makePopupMenu();
    void connectGrid();
    bool isGridWidget(const QWidget *w) const;
    // Shows the mark of the current cell over the Mode list, or hides it.
    void updateCurrentMark();
    SegmentGridModel *model() const;

    SegmentGrid *m_grid;
    EditorContext m_context;
    QComboBox *m_combo;
    QWidget *m_currentMark;
    QMenu *m_popup;
    QAction *m_segNo;
    QAction *m_insert;
    QAction *m_delete;
    bool m_checking = false;
};
