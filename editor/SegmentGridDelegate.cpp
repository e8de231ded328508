#include "editor/SegmentGridDelegate.h"

#include "editor/GridColours.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "model/TemperatureProgram.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
// How a cell is coloured.
GridColours::Cell cellKind(const SegmentGrid &grid, const QModelIndex &index)
{
    using GridColours::Cell;
    const bool fixed = isFixedCell(index);
    const bool current = index == grid.currentIndex();
    // Columns past the 33 slots show what they hold but are never edited:
    // drawn in the inactive colour, their text on top.
    const bool pastSlots = index.column() > TemperatureProgram::LastSlotColumn && !fixed;
    // A picked block of segments: its numbers and cells as a selection.
    const bool inBlock = grid.isInBlock(index.column()) && index.row() >= 0;
    // A cell that differs from a program compared with is marked, its
    // segment's number too; the current cell still shows as current.
    const bool differs = index.data(SegmentGridModel::DiffersRole).toBool();
    return inBlock  ? Cell::Current
        : fixed     ? (differs ? Cell::Differs : Cell::Fixed)
        : pastSlots ? Cell::Inactive
        : current && !grid.hasFocus() && !grid.gridExited() && !grid.isEditorOpen() ? Cell::Current
        : differs                                                                   ? Cell::Differs
                                                                                    : Cell::Value;
}

// The cell's text, aligned as its row wants; a label a little wider than its
// column is drawn a little tighter rather than cut off.
void paintText(QPainter *painter, const QRect &rect, const QModelIndex &index, QFont font)
{
    const int row = index.row();
    const int col = index.column();
    Qt::Alignment align = Qt::AlignVCenter;
    if (col == 0)
        align |= Qt::AlignLeft;
    else if (row <= TemperatureProgram::ModeRow)
        align |= Qt::AlignHCenter;
    else
        align |= Qt::AlignRight;
    const QString text = index.data().toString();
    const QRect textRect = col == 0 ? rect.adjusted(SegmentGrid::LabelMargin, 0, -SegmentGrid::LabelMargin, 0)
                                    : rect.adjusted(2, 0, -2, 0);
    const int overflow = QFontMetrics(font).horizontalAdvance(text) - textRect.width();
    if (overflow > 0 && overflow <= text.size())
        font.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(overflow) / text.size());
    painter->setFont(font);
    painter->drawText(textRect, int(align) | Qt::TextSingleLine, text);
}

// A fixed cell's raised edge (light top and left, dark bottom and right), or
// the focused grid's current cell's dotted frame.
void paintEdge(QPainter *painter, const QRect &rect, const QPalette &pal, bool fixed, bool focusedCurrent)
{
    if (fixed) {
        painter->setPen(pal.color(QPalette::Light));
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.topLeft(), rect.bottomLeft());
        painter->setPen(pal.color(QPalette::Dark));
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->drawLine(rect.topRight(), rect.bottomRight());
    } else if (focusedCurrent) {
        QPen dotted(pal.color(QPalette::Text));
        dotted.setStyle(Qt::DotLine);
        painter->setPen(dotted);
        painter->drawRect(rect.adjusted(1, 1, -2, -2));
    }
}
} // namespace

SegmentGridDelegate::SegmentGridDelegate(SegmentGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget *SegmentGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                           const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("InplaceEdit"));
    editor->setAccessibleName(QStringLiteral("Cell"));
    editor->setFrame(false);
    editor->setFont(m_grid->font());
    editor->setAlignment(index.row() <= TemperatureProgram::ModeRow ? Qt::AlignHCenter : Qt::AlignRight);
    editor->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_grid->attachEditor(editor, index);
    return editor;
}

void SegmentGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // Also called when the cell changes under an open editor: only the text
    // follows, the caret and selection stay where the person left them.
    auto *line = static_cast<QLineEdit *>(editor);
    if (line->text() != index.data().toString())
        line->setText(index.data().toString());
}

void SegmentGridDelegate::setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const
{
    // The cell already holds every change of the editor's text.
}

void SegmentGridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                               const QModelIndex &) const
{
    editor->setGeometry(option.rect.adjusted(1, 1, -1, -1));
}

bool SegmentGridDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (auto *line = qobject_cast<QLineEdit *>(object))
            return m_grid->editorKeyPress(line, static_cast<QKeyEvent *>(event));
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void SegmentGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    using GridColours::Cell;
    const QRect rect = option.rect;
    const QPalette &pal = option.palette;
    const Cell kind = cellKind(*m_grid, index);
    const GridColours::Colours colours = GridColours::of(kind, pal);

    painter->save();
    painter->fillRect(rect, colours.background);
    painter->setPen(colours.text);
    paintText(painter, rect, index, m_grid->font());

    if (m_grid->isInactiveCell(index.row(), index.column())) {
        painter->fillRect(rect, GridColours::of(Cell::Inactive, pal).background);
        if (kind == Cell::Current) {
            // Still read as part of the selection (or as the current cell of
            // a grid whose menus are open), and still as not used.
            QColor selection = GridColours::of(Cell::Current, pal).background;
            selection.setAlpha(128);
            painter->fillRect(rect, selection);
        }
    }
    const bool focusedCurrent = index == m_grid->currentIndex() && m_grid->hasFocus();
    paintEdge(painter, rect, pal, isFixedCell(index), focusedCurrent);
    painter->restore();
}
