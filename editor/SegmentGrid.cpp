#include "editor/SegmentGrid.h"

#include "editor/FixedCellStrip.h"
#include "editor/GridColours.h"
#include "editor/SegmentGridDelegate.h"
#include "editor/SegmentGridModel.h"
#include "editor/UiFonts.h"
#include "model/CellRules.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr QChar EnterChar = CellRules::Enter;

bool isShiftF10(const QKeyEvent *event)
{
    return event->key() == Qt::Key_F10 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

// The character a key press types, or a null character for keys that type
// nothing (arrows, Home, End, Delete, function keys). X11 gives Delete the
// text "\x7F", but it edits like the arrows rather than typing anything.
QChar typedChar(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return EnterChar;
    if (event->key() == Qt::Key_Delete)
        return {};
    const QString text = event->text();
    return text.isEmpty() ? QChar() : text.front();
}
}

SegmentGrid::SegmentGrid(SegmentGridModel *model, QWidget *parent) : QTableView(parent), m_model(model)
{
    setObjectName(QStringLiteral("StringGrid1"));
    setAccessibleName(QStringLiteral("Segments"));
    setModel(model);
    setItemDelegate(new SegmentGridDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(RowHeight);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    // Pixel scrolling lets any slot column come to rest just right of the
    // label column, which stays in place; the arrows step a column at a time.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalScrollBar()->setSingleStep(SlotColumnWidth);
    verticalScrollBar()->setSingleStep(RowHeight);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setFont(uiFont(font(), 13));
    applyColumnWidths();
    connect(model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &topLeft) {
        if (topLeft.column() == 0)
            applyColumnWidths(); // the labels were written
    });
    connect(model, &QAbstractItemModel::columnsInserted, this, &SegmentGrid::applyColumnWidths);
    m_labelColumn = new FixedCellStrip(FixedCellStrip::LabelColumn, this);
    m_numberRow = new FixedCellStrip(FixedCellStrip::NumberRow, this);
    for (FixedCellStrip *strip : {m_labelColumn, m_numberRow}) {
        connect(horizontalScrollBar(), &QScrollBar::valueChanged, strip, &FixedCellStrip::place);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, strip, &FixedCellStrip::place);
        connect(model, &QAbstractItemModel::dataChanged, strip, qOverload<>(&QWidget::update));
    }
    selectionModel()->setCurrentIndex(model->index(1, 1), QItemSelectionModel::NoUpdate);
}

void SegmentGrid::applyColumnWidths()
{
    horizontalHeader()->setDefaultSectionSize(SlotColumnWidth);
    // The labels keep a margin on both sides in whatever font this machine
    // draws them with.
    int widest = 0;
    for (int row = 0; row < m_model->rowCount(); ++row)
        widest = std::max(widest, fontMetrics().horizontalAdvance(cell(row, 0)));
    setColumnWidth(0, std::max(int(LabelColumnWidth), widest + 2 * LabelMargin + 2));
}

QString SegmentGrid::cell(int row, int col) const { return m_model->cell(row, col); }

void SegmentGrid::setCurrentCell(int col, int row) { setCurrentIndex(m_model->index(row, col)); }

void SegmentGrid::setGridExited(bool exited)
{
    if (m_gridExited == exited)
        return;
    m_gridExited = exited;
    viewport()->update();
}

bool SegmentGrid::isInactiveCell(int row, int col) const
{
    if (col < 1 || col > TemperatureProgram::LastSlotColumn)
        return false;
    return CellRules::isInactive(row, cell(TemperatureProgram::ModeRow, col));
}

QModelIndex SegmentGrid::indexAt(const QPoint &pos) const
{
    const bool inLabels = pos.x() >= 0 && pos.x() < columnWidth(0);
    const bool inNumbers = pos.y() >= 0 && pos.y() < rowHeight(0);
    if (!inLabels && !inNumbers)
        return QTableView::indexAt(pos);
    const int row = inNumbers ? 0 : rowAt(pos.y());
    const int col = inLabels ? 0 : columnAt(pos.x());
    return row < 0 || col < 0 ? QModelIndex() : m_model->index(row, col);
}

QRect SegmentGrid::visualRect(const QModelIndex &index) const
{
    QRect rect = QTableView::visualRect(index);
    if (index.isValid() && index.column() == 0)
        rect.moveLeft(0);
    if (index.isValid() && index.row() == 0)
        rect.moveTop(0);
    return rect;
}

