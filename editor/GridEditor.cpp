#include "editor/GridEditor.h"

#include "editor/EditorContext.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "model/CellRules.h"
#include "model/Numbers.h"
#include "model/ProgramDocument.h"
#include "model/Prompts.h"
#include "model/TemperatureProgram.h"

#include <QComboBox>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {
// ComboBox1DrawItem: items of a fixed height five pixels below the grid's
// rows, the text 3 pixels from the left edge, highlighted when selected.
class ModeItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), SegmentGrid::RowHeight - 5};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data().toString());
    }
};

// A dotted frame over the Mode list while its cell is the grid's current one
// and the grid was not left for another control: the list covers the cell,
// and with it the focus rectangle or the selection colour the grid draws.
class CurrentCellMark : public QWidget
{
public:
    explicit CurrentCellMark(QWidget *list) : QWidget(list)
    {
        setObjectName(QStringLiteral("CurrentCellMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QPen dotted(palette().color(QPalette::Text));
        dotted.setStyle(Qt::DotLine);
        painter.setPen(dotted);
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
};
}

GridEditor::GridEditor(SegmentGrid *grid, const EditorContext &context, QWidget *comboParent)
    : QObject(grid)
    , m_grid(grid)
    , m_context(context)
{
    makeModeList(comboParent);
    makePopupMenu();
    connectGrid();
}

void GridEditor::makeModeList(QWidget *comboParent)
{
    m_combo = new QComboBox(comboParent);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setAccessibleName(QStringLiteral("Mode"));
    m_combo->addItems({TemperatureProgram::ModeUnset, TemperatureProgram::ModeRamp, TemperatureProgram::ModeHold});
    m_combo->setFont(m_grid->font());
    m_combo->setItemDelegate(new ModeItemDelegate(m_combo));
    m_combo->setFixedWidth(SegmentGrid::SlotColumnWidth + 1);
    // The list takes the focus from a click or from the keyboard, never from
    // the wheel: a wheel turned over the grid must not change a mode.
    m_combo->setFocusPolicy(Qt::StrongFocus);
    m_combo->installEventFilter(this);
    m_combo->hide();
    m_currentMark = new CurrentCellMark(m_combo);
    connect(m_combo, &QComboBox::activated, this, [this] {
        m_context.guarded([this] { onModeChosen(); });
        // After a pick the arrow keys move between cells again.
        if (m_grid->isEnabled())
            m_grid->setFocus(Qt::OtherFocusReason);
    });
}

void GridEditor::makePopupMenu()
{
    m_popup = new QMenu(m_grid);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    m_segNo = m_popup->addAction(QString());
    m_segNo->setObjectName(QStringLiteral("SegNo"));
    m_segNo->setEnabled(false);
    m_popup->addSeparator();
    m_insert = m_popup->addAction(QStringLiteral("Insert"));
    m_insert->setObjectName(QStringLiteral("Insert1"));
    m_popup->addSeparator();
    m_delete = m_popup->addAction(QStringLiteral("Delete"));
    m_delete->setObjectName(QStringLiteral("Delete1"));
    connect(m_insert, &QAction::triggered, this, [this] { m_context.guarded([this] { insertSlotAtPopup(); }); });
    connect(m_delete, &QAction::triggered, this, [this] { m_context.guarded([this] { deleteSlotAtPopup(); }); });
}

void GridEditor::connectGrid()
{
    SegmentGrid *grid = m_grid;
    connect(grid, &SegmentGrid::selectCell, this,
            [this](int c, int r) { m_context.guarded([=, this] { onCellSelected(c, r); }); });
    connect(grid, &SegmentGrid::editTextChanged, this, &GridEditor::onEditText);
    // Typed, pasted, cut or deleted: every change a person makes to a cell's
    // text is a change of the program, whatever the key filter decided.
    connect(grid, &SegmentGrid::cellEdited, this, [this] { m_context.document.setModified(true); });
    connect(grid, &SegmentGrid::cellClicked, this, [this] { m_context.guarded([this] { onCellClicked(); }); });
    // The chart follows typed values each time the editor closes. A cell
    // just emptied is not drawn yet: the check makes it 0 and redraws.
    connect(grid, &SegmentGrid::editorClosed, this, [this] {
        if (!m_grid->cell(editedRow, editedCol).isEmpty() || editedRow < TemperatureProgram::TempRow)
            m_context.guarded([this] { m_context.redraw(); });
    });
    connect(grid, &SegmentGrid::contextMenuAt, this,
            [this](const QPoint &pos) { m_context.guarded([=, this] { showContextMenu(pos); }); });
    connect(grid, &SegmentGrid::modeKeyTyped, this,
            [this](const QString &mode) { m_context.guarded([this, &mode] { chooseMode(mode); }); });
    connect(grid, &SegmentGrid::modeListRequested, this, [this] {
        placeCombo();
        if (m_combo->isVisible()) {
            m_combo->setFocus();
            m_combo->showPopup();
        }
    });
    grid->keyFilter = [this](QChar key, const QString &text, int caret) {
        bool pass = false;
        m_context.guarded([&] { pass = acceptKey(key, text, caret); });
        return pass;
    };
    // The list follows its cell when the grid is laid out, moved or resized.
    grid->installEventFilter(this);
    if (grid->parentWidget())
        grid->parentWidget()->installEventFilter(this);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridEditor::placeCombo);
    connect(grid->gridModel(), &QAbstractItemModel::dataChanged, this, &GridEditor::placeCombo);
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, &GridEditor::placeCombo);
}

