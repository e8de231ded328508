#include "app/ChartPanelSplitter.h"

#include "files/IniDocument.h"
#include "files/SettingsFile.h"

#include <algorithm>

ChartPanelSplitter::ChartPanelSplitter(QWidget *chart, QWidget *lower, const QString &settingsPath, QWidget *parent)
    : QSplitter(Qt::Vertical, parent)
    , m_settingsPath(settingsPath)
{
    setObjectName(QStringLiteral("ChartPanelSplitter"));
    setHandleWidth(HandleHeight);
    setChildrenCollapsible(false);
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
    return SettingsFile::update(m_settingsPath, [this](IniDocument &ini) { m_height.toIni(ini); }, error);
}

int ChartPanelSplitter::area() const
{
    return contentsRect().height() - handleWidth();
}

int ChartPanelSplitter::windowHeight() const
{
    return window()->frameGeometry().height();
}

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
    setSizes({chart, total - chart});
}