void SegmentGrid::scrollTo(const QModelIndex &index, ScrollHint)
{
    if (!index.isValid())
        return;
    // Into the free part of the viewport: right of the labels, below the numbers.
    auto bringIntoView = [](QScrollBar *bar, int start, int size, int fixedSize, int viewportSize) {
        const int before = start - fixedSize;
        const int after = start + size - viewportSize;
        if (before < 0)
            bar->setValue(bar->value() + before);
        else if (after > 0)
            bar->setValue(bar->value() + std::min(after, before));
    };
    if (index.column() > 0)
        bringIntoView(horizontalScrollBar(), columnViewportPosition(index.column()), columnWidth(index.column()),
                      columnWidth(0), viewport()->width());
    if (index.row() > 0)
        bringIntoView(verticalScrollBar(), rowViewportPosition(index.row()), rowHeight(index.row()), rowHeight(0),
                      viewport()->height());
}

bool SegmentGrid::isCellUncovered(const QModelIndex &index) const
{
    const QRect rect = visualRect(index);
    return index.row() > 0 && index.column() > 0 && rect.left() >= columnWidth(0) && rect.top() >= rowHeight(0)
        && viewport()->rect().contains(rect.center());
}

void SegmentGrid::paintFixedCell(QPainter *painter, const QModelIndex &index, const QRect &rect) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = rect;
    itemDelegate()->paint(painter, option, index);
    // Grid lines right of and below the cell, as the view draws them.
    const QColor line =
        QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    painter->save();
    painter->setPen(line);
    painter->drawLine(rect.topRight() + QPoint(1, 0), rect.bottomRight() + QPoint(1, 1));
    painter->drawLine(rect.bottomLeft() + QPoint(0, 1), rect.bottomRight() + QPoint(1, 1));
    painter->restore();
}

void SegmentGrid::updateGeometries()
{
    QTableView::updateGeometries();
    for (FixedCellStrip *strip : {m_labelColumn, m_numberRow})
        if (strip) // not yet while the view is being built
            strip->place();
}

bool SegmentGrid::openEditor()
{
    if (!m_editingEnabled || isEditorOpen() || !currentIndex().isValid())
        return isEditorOpen();
    const QModelIndex index = currentIndex();
    if (!QTableView::edit(index, QAbstractItemView::AllEditTriggers, nullptr) || !isEditorOpen())
        return false;
    m_editor->selectAll();
    m_textBeforeEdit = m_editor->text();
    // Opening the editor counts as a change of its text.
    emit editTextChanged(index.column(), index.row());
    return true;
}

void SegmentGrid::cancelEdit()
{
    QLineEdit *e = m_editor.data();
    if (!e || e->text() == m_textBeforeEdit)
        return;
    // As if the person had typed the old text back: the cell, the program's
    // changed flag and its history follow.
    e->setText(m_textBeforeEdit);
    e->selectAll();
    m_model->setCell(currentRow(), currentCol(), m_textBeforeEdit);
    emit editTextChanged(currentCol(), currentRow());
    emit cellEdited();
}

void SegmentGrid::keyboardContextMenu()
{
    if (currentCol() < 1)
        return;
    emit contextMenuAt(visualRect(m_model->index(TemperatureProgram::ModeRow, currentCol())).center());
}

void SegmentGrid::closeEditorNow()
{
    if (QLineEdit *e = m_editor.data())
        closeEditor(e, QAbstractItemDelegate::NoHint);
}

void SegmentGrid::attachEditor(QLineEdit *editor, const QModelIndex &index)
{
    m_editor = editor;
    const int row = index.row();
    const int col = index.column();
    connect(editor, &QLineEdit::textEdited, this, [this, editor, row, col](const QString &text) {
        if (m_editor != editor)
            return;
        // Every change of the editor's text is in the cell at once.
        m_model->setCell(row, col, text);
        emit editTextChanged(col, row);
        emit cellEdited();
    });
}

void SegmentGrid::refreshEditor(int col, int row)
{
    QLineEdit *e = m_editor.data();
    if (!e || currentIndex() != m_model->index(row, col))
        return;
    e->setText(cell(row, col));
    e->selectAll();
}

void SegmentGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool wasOurs = editor == m_editor.data();
    QTableView::closeEditor(editor, hint);
    if (wasOurs) {
        m_editor.clear();
        emit editorClosed();
    }
}

