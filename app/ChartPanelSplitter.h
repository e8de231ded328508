#pragma once

#include "files/ChartPanelHeight.h"

#include <QSplitter>

// The chart panel over the bands below it (initial temperature, grid,
// comment), with a handle between them that gives the chart more height.
// The chart starts at its fixed height unless a person moved the handle, in
// this run or an earlier one (the settings file keeps it); when the window
// grows or shrinks the chart takes half of the change. The comment gives way
// to the chart down to two lines; a chart dragged taller than that leaves
// room for makes the content taller than the window.
class ChartPanelSplitter : public QSplitter
{
    Q_OBJECT
public:
    static constexpr int FixedChartHeight = 144;
    static constexpr int HandleHeight = 5;

    // Reads the height a person left from the settings file at settingsPath.
    ChartPanelSplitter(QWidget *chart, QWidget *lower, const QString &settingsPath, QWidget *parent = nullptr);

    // Keeps the chart's height in the settings file when a person set it;
    // otherwise leaves the file alone. On failure *error names the file.
    bool save(QString *error) const;

    // The height a person dragged the chart to, in the window as it is now;
    // past what the bands below leave room for, the content grows (and
    // scrolls in the window).
    void setChartHeightByPerson(int height);

protected:
    void resizeEvent(QResizeEvent *event) override;
    QSplitterHandle *createHandle() override;

private:
    // Gives the chart its height for the present area.
    void fit();
    // The height the chart and the bands share: the splitter's less the handle.
    int area() const;
    // The whole window's height, frame included.
    int windowHeight() const;

    QString m_settingsPath;
    ChartPanelHeight m_height{FixedChartHeight, 0};
    bool m_setByPerson = false;
};
