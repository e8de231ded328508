#include "model/AxisLabels.h"

#include <QtTest>
#include <limits>

// The label steps of the profile plot's axes.
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
        QTest::newRow("a tall axis still has at most 100 steps") << 96000.0 << 1e7 << 1.0 << 0.0 << 1000.0;
        QTest::newRow("largest double deg C") << std::numeric_limits<double>::max() << 53.0 << 15.0 << 0.0 << 5e8;
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

    // Whatever a file holds, an axis ends where it can be labelled and gets
    // a bounded number of labels.
    void anyValueGetsABoundedAxis_data()
    {
        QTest::addColumn<double>("largest");
        QTest::addColumn<double>("end");
        QTest::addColumn<int>("labels"); // 686 pixels, 40 apart, 5-minute floor
        const double huge = std::numeric_limits<double>::max();
        QTest::newRow("example, 21 min") << 21.0 << 21.0 << 5;
        QTest::newRow("96,000 min") << 96000.0 << 96000.0 << 10;
        QTest::newRow("the limit itself") << AxisLimit << AxisLimit << 11;
        QTest::newRow("1e308") << 1e308 << AxisLimit << 11;
        QTest::newRow("largest double") << huge << AxisLimit << 11;
        QTest::newRow("infinity") << qInf() << AxisLimit << 11;
        QTest::newRow("NaN") << qQNaN() << 1.0 << 1;
        QTest::newRow("negative") << -50.0 << 1.0 << 1;
        QTest::newRow("minus infinity") << -qInf() << 1.0 << 1;
        QTest::newRow("zero") << 0.0 << 1.0 << 1;
    }

    void anyValueGetsABoundedAxis()
    {
        QFETCH(double, largest);
        QFETCH(double, end);
        QFETCH(int, labels);
        QCOMPARE(axisEnd(largest), end);
        QCOMPARE(axisEnds({{0, 0}, {largest, largest}, {qQNaN(), 1e300}}), QPointF(end, end));
        const double step = axisLabelStep(largest, 686, 40, 5);
        QCOMPARE(axisLabelCount(axisEnd(largest), step), labels);
    }

    void labelCount_data()
    {
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("labels");
        QTest::newRow("0.3 at 0.1: the label on the end counts") << 0.3 << 0.1 << 4;
        QTest::newRow("1e308 at 1: held at 201") << 1e308 << 1.0 << 2 * MaxAxisSteps + 1;
        QTest::newRow("NaN value") << qQNaN() << 5.0 << 1;
        QTest::newRow("step 0") << 100.0 << 0.0 << 1;
        QTest::newRow("NaN step") << 100.0 << qQNaN() << 1;
    }

    void labelCount()
    {
        QFETCH(double, maxValue);
        QFETCH(double, step);
        QFETCH(int, labels);
        QCOMPARE(axisLabelCount(maxValue, step), labels);
    }

    void drawnPointsStayNearTheAxes()
    {
        const QPointF ends(21, 150);
        // Within 100 axis lengths (2,100 minutes, 15,000 deg C), on the way from the origin.
        const QList<QPointF> points{{0, 40},      {1000, 20000}, {1e308, 40},    {5, -qInf()},
                                    {qQNaN(), 3}, {21, qQNaN()}, {-1e308, 1e308}};
        const QList<QPointF> drawn{{0, 40}, {750, 15000}, {2100, 0}, {0, -15000}, {-2100, 2100}};
        QCOMPARE(drawnPoints(points, ends), drawn);
    }
};

QTEST_MAIN(TestAxisLabels)
#include "test_axis_labels.moc"