void SegmentGrid::pickSegment(int col, bool extend)
{
    if (col < 1 || col > TemperatureProgram::LastSlotColumn)
        return;
    const int anchor = !extend ? col : m_blockFirst > 0 ? m_blockAnchor : currentCol();
    m_picking = true;
    setCurrentCell(col, std::max(currentRow(), int(TemperatureProgram::ModeRow)));
    m_picking = false;
    if (currentCol() != col)
        return; // the cell check held the current cell on a refused value
    m_blockAnchor = anchor;
    setBlock(std::min(anchor, col), std::max(anchor, col));
    scrollTo(m_model->index(TemperatureProgram::ModeRow, col));
}

void SegmentGrid::setBlock(int first, int last)
{
    if (first == m_blockFirst && last == m_blockLast)
        return;
    m_blockFirst = first;
    m_blockLast = last;
    viewport()->update();
    m_numberRow->update();
}

void SegmentGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (!m_picking && !isInBlock(current.column()))
        clearBlock();
    if (current.isValid())
        emit selectCell(current.column(), current.row());
    QTableView::currentChanged(current, previous);
    viewport()->update();
    emit cellClicked();
}

QModelIndex SegmentGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (!target.isValid())
        return currentIndex();
    // The fixed row and column never become current.
    return m_model->index(std::max(1, target.row()), std::max(1, target.column()));
}

void SegmentGrid::pressEnter()
{
    const QPersistentModelIndex before = currentIndex();
    if (keyFilter && !keyFilter(EnterChar, cell(currentRow(), currentCol()), 0))
        return;
    // Enter toggles the editor: a move has just closed it on the old cell.
    if (isEditorOpen() && currentIndex() == before)
        closeEditorNow();
    else
        openEditor();
}

void SegmentGrid::keyPressEvent(QKeyEvent *event)
{
    const QChar key = typedChar(event);
    if (key == EnterChar) {
        pressEnter();
        return;
    }
    if ((event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && event->modifiers() & Qt::AltModifier))
        && currentRow() == 1) {
        emit modeListRequested();
        return;
    }
    if (isShiftF10(event)) {
        keyboardContextMenu();
        return;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::Paste)) {
        if (event->matches(QKeySequence::Copy))
            emit copyKey();
        else if (event->matches(QKeySequence::Cut))
            emit cutKey();
        else
            emit pasteKey();
        return;
    }
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
        pickSegment(currentCol() + (event->key() == Qt::Key_Left ? -1 : 1), true);
        return;
    }
    if (key.isNull() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (currentRow() == TemperatureProgram::ModeRow
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (const std::optional<QString> mode = CellRules::modeForKey(key)) {
            emit modeKeyTyped(*mode);
            return;
        }
    }
    // A typed character with the editor closed: the editor counts as holding
    // the cell's text, all of it selected.
    if (keyFilter && !keyFilter(key, cell(currentRow(), currentCol()), 0))
        return;
    if (!openEditor())
        return;
    // Deliver the character to the editor, which filters it again.
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
    QCoreApplication::sendEvent(m_editor.data(), &copy);
}

bool SegmentGrid::editorKeyPress(QLineEdit *editor, QKeyEvent *event)
{
    const QChar key = typedChar(event);
    if (key == EnterChar) {
        pressEnter();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        cancelEdit();
        return true;
    }
    if (isShiftF10(event)) {
        keyboardContextMenu();
        return true;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        // Undo inside the open editor, as any line editor does; the text it
        // gives back reaches the cell as an edit (textEdited).
        return false;
    }
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        keyPressEvent(event); // moves the current cell, closing the editor
        return true;
    }
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        closeEditorNow();
        focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (key.isNull())
        return false; // Delete, arrows inside the text: the editor's own
    if (keyFilter
        && !keyFilter(key, editor->text(),
                      editor->selectionStart() >= 0 ? editor->selectionStart() : editor->cursorPosition()))
        return true;
    return false;
}

void SegmentGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept(); // the right button never moves the current cell
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || isFixedCell(index)) {
        event->accept();
        return;
    }
    const QPersistentModelIndex before = currentIndex();
    QTableView::mousePressEvent(event);
    if (index == before && currentIndex() == before) {
        // A click on the current cell opens its editor.
        openEditor();
        emit cellClicked();
    }
}

void SegmentGrid::mouseDoubleClickEvent(QMouseEvent *event) { mousePressEvent(event); }

void SegmentGrid::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Keyboard)
        keyboardContextMenu();
    else
        emit contextMenuAt(event->pos());
    event->accept();
}

void SegmentGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void SegmentGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}
