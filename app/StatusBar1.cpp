#include "app/StatusBar1.h"

#include <QLabel>
#include <QProgressBar>

StatusBar1::StatusBar1(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFixedHeight(Height);
    for (int i = 0; i < PanelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(2);
        m_panels[i] = label;
    }
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setAccessibleName(QStringLiteral("Activity"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(360, 6, 100, 15);
    m_progress->hide();
    layoutPanels();
}

QString StatusBar1::panelText(int panel) const { return m_panels[panel]->text(); }

QString StatusBar1::panelToolTip(int panel) const { return m_panels[panel]->toolTip(); }

void StatusBar1::setPanelText(int panel, const QString &text)
{
    m_panels[panel]->setText(text);
    m_panels[panel]->setAccessibleName(text);
    showWholeTextIfCut(panel);
}

void StatusBar1::showWholeTextIfCut(int panel)
{
    // A panel shows what fits of its text; the rest is offered on hover.
    QLabel *label = m_panels[panel];
    const int room = label->contentsRect().width() - 2 * label->indent();
    const bool cut = label->fontMetrics().horizontalAdvance(label->text()) > room;
    QStringList tip;
    if (cut)
        tip << label->text();
    if (!m_notes[panel].isEmpty())
        tip << m_notes[panel];
    label->setToolTip(tip.join(QLatin1Char('\n')));
}

void StatusBar1::setPanelNote(int panel, const QString &note)
{
    m_notes[panel] = note;
    m_panels[panel]->setAccessibleDescription(note);
    showWholeTextIfCut(panel);
}

int StatusBar1::middlePanelWidth(int barWidth)
{
    const int rest = barWidth - FixedWidths[StatusPanel::Hint] - FixedWidths[StatusPanel::TotalTime]
        - FixedWidths[StatusPanel::Port];
    return rest > 0 ? rest : 0;
}

void StatusBar1::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    StatusBar1Resize();
}

void StatusBar1::StatusBar1Resize()
{
    m_widths[StatusPanel::Transfer] = middlePanelWidth(width());
    layoutPanels();
}

void StatusBar1::layoutPanels()
{
    int x = 0;
    for (int i = 0; i < PanelCount; ++i) {
        m_panels[i]->setGeometry(x, 2, m_widths[i], Height - 2);
        m_panels[i]->setVisible(m_widths[i] > 0);
        x += m_widths[i];
        showWholeTextIfCut(i);
    }
    m_progress->raise();
}
