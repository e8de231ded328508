#pragma once

#include "model/StatusPanel.h"

#include <QStatusBar>

class QLabel;
class QProgressBar;

// The four-panel status bar: 0 range hints and file results, 1 download
// status (with ProgressBar1 inside it), 2 total time, 3 serial port; a panel
// is given by its StatusPanel name (StatusPanel::Hint, Transfer, TotalTime,
// Port). A QStatusBar, so that assistive technology finds a status bar; its
// panels are labels laid out here at their fixed widths.
class StatusBar1 : public QStatusBar
{
    Q_OBJECT
public:
    static constexpr int PanelCount = 4;
    static constexpr int Height = 26;
    static constexpr int FixedWidths[PanelCount] = {215, 200, 215, 65};

    explicit StatusBar1(QWidget *parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);
    // What the panel's tooltip says beyond its text, whatever the text.
    void setPanelNote(int panel, const QString &note);
    QString panelToolTip(int panel) const;
    int panelWidth(int panel) const { return m_widths[panel]; }
    QProgressBar *progressBar() const { return m_progress; }

    // Panel 1 takes the width the other three leave, or 0 when none is left.
    static int middlePanelWidth(int barWidth);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void StatusBar1Resize();
    void layoutPanels();
    void showWholeTextIfCut(int panel);

    QLabel *m_panels[PanelCount] = {};
    QString m_notes[PanelCount];
    int m_widths[PanelCount] = {215, 200, 215, 65};
    QProgressBar *m_progress = nullptr;
};
