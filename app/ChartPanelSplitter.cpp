#include "app/ChartPanelSplitter.h"

#include "files/IniDocument.h"
#include "files/SettingsFile.h"

#include <QMouseEvent>
#include <QPointer>
#include <QScrollArea>
#include <QSplitterHandle>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {
// The handle under the chart: dragging it sets the chart's height, also past
// what the bands below leave room for in the window.
class ChartHandle : public QSplitterHandle
{
public:
    explicit ChartHandle(ChartPanelSplitter *splitter) : QSplitterHandle(Qt::Vertical, splitter), m_splitter(splitter)
    {}

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        QSplitterHandle::mousePressEvent(event);
        if (event->button() != Qt::LeftButton)
            return;
        m_dragging = true;
        m_startY = event->globalPosition().y();
        m_startHeight = m_splitter->widget(0)->height();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (m_dragging && (event->buttons() & Qt::LeftButton))
            m_splitter->setChartHeightByPerson(
                int(std::lround(m_startHeight + event->globalPosition().y() - m_startY)));
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_dragging = false;
        QSplitterHandle::mouseReleaseEvent(event);
    }

private:
    ChartPanelSplitter *m_splitter;
    bool m_dragging = false;
    double m_startY = 0;
    int m_startHeight = 0;
};
}

ChartPanelSplitter::ChartPanelSplitter(QWidget *chart, QWidget *lower, const QString &settingsPath, QWidget *parent)
    : QSplitter(Qt::Vertical, parent)
    , m_settingsPath(settingsPath)
{
    setObjectName(QStringLiteral("ChartPanelSplitter"));
    setHandleWidth(HandleHeight);
    setChildrenCollapsible(false);
    setOpaqueResize(true);
    chart->setMinimumHeight(FixedChartHeight);
    addWidget(chart);
    addWidget(lower);
    handle(1)->setAccessibleName(QStringLiteral("Chart height"));
    if (const auto saved = ChartPanelHeight::fromIni(SettingsFile::load(settingsPath))) {
        m_height = *saved;
        m_setByPerson = true;
    }
    connect(this, &QSplitter::splitterMoved, this, [this] {
        m_height = ChartPanelHeight{sizes().value(0), windowHeight()};
        m_setByPerson = true;
    });
}

bool ChartPanelSplitter::save(QString *error) const
{
    if (!m_setByPerson)
        return true;
    return SettingsFile::update(
        m_settingsPath, [this](IniDocument &ini) { m_height.toIni(ini); }, error);
}

QSplitterHandle *ChartPanelSplitter::createHandle() { return new ChartHandle(this); }

void ChartPanelSplitter::setChartHeightByPerson(int height)
{
    // At most the window's height, which the settings file holds it to.
    const int window = windowHeight();
    m_height = ChartPanelHeight{std::clamp(height, int(FixedChartHeight), std::max(int(FixedChartHeight), window - 1)),
                                window};
    m_setByPerson = true;
    fit();
    // Where the content scrolls, the handle stays in view as it goes down.
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *scroller = qobject_cast<QScrollArea *>(w)) {
            QTimer::singleShot(0, scroller, [scroller, handle = QPointer<QSplitterHandle>(this->handle(1))] {
                if (handle)
                    scroller->ensureWidgetVisible(handle, 0, 0);
            });
            break;
        }
    }
}

int ChartPanelSplitter::area() const { return contentsRect().height() - handleWidth(); }

int ChartPanelSplitter::windowHeight() const { return window()->frameGeometry().height(); }

void ChartPanelSplitter::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    fit();
}

void ChartPanelSplitter::fit()
{
    const int total = area();
    if (total <= 0 || count() != 2)
        return;
    // Without a height set by a person, the chart has its fixed height in
    // the window it is first laid out in, and grows by half from there.
    if (m_height.windowHeight <= 0)
        m_height.windowHeight = windowHeight();
    const QWidget *lower = widget(1);
    const int lowerMinimum = std::max(lower->minimumHeight(), lower->minimumSizeHint().height());
    const int chart = m_height.chartHeightFor(windowHeight(), total, lowerMinimum, FixedChartHeight);
    // A chart taller than the window leaves room for makes the content
    // taller than the window, which then scrolls.
    const int frame = height() - contentsRect().height();
    setMinimumHeight(chart > total - lowerMinimum ? chart + handleWidth() + lowerMinimum + frame : 0);
    setSizes({chart, std::max(total - chart, lowerMinimum)});
}