SegmentGridModel *GridEditor::model() const { return m_grid->gridModel(); }

bool GridEditor::isGridWidget(const QWidget *w) const { return w && (w == m_grid || m_grid->isAncestorOf(w)); }

void GridEditor::focusChanged(QWidget *old, QWidget *now)
{
    // Leaving the grid (or its editor) for another control of the same window.
    // Focus that goes to another window (a message box) is not an exit, nor
    // is the menu bar's taking it while its menus are worked from the keyboard
    // (it gives the focus back): the current cell stays marked meanwhile.
    if (isGridWidget(old) && !isGridWidget(now) && now && now->window() == m_grid->window() && !m_checking
        && !qobject_cast<QMenuBar *>(now))
        m_context.guarded([this] { onGridExited(); });
    updateCurrentMark();
}

void GridEditor::updateCurrentMark()
{
    m_currentMark->setGeometry(m_combo->rect());
    m_currentMark->setVisible(m_combo->isVisible() && (m_grid->hasFocus() || !m_grid->gridExited())
                              && !m_combo->hasFocus() && m_grid->isEnabled());
}

void GridEditor::onCellSelected(int col, int row)
{
    if (row == TemperatureProgram::ModeRow) {
        m_grid->setEditingEnabled(false);
        emit hintChanged(QString());
    } else if (row >= TemperatureProgram::TempRow && row <= TemperatureProgram::TimeRow) {
        // Columns past the 33 slots are shown but never edited.
        const QString mode = col <= TemperatureProgram::LastSlotColumn ? m_grid->cell(TemperatureProgram::ModeRow, col)
                                                                       : TemperatureProgram::ModeUnset;
        if (mode == TemperatureProgram::ModeUnset || mode == TemperatureProgram::ModeRamp
            || mode == TemperatureProgram::ModeHold) {
            const bool editable = CellRules::isEditable(row, mode);
            m_grid->setEditingEnabled(editable);
            emit hintChanged(editable ? CellRules::rangeHint(row) : QString());
        }
    }
}

void GridEditor::onEditText(int col, int row)
{
    editedCol = col;
    editedRow = row;
}

bool GridEditor::acceptKey(QChar key, const QString &text, int caret)
{
    const CellRules::GridKey decision = CellRules::gridKey(key, editedRow, text, caret);
    if (decision.setsModified)
        m_context.document.setModified(true);
    if (const QString hint = CellRules::keptOutHint(key, m_grid->currentRow()); !hint.isEmpty() && !decision.pass)
        emit hintChanged(hint);
    const bool filtered = editedRow >= TemperatureProgram::TempRow && editedRow <= TemperatureProgram::TimeRow;
    if (filtered && key == CellRules::Enter) {
        const int col = m_grid->currentCol();
        const int row = m_grid->currentRow();
        if (col >= 1 && col < model()->columnCount() - 1 && row >= 1)
            m_grid->setCurrentCell(col + 1, row);
    }
    return decision.pass;
}

void GridEditor::onCellClicked()
{
    checkEditedCell();
    m_grid->setGridExited(false);
    updateCurrentMark();
}

void GridEditor::onGridExited()
{
    checkEditedCell();
    emit hintChanged(QString());
    m_grid->setGridExited(true);
    updateCurrentMark();
}

