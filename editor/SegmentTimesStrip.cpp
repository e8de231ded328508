#include "editor/SegmentTimesStrip.h"

#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "model/LabTerms.h"
#include "model/Numbers.h"
#include "model/TemperatureProgram.h"

#include <QEvent>
#include <QLabel>
#include <QScrollBar>

namespace {
constexpr int Lines = 3;
}

SegmentTimesStrip::SegmentTimesStrip(SegmentGrid *grid, QWidget *parent)
    : QFrame(parent)
    , m_grid(grid)
{
    setObjectName(QStringLiteral("SegmentTimes"));
    setAccessibleName(QStringLiteral("Segment times"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFont(grid->font());
    for (int col = 1; col <= TemperatureProgram::LastUsedColumn; ++col) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("SegmentTimes%1").arg(col - 1));
        label->setAlignment(Qt::AlignCenter);
        label->setFocusPolicy(Qt::NoFocus);
        m_columns << label;
    }
    // Over the slot columns scrolled under it, as the grid's label column is.
    m_captions = new QLabel(QStringLiteral("Starts\nEnds\nEnds at \u00B0C"), this);
    m_captions->setObjectName(QStringLiteral("SegmentTimesCaptions"));
    m_captions->setAutoFillBackground(true);
    m_captions->setContentsMargins(4, 0, 0, 0);
    setFixedHeight(Lines * fontMetrics().lineSpacing() + 2 * frameWidth() + 4);

    connect(grid->gridModel(), &SegmentGridModel::profileSegmentsChanged, this, &SegmentTimesStrip::fill);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &SegmentTimesStrip::place);
    connect(grid->horizontalScrollBar(), &QScrollBar::rangeChanged, this, &SegmentTimesStrip::place);
    grid->installEventFilter(this);
    fill();
}

bool SegmentTimesStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && (event->type() == QEvent::Resize || event->type() == QEvent::Move
                              || event->type() == QEvent::LayoutRequest || event->type() == QEvent::FontChange))
        place();
    return QFrame::eventFilter(watched, event);
}

void SegmentTimesStrip::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    place();
}

void SegmentTimesStrip::fill()
{
    const QList<ProfileSegment> &segments = m_grid->gridModel()->profileSegments();
    for (int i = 0; i < m_columns.size(); ++i) {
        QLabel *label = m_columns[i];
        const ProfileSegment *s = i < segments.size() ? &segments[i] : nullptr;
        const bool set = s && (s->mode == TemperatureProgram::ModeRamp || s->mode == TemperatureProgram::ModeHold);
        if (!set) {
            label->clear();
            label->setAccessibleName(QString());
            continue;
        }
        const QString start = LabTerms::durationText(s->start.x());
        const QString end = LabTerms::durationText(s->end.x());
        const QString temperature = valueText(s->end.y(), 1) + QStringLiteral(" \u00B0C");
        label->setText(start + u'\n' + end + u'\n' + temperature);
        label->setAccessibleName(QStringLiteral("Segment %1: %2 to %3, ends at %4").arg(s->slot()).arg(start, end, temperature));
    }
}

void SegmentTimesStrip::place()
{
    const int left = m_grid->geometry().x() - geometry().x() + m_grid->viewport()->geometry().x();
    const int height = contentsRect().height();
    const int top = contentsRect().top();
    for (int i = 0; i < m_columns.size(); ++i) {
        const int col = i + 1;
        m_columns[i]->setGeometry(left + m_grid->columnViewportPosition(col), top, m_grid->columnWidth(col), height);
    }
    m_captions->setGeometry(frameWidth(), top, std::max(0, left + m_grid->columnWidth(0) - frameWidth()), height);
    m_captions->raise();
}
