#include "model/Numbers.h"
#include "model/Profile.h"
#include "model/TemperatureProgram.h"

#include <QtTest>

namespace {
struct SlotText
{
    QString mode, temp, rate, time;
};
using Slots = QList<SlotText>;
using Points = QList<QPointF>;

TemperatureProgram programOf(const Slots &segs)
{
    TemperatureProgram p;
    for (int i = 0; i < segs.size(); ++i) {
        p.setCell(1, i + 1, segs[i].mode);
        p.setCell(2, i + 1, segs[i].temp);
        p.setCell(3, i + 1, segs[i].rate);
        p.setCell(4, i + 1, segs[i].time);
    }
    return p;
}

Points repeated(QPointF point, int count) { return Points(count, point); }
}

Q_DECLARE_METATYPE(Slots)

class TestProfile : public QObject
{
    Q_OBJECT
private slots:
    void points_data()
    {
        QTest::addColumn<double>("initial");
        QTest::addColumn<Slots>("segs");
        QTest::addColumn<Points>("expected");
        QTest::addColumn<QString>("text");

        QTest::newRow("ramp then unset segs drop to zero")
            << 25.0 << Slots{{"Ramp", "100.0", "5.0", "0.00"}} << Points{{0, 25}, {15, 100}} + repeated({15, 0}, 31)
            << "Total time:15min0sec(15.00min)";
        QTest::newRow("hold 10.30 is a level line for 10.5 minutes")
            << 40.0 << Slots{{"Hold", "0.0", "0.0", "10.30"}} << Points{{0, 40}, {10.5, 40}} + repeated({10.5, 0}, 31)
            << "Total time:10min30sec(10.50min)";
        QTest::newRow("ramp down takes as long as up")
            << 200.0 << Slots{{"Ramp", "50.0", "10.0", "0.00"}} << Points{{0, 200}, {15, 50}} + repeated({15, 0}, 31)
            << "Total time:15min0sec(15.00min)";
        QTest::newRow("rate 0 between set segs restarts from 0 deg C")
            << 20.0
            << Slots{{"Ramp", "100.0", "10.0", "0.00"},
                     {"Ramp", "50.0", "0.0", "0.00"},
                     {"Ramp", "120.0", "10.0", "0.00"}}
            << Points{{0, 20}, {8, 100}, {8, 0}, {20, 120}} + repeated({20, 0}, 29) << "Total time:20min0sec(20.00min)";
        QTest::newRow("all unset") << 30.0 << Slots{} << Points{{0, 30}} + repeated({0, 0}, 32)
                                   << "Total time:0min0sec(0.00min)";
        QTest::newRow("unknown mode point sorts after the points at time 0")
            << 10.0 << Slots{{"Hold", "0", "0", "1.00"}, {"Ramp ", "9", "9", "9"}, {"Hold", "0", "0", "2.00"}}
            << Points{{0, 10}, {0, 0}, {1, 10}, {2, 0}} + repeated({2, 0}, 29) << "Total time:3min0sec(3.00min)";
        QTest::newRow("seconds taken as they stand: 1.75 is 2.25 minutes")
            << 0.0 << Slots{{"Hold", "0", "0", "1.75"}} << Points{{0, 0}, {2.25, 0}} + repeated({2.25, 0}, 31)
            << "Total time:2min15sec(2.25min)";
        QTest::newRow("slot 32 is never drawn")
            << 0.0 << (Slots(32, {" ", "0.0", "0.0", "0.00"}) << SlotText{"Hold", "0", "0", "5.00"})
            << Points{{0, 0}} + repeated({0, 0}, 32) << "Total time:0min0sec(0.00min)";
    }

    void points()
    {
        QFETCH(double, initial);
        QFETCH(Slots, segs);
        QFETCH(Points, expected);
        QFETCH(QString, text);
        const Profile profile = computeProfile(initial, programOf(segs));
        QCOMPARE(profile.points.size(), 33);
        for (int i = 0; i < 33; ++i) {
            QVERIFY2(
                qFuzzyCompare(profile.points[i].x() + 1, expected[i].x() + 1)
                    && qFuzzyCompare(profile.points[i].y() + 1, expected[i].y() + 1),
                qPrintable(
                    QStringLiteral("point %1: (%2, %3)").arg(i).arg(profile.points[i].x()).arg(profile.points[i].y())));
        }
        QCOMPARE(totalTimeText(profile.totalMinutes), text);
    }

    void totalText_data()
    {
        QTest::addColumn<double>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("half") << 0.5 << "Total time:0min30sec(0.50min)";
        QTest::newRow("75.25") << 75.25 << "Total time:75min15sec(75.25min)";
        QTest::newRow("12.5") << 12.5 << "Total time:12min30sec(12.50min)";
        QTest::newRow("seconds never carry") << 15.0 / 15.1 << "Total time:0min60sec(0.99min)";
        QTest::newRow("large") << 3300.0 << "Total time:3300min0sec(3300.00min)";
        // A pasted hold of 1e20 is drawn before the check refuses it.
        QTest::newRow("beyond a 64-bit integer")
            << 1e20 << "Total time:100000000000000000000min0sec(100000000000000000000.00min)";
    }

    void totalText()
    {
        QFETCH(double, minutes);
        QFETCH(QString, text);
        QCOMPARE(totalTimeText(minutes), text);
    }

    void rampAt15_1GivesSixtySeconds()
    {
        const Profile p = computeProfile(0.0, programOf({{"Ramp", "15.0", "15.1", "0.00"}}));
        QCOMPARE(totalTimeText(p.totalMinutes), QString("Total time:0min60sec(0.99min)"));
    }

    void nonNumericCellRaisesAndNamesTheText_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("cellText");
        QTest::newRow("rate in column 20") << 3 << 20 << ".";
        QTest::newRow("blank temperature of an unset slot") << 2 << 5 << " ";
        QTest::newRow("empty time") << 4 << 32 << "";
    }

    void nonNumericCellRaisesAndNamesTheText()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, cellText);
        TemperatureProgram p;
        p.setCell(row, column, cellText);
        try {
            computeProfile(0, p);
            QFAIL("no conversion error");
        } catch (const ConversionError &e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(cellText));
        }
    }

    void timesThatOverflowGoLast()
    {
        // 10 minutes, then times of 1e308 minutes each way: infinity, then
        // infinity minus infinity; an unknown mode starts again from (0, 0).
        const Profile p = computeProfile(40.0,
                                         programOf({{"Hold", "0", "0", "10.00"},
                                                    {"Hold", "0", "0", "1e308"},
                                                    {"Hold", "0", "0", "-1e308"},
                                                    {"Other", "0", "0", "0"},
                                                    {"Hold", "0", "0", "5.00"}}));
        const Points finite = Points{{0, 40}, {0, 0}} + repeated({5, 0}, 28) + Points{{10, 40}};
        QCOMPARE(p.points.mid(0, 31), finite);
        QCOMPARE(p.points[31].x(), qInf());
        QVERIFY(std::isnan(p.points[32].x()));
        QCOMPARE(p.points[31].y(), 40.0);
        QCOMPARE(p.points[32].y(), 40.0);
    }

    void column33IsNotRead()
    {
        TemperatureProgram p;
        p.setCell(3, 33, "x");
        QCOMPARE(computeProfile(0, p).points.size(), 33);
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
