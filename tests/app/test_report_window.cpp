// The window's wiring of the chart read-out and the program sheet commands;
// the rules themselves are tested at their own units.
#include "app/MenuKeys.h"
#include "app/ReportMenu.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "editor/ProfileChart.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "report/ProgramReport.h"
#include "tests/support/ScriptedPrompts.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Sends a mouse event to the chart at a value (minutes, deg C).
void mouseAt(ProfileChart *chart, QEvent::Type type, QPointF value)
{
    const QPoint pos = chart->plot().toDevice(value).toPoint();
    QMouseEvent event(type, pos, chart->mapToGlobal(pos), Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(chart, &event);
}

QStringList captions(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : MenuKeys::plainCaption(action->text()));
    return texts;
}
}

class TestReportWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString iniPath() const { return m_dir.filePath("VantrelAssistant.ini"); }

private slots:
    void fileMenuKeepsItsItemsAndAddsTheSheetBeforeExit()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        QCOMPARE(captions(form.F1()),
                 (QStringList{"New", "Open", "-", "Save", "Save as", "Recent files", "Import segments from CSV...", "-",
                              "Print...", "Print preview...", "Export", "-", "Exit."}));
        const auto *exportMenu = form.findChild<QMenu *>("Export1");
        QVERIFY(exportMenu);
        QCOMPARE(captions(exportMenu),
                 (QStringList{"Program sheet as PDF...", "Chart as PNG...", "Chart as SVG...",
                              "Profile points as CSV...", "Segments as CSV..."}));
        // A download locks them with the rest of the File menu.
        form.enterTransferState();
        QVERIFY(!form.findChild<QAction *>("Print1")->isEnabled());
        QVERIFY(!exportMenu->menuAction()->isEnabled());
        form.ButtanReset();
        QVERIFY(form.findChild<QAction *>("ExportCsv1")->isEnabled());
    }

    void exportFromTheMenuUsesTheProgramShown()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.openFromCommandLine(VANTREL_GOLDEN_DIR "/example.tpd");
        const QString target = m_dir.filePath("points.csv");
        prompts.fileAnswers = {target};
        form.findChild<QAction *>("ExportCsv1")->trigger();
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 35);
        QCOMPARE(lines[2], "11,150"); // the end of the first ramp of the example
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Hint), QString("Export was completed"));
    }

    void chartReadsHighlightsAndSelects()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.openFromCommandLine(VANTREL_GOLDEN_DIR "/example.tpd");
        ProfileChart *chart = form.Chart1();

        mouseAt(chart, QEvent::MouseMove, QPointF(14, 150));
        QVERIFY2(chart->readout().contains("Segment 1 Hold 150.0 °C, 0:11:00 – 0:16:30"), qPrintable(chart->readout()));

        // Selecting a cell of slot 2 draws its ramp thicker.
        form.StringGrid1()->setCurrentCell(3, 2);
        QCOMPARE(chart->plot().selectedSegment(), (QList<QPointF>{{16.5, 150}, {21, 60}}));

        // A click on the first ramp makes its column current, in the same row.
        mouseAt(chart, QEvent::MouseButtonPress, QPointF(5, 90));
        QCOMPARE(form.StringGrid1()->currentIndex().column(), 1);
        QCOMPARE(form.StringGrid1()->currentIndex().row(), 2);
        QCOMPARE(chart->plot().selectedSegment(), (QList<QPointF>{{0, 40}, {11, 150}}));

        // The segment numbers carry the times of the profile drawn; New takes them away.
        QVERIFY(!form.gridModel()->index(0, 2).data(Qt::ToolTipRole).toString().isEmpty());
        form.N1Click();
        QVERIFY(form.gridModel()->index(0, 2).data(Qt::ToolTipRole).toString().isEmpty());
        QVERIFY(chart->plot().selectedSegment().isEmpty());
    }

    void sheetTakesTheFieldsText()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, iniPath());
        form.openFromCommandLine(VANTREL_GOLDEN_DIR "/example.tpd");
        form.document().setInitialTempText("25.35");
        form.InitTempCheck();
        const ProgramReport report = form.currentReport();
        QCOMPARE(report.initialTempText, QString("25.35"));
        QCOMPARE(report.profile.points.first(), QPointF(0, 25.35));
    }
};

QTEST_MAIN(TestReportWindow)
#include "test_report_window.moc"
