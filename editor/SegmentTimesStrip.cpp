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

// The lines of a column that fit in `count` lines: all three, or the end
// time and temperature (a segment starts where the one before ends), or the
// end time alone.
QString linesThatFit(const QStringList &lines, int count)
{
    if (count >= Lines)
        return lines.join(u'\n');
    return lines.mid(1, std::max(count, 0)).join(u'\n');
}
}

SegmentTimesStrip::SegmentTimesStrip(SegmentGrid *grid, QWidget *parent) : QFrame(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("SegmentTimes"));
    setAccessibleName(QStringLiteral("Segment times"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFont(grid->font());
    for (int col = 1; col <= TemperatureProgram::LastUsedColumn; ++col) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("SegmentTimes%1").arg(col - 1));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        m_columns << label;
    }
    // Over the slot columns scrolled under it, as the grid's label column is.
    m_captions = new QLabel(this);
    m_captions->setObjectName(QStringLiteral("SegmentTimesCaptions"));
    m_captions->setAutoFillBackground(true);
    m_captions->setContentsMargins(4, 0, 0, 0);
    m_captions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Its three lines where the window has room; at the window's smallest
    // size the end times alone, the comment keeping one line.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    connect(grid->gridModel(), &SegmentGridModel::profileSegmentsChanged, this, &SegmentTimesStrip::fill);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &SegmentTimesStrip::place);
    connect(grid->horizontalScrollBar(), &QScrollBar::rangeChanged, this, &SegmentTimesStrip::place);
    grid->installEventFilter(this);
    fill();
}

bool SegmentTimesStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid
        && (event->type() == QEvent::Resize || event->type() == QEvent::Move || event->type() == QEvent::LayoutRequest
            || event->type() == QEvent::FontChange))
        place();
    return QFrame::eventFilter(watched, event);
}

QSize SegmentTimesStrip::sizeHint() const
{
    return {QFrame::sizeHint().width(), Lines * fontMetrics().lineSpacing() + 2 * frameWidth() + 4};
}

QSize SegmentTimesStrip::minimumSizeHint() const
{
    // The end times stay in view even at the window's smallest size.
    return {0, fontMetrics().lineSpacing() + 2 * frameWidth() + 1};
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
            label->setProperty("lines", QStringList());
            label->setAccessibleName(QString());
            label->setToolTip(QString());
            continue;
        }
        const QString start = LabTerms::durationText(s->start.x());
        const QString end = LabTerms::durationText(s->end.x());
        const QString temperature = valueText(s->end.y(), 1) + QStringLiteral(" \u00B0C");
        label->setProperty("lines", QStringList{start, end, temperature});
        label->setAccessibleName(
            QStringLiteral("Segment %1: %2 to %3, ends at %4").arg(s->slot()).arg(start, end, temperature));
        label->setToolTip(label->accessibleName());
    }
    showLines();
}

void SegmentTimesStrip::showLines()
{
    // Whole lines only: where the window leaves less than three, the end
    // comes first.
    const int count = std::min(contentsRect().height() / std::max(fontMetrics().lineSpacing(), 1), Lines);
    m_captions->setText(
        linesThatFit({QStringLiteral("Starts"), QStringLiteral("Ends"), QStringLiteral("Ends at \u00B0C")}, count));
    for (QLabel *label : m_columns)
        label->setText(linesThatFit(label->property("lines").toStringList(), count));
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
    showLines();
}
