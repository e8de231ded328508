#include "SegmentGrid.h"

#include "GridColours.h"
#include "SegmentGridModel.h"

#include <QHeaderView>
#include <QPainter>

SegmentGrid::SegmentGrid(SegmentGridModel *model, QWidget *parent)
    : QTableView(parent)
    , m_model(model)
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
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont f = font();
    f.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("Noto Sans CJK JP"), f.family()});
    f.setPixelSize(13);
    setFont(f);
    applyColumnWidths();
    connect(model, &QAbstractItemModel::columnsInserted, this, &SegmentGrid::applyColumnWidths);
    connect(model, &QAbstractItemModel::modelReset, this, &SegmentGrid::applyColumnWidths);
    setCurrentIndex(model->index(1, 1));
}

void SegmentGrid::applyColumnWidths()
{
    horizontalHeader()->setDefaultSectionSize(SlotColumnWidth);
    setColumnWidth(0, LabelColumnWidth);
}

QString SegmentGrid::cell(int row, int col) const
{
    return m_model->cell(row, col);
}

void SegmentGrid::setGridExited(bool exited)
{
    if (m_gridExited == exited)
        return;
    m_gridExited = exited;
    viewport()->update();
}

bool SegmentGrid::isInactiveCell(int row, int col) const
{
    if (col < 1 || col > 33 || row < 1 || row > 4)
        return false;
    const QString mode = cell(1, col);
    if (mode == QLatin1String(" "))
        return true;
    if (mode == QLatin1String("Ramp"))
        return row == 4;
    if (mode == QLatin1String("Hold"))
        return row == 2 || row == 3;
    return false;
}

SegmentGridDelegate::SegmentGridDelegate(SegmentGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{
}

void SegmentGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int row = index.row();
    const int col = index.column();
    const QRect rect = option.rect;
    const bool fixed = row == 0 || col == 0;
    const bool current = index == m_grid->currentIndex();
    const QPalette &pal = option.palette;

    painter->save();
    QColor background = pal.color(QPalette::Base);
    QColor textColour = pal.color(QPalette::Text);
    if (fixed) {
        background = menuColour();
    } else if (current && !m_grid->hasFocus() && !m_grid->gridExited()) {
        background = pal.color(QPalette::Highlight);
        textColour = pal.color(QPalette::HighlightedText);
    }
    painter->fillRect(rect, background);

    Qt::Alignment align = Qt::AlignVCenter;
    if (col == 0)
        align |= Qt::AlignLeft;
    else if (row <= 1)
        align |= Qt::AlignHCenter;
    else
        align |= Qt::AlignRight;
    painter->setPen(textColour);
    painter->setFont(m_grid->font());
    painter->drawText(rect, int(align) | Qt::TextSingleLine, index.data().toString());

    if (m_grid->isInactiveCell(row, col))
        painter->fillRect(rect, scrollBarColour());

    if (fixed) {
        // Raised edge: light top and left, dark bottom and right.
        painter->setPen(Qt::white);
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.topLeft(), rect.bottomLeft());
        painter->setPen(pal.color(QPalette::Dark));
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->drawLine(rect.topRight(), rect.bottomRight());
    } else if (current && m_grid->hasFocus()) {
        QPen dotted(pal.color(QPalette::Text));
        dotted.setStyle(Qt::DotLine);
        painter->setPen(dotted);
        painter->drawRect(rect.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}
