#include "AxisLabels.h"

#include <QtTest>

// The label steps of the charts' axes.
class TestAxisLabels : public QObject
{
    Q_OBJECT
private slots:
    void labelStep_data()
    {
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<double>("axisPixels");
        QTest::addColumn<double>("minLabelPixels");
        QTest::addColumn<double>("minStep");
        QTest::addColumn<double>("step");
        QTest::newRow("example, 21 min: the 5-minute floor") << 21.0 << 686.0 << 40.0 << 5.0 << 5.0;
        QTest::newRow("96,000 min") << 96000.0 << 686.0 << 40.0 << 5.0 << 10000.0;
        QTest::newRow("99,601 min") << 99601.0 << 686.0 << 40.0 << 5.0 << 10000.0;
        QTest::newRow("3,200 min on a narrow axis") << 3200.0 << 300.0 << 40.0 << 5.0 << 500.0;
        QTest::newRow("150 deg C") << 150.0 << 53.0 << 15.0 << 0.0 << 50.0;
        QTest::newRow("112.5 deg C") << 112.5 << 53.0 << 15.0 << 0.0 << 50.0;
        QTest::newRow("300.001 deg C keeps 100") << 300.001 << 53.0 << 15.0 << 0.0 << 100.0;
        QTest::newRow("0.1 deg C") << 0.1 << 53.0 << 15.0 << 0.0 << 0.05;
        QTest::newRow("exactly a step: 0.3 over 3 labels") << 0.3 << 45.0 << 15.0 << 0.0 << 0.1;
        QTest::newRow("no room: one step spans it") << 100.0 << 0.0 << 15.0 << 0.0 << 2000.0;
        QTest::newRow("a 1e300 value") << 1e300 << 686.0 << 40.0 << 5.0 << 1e299;
    }

    void labelStep()
    {
        QFETCH(double, maxValue);
        QFETCH(double, axisPixels);
        QFETCH(double, minLabelPixels);
        QFETCH(double, minStep);
        QFETCH(double, step);
        const double got = axisLabelStep(maxValue, axisPixels, minLabelPixels, minStep);
        QVERIFY2(qAbs(got - step) <= step * 1e-12, qPrintable(QString::number(got)));
    }
};

QTEST_MAIN(TestAxisLabels)
#include "test_axis_labels.moc"
