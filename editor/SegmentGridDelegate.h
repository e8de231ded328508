#pragma once

#include <QStyledItemDelegate>

class SegmentGrid;

// Paints one cell of the segment grid and makes its in-place editor.
class SegmentGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit SegmentGridDelegate(SegmentGrid *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    SegmentGrid *m_grid;
};
