// A program file may hold any number a double can. Opened in the window, its
// chart must draw with axes and labels it can handle.
#include "app/TForm1.h"
#include "editor/ProfileChart.h"
#include "model/AxisLabels.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TpdTestData.h"

#include <QTemporaryDir>
#include <QtTest>

class TestHugeValues : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void fileOpensAndDraws_data()
    {
        QTest::addColumn<QString>("initialTemp");
        QTest::addColumn<QString>("target"); // of the first Ramp, at 10 deg C/min
        QTest::newRow("a Ramp to 1e308") << "40.00"
                                         << "1e308";
        QTest::newRow("an initial temperature of 1e308") << "1e308"
                                                         << "150.0";
    }

    void fileOpensAndDraws()
    {
        QFETCH(QString, initialTemp);
        QFETCH(QString, target);
        const QString path = m_dir.filePath("huge.tpd");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(TpdFormat::write(buildProgram(3, initialTemp, 33, {{0, "Ramp", target, "10.0", "0.00"}}), nullptr));
        file.close();

        ScriptedPrompts prompts;
        TForm1 form(prompts, m_dir.filePath("VantrelAssistant.ini"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.openFromCommandLine(path);
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(form.Chart1()->points().size(), 33);
        QVERIFY(!form.Chart1()->grab().isNull()); // laid out and painted
        const ProfilePlot &plot = form.Chart1()->plot();
        QVERIFY2(plot.maxTime() <= AxisLimit && plot.maxTemp() <= AxisLimit,
                 qPrintable(QString::number(plot.maxTemp())));
        QVERIFY(plot.timeLabels().size() <= 2 * MaxAxisSteps + 1);
        QVERIFY(plot.tempLabels().size() <= 2 * MaxAxisSteps + 1);
    }
};

QTEST_MAIN(TestHugeValues)
#include "test_huge_values.moc"