void GridEditor::checkEditedCell()
{
    if (m_checking || editedCol > TemperatureProgram::LastSlotColumn)
        return;
    const int col = editedCol;
    const int row = editedRow;
    const QString text = m_grid->cell(row, col);
    const CellRules::CellCheckResult result = CellRules::checkCell(row, text);
    switch (result.outcome) {
    case CellRules::CellCheckResult::NotChecked:
        return;
    case CellRules::CellCheckResult::NotANumber:
        throw ConversionError(text);
    case CellRules::CellCheckResult::Accepted:
        model()->setCell(row, col, result.text);
        m_context.history.cellAccepted(col, row);
        m_grid->refreshEditor(col, row);
        if (text.isEmpty())
            m_context.redraw();
        return;
    case CellRules::CellCheckResult::OutOfRange:
        break;
    }
    // Back to the rejected value, editor open on it, then exactly one message.
    m_checking = true;
    m_grid->setCurrentCell(col, m_grid->currentRow() >= 1 ? m_grid->currentRow() : row);
    m_grid->setCurrentCell(col, row);
    m_grid->setFocus(Qt::OtherFocusReason);
    m_grid->openEditor();
    model()->setCell(row, col, result.text);
    m_grid->refreshEditor(col, row);
    m_checking = false;
    throw InputRangeError();
}

void GridEditor::placeCombo()
{
    const QModelIndex current = m_grid->currentIndex();
    if (current.row() != TemperatureProgram::ModeRow || current.column() < 1) {
        m_combo->hide();
        return;
    }
    const QRect cellRect = m_grid->visualRect(current);
    if (!m_grid->isCellUncovered(current) || !m_grid->isVisible()) {
        m_combo->hide();
        return;
    }
    QWidget *parent = m_combo->parentWidget();
    const QPoint topLeft = m_grid->viewport()->mapTo(parent, cellRect.topLeft());
    m_combo->setGeometry(QRect(topLeft, QSize(cellRect.width() + 1, cellRect.height() + 1)));
    m_combo->setCurrentIndex(m_combo->findText(m_grid->cell(current.row(), current.column()), Qt::MatchExactly));
    m_combo->setEnabled(m_grid->isEnabled());
    m_combo->show();
    m_combo->raise();
    updateCurrentMark();
}

void GridEditor::onModeChosen()
{
    const int col = m_grid->currentCol();
    if (col < 1)
        return;
    model()->setMode(col, m_combo->currentText());
    m_context.history.modeChanged(col);
    m_grid->viewport()->update();
    m_context.redraw();
    m_context.document.setModified(true);
}

void GridEditor::chooseMode(const QString &mode)
{
    placeCombo();
    const int index = m_combo->findText(mode, Qt::MatchExactly);
    if (!m_combo->isVisible() || index < 0)
        return;
    m_combo->setCurrentIndex(index);
    onModeChosen();
}

bool GridEditor::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel changes a mode only while the list has the focus (it was
    // clicked into or opened); otherwise the turn is not the list's.
    if (watched == m_combo && event->type() == QEvent::Wheel && !m_combo->hasFocus()) {
        event->ignore();
        return true;
    }
    if ((watched == m_grid || watched == m_grid->parentWidget())
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeCombo();
    return QObject::eventFilter(watched, event);
}

void GridEditor::showContextMenu(const QPoint &pos)
{
    const QModelIndex index = m_grid->indexAt(pos);
    const int c = index.isValid() ? index.column() : -1;
    const int r = index.isValid() ? index.row() : -1;
    popupCol = c;
    m_segNo->setText(QStringLiteral("Segment No. %1").arg(c - 1));
    if (c >= 1 && r <= 1 && index.isValid())
        m_popup->popup(m_grid->viewport()->mapToGlobal(pos) + QPoint(0, 10));
}

void GridEditor::insertSlotAtPopup() { insertSegment(popupCol); }

void GridEditor::deleteSlotAtPopup() { deleteSegment(popupCol); }

void GridEditor::insertSegment(int col)
{
    if (col < 1)
        return;
    // The last segment that is drawn and sent moves one slot on, out of reach.
    const int lastSent = TemperatureProgram::LastUsedColumn;
    const QString lastMode = model()->cell(TemperatureProgram::ModeRow, lastSent);
    const bool pushesOut =
        col <= lastSent && (lastMode == TemperatureProgram::ModeRamp || lastMode == TemperatureProgram::ModeHold);
    model()->insertSlot(col);
    m_context.history.slotInserted(col);
    m_context.redraw();
    m_context.document.setModified(true);
    if (pushesOut)
        m_context.prompts.box(applicationTitle(), segmentPushedOutText(lastSent - 1), Prompts::Icon::Warning,
                              Prompts::Ok);
}

QString GridEditor::segmentPushedOutText(int slot)
{
    return QStringLiteral("Segment No. %1 moved to No. %2, past the last segment that is drawn and sent (No. %1).\n"
                          "It stays in the grid: delete a segment before it to bring it back.")
        .arg(slot)
        .arg(slot + 1);
}

void GridEditor::deleteSegment(int col)
{
    if (col < 1 || col > TemperatureProgram::LastSlotColumn)
        return;
    model()->deleteSlot(col);
    m_context.history.slotDeleted(col);
    m_grid->viewport()->update();
    m_context.redraw();
    m_context.document.setModified(true);
}
