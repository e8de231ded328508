#include "editor/ProfileChart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
// Tells assistive technology that the chart is a chart; its name and
// description are the widget's own.
QAccessibleInterface *chartInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("ProfileChart") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
    return nullptr;
}
}

ProfileChart::ProfileChart(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(chartInterface), true);
    Q_UNUSED(factoryInstalled);
    setObjectName(QStringLiteral("Chart1"));
    setAccessibleName(QStringLiteral("Profile chart"));
    // Every pixel is painted: nothing of the parent needs to show through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // A click reads the chart; the keyboard stays where it was.
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    describe();
}

QSize ProfileChart::sizeHint() const { return QSize(400, 144); }

QSize ProfileChart::minimumSizeHint() const { return QSize(100, 60); }

const ProfilePlot &ProfileChart::plot() const
{
    if (!m_plot) {
        m_plot.emplace(m_profile, QRectF(rect()), ProfilePlot::labelFont(size()), const_cast<ProfileChart *>(this),
                       PlotColours::fromPalette(palette()), m_background);
        m_plot->setSelectedColumn(m_highlightColumn);
    }
    return *m_plot;
}

void ProfileChart::replot()
{
    m_plot.reset();
    update();
}

void ProfileChart::setProfile(const Profile &profile)
{
    m_profile = profile;
    replot();
    if (!m_readout.isEmpty()) // the mouse is over the chart: read the new line
        m_readout = readoutAt(m_mouse);
    describe();
}

void ProfileChart::setBackgroundPoints(const QList<QPointF> &points)
{
    m_background = points;
    replot();
}

void ProfileChart::clearPoints()
{
    m_profile = Profile();
    m_readout.clear();
    replot();
    describe();
}

void ProfileChart::highlightColumn(int column)
{
    m_highlightColumn = column;
    if (m_plot)
        m_plot->setSelectedColumn(column);
    update();
}

void ProfileChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const ProfilePlot &drawing = plot();
    drawing.paint(painter);
    if (const auto reading = readingAt(m_mouse); reading && !m_readout.isEmpty())
        drawing.paintReadout(painter, m_mouse, *reading, m_readout);
}

void ProfileChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    replot();
}

void ProfileChart::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange
        || event->type() == QEvent::StyleChange)
        replot();
}

std::optional<ProfileReading> ProfileChart::readingAt(QPoint pos) const
{
    if (m_profile.segments.isEmpty())
        return std::nullopt;
    const ProfilePlot &drawing = plot();
    if (!drawing.plotArea().contains(pos))
        return std::nullopt;
    return readProfile(m_profile, drawing.minutesAt(pos.x()));
}

QString ProfileChart::readoutAt(QPoint pos) const
{
    const auto reading = readingAt(pos);
    return reading ? readoutText(m_profile, *reading) : QString();
}

void ProfileChart::setReadout(const QString &text)
{
    if (text == m_readout)
        return;
    m_readout = text;
    update();
    describe();
}

void ProfileChart::describe()
{
    const QString description = m_readout.isEmpty() ? profileSummary(m_profile) : m_readout;
    if (description == accessibleDescription())
        return;
    setAccessibleDescription(description);
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void ProfileChart::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    m_mouse = event->position().toPoint();
    setReadout(readoutAt(m_mouse));
}

void ProfileChart::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const auto reading = readingAt(event->position().toPoint());
    if (reading && reading->onProfile())
        emit segmentClicked(m_profile.segments[reading->segment].column);
}

void ProfileChart::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    setReadout(QString());
}
