#include "model/Profile.h"
#include "model/ProfileReadout.h"
#include "model/TemperatureProgram.h"
#include "tests/support/ExampleProfile.h"

#include <QtTest>

class TestProfileReadout : public QObject
{
    Q_OBJECT
private slots:
    void reading_data()
    {
        QTest::addColumn<double>("minutes");
        QTest::addColumn<int>("slot"); // -1: none
        QTest::addColumn<double>("temperature");
        QTest::addColumn<QString>("text");

        QTest::newRow("before the first point") << -0.5 << -1 << 0.0 << "-0:00:30  before the start";
        QTest::newRow("at the start") << 0.0 << 0 << 40.0
                                      << "0:00:00  40.0 °C  Segment 0 Ramp 40.0 → 150.0 °C, 0:00:00 – 0:11:00";
        QTest::newRow("half way up the ramp")
            << 5.5 << 0 << 95.0 << "0:05:30  95.0 °C  Segment 0 Ramp 40.0 → 150.0 °C, 0:00:00 – 0:11:00";
        QTest::newRow("a joint belongs to the next slot")
            << 11.0 << 1 << 150.0 << "0:11:00  150.0 °C  Segment 1 Hold 150.0 °C, 0:11:00 – 0:16:30";
        QTest::newRow("on the hold") << 14.0 + 5.0 / 60 << 1 << 150.0
                                     << "0:14:05  150.0 °C  Segment 1 Hold 150.0 °C, 0:11:00 – 0:16:30";
        QTest::newRow("down the last ramp")
            << 18.75 << 2 << 105.0 << "0:18:45  105.0 °C  Segment 2 Ramp 150.0 → 60.0 °C, 0:16:30 – 0:21:00";
        QTest::newRow("the very end belongs to the last slot")
            << 21.0 << 2 << 60.0 << "0:21:00  60.0 °C  Segment 2 Ramp 150.0 → 60.0 °C, 0:16:30 – 0:21:00";
        QTest::newRow("after the end") << 21.5 << -1 << 0.0 << "0:21:30  after the end";
        QTest::newRow("far past any program, held at 1e15 s")
            << 1e300 << -1 << 0.0 << "277777777777:46:40  after the end";
    }

    void reading()
    {
        QFETCH(double, minutes);
        QFETCH(int, slot);
        QFETCH(double, temperature);
        QFETCH(QString, text);
        const Profile profile = exampleProfile();
        const ProfileReading reading = readProfile(profile, minutes);
        QCOMPARE(reading.onProfile() ? profile.segments[reading.segment].slot() : -1, slot);
        if (reading.onProfile())
            QCOMPARE(reading.temperature, temperature);
        QCOMPARE(readoutText(profile, reading), text);
    }

    void segmentsAreTheDrawnPoints()
    {
        // Each slot starts where the one before ended, and its end is a point of the line.
        const Profile profile = exampleProfile();
        QCOMPARE(profile.segments.size(), 32);
        QCOMPARE(profile.segments[0].start, profile.points[0]);
        for (int i = 0; i < profile.segments.size(); ++i) {
            QCOMPARE(profile.segments[i].column, i + 1);
            QVERIFY(profile.points.contains(profile.segments[i].end));
            if (i > 0)
                QCOMPARE(profile.segments[i].start, profile.segments[i - 1].end);
        }
    }

    void numberTip()
    {
        const Profile profile = exampleProfile();
        QCOMPARE(segmentTimesText(profile.segments[1]), "Start 0:11:00 at 150.0 °C\nEnd 0:16:30 at 150.0 °C");
        QCOMPARE(segmentTimesText(profile.segments[2]), "Start 0:16:30 at 150.0 °C\nEnd 0:21:00 at 60.0 °C");
        // A file's 1e308: the value as messages quote it, the time held.
        const ProfileSegment huge{1, "Ramp", {0, 40}, {1e307, 1e308}};
        QCOMPARE(segmentTimesText(huge), "Start 0:00:00 at 40.0 °C\nEnd 277777777777:46:40 at 1e308 °C");
    }

    void minSec_data()
    {
        QTest::addColumn<double>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole minutes") << 11.0 << "11.00";
        QTest::newRow("half a minute") << 16.5 << "16.30";
        QTest::newRow("seconds rounded") << 14.0 + 5.4 / 60 << "14.05";
        QTest::newRow("rounding carries into the minutes") << 14.0 + 59.6 / 60 << "15.00";
        QTest::newRow("before the start") << -0.5 << "-0.30";
    }

    void minSec()
    {
        QFETCH(double, minutes);
        QFETCH(QString, text);
        QCOMPARE(minSecText(minutes), text);
    }

    void summary_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QStringList>("slot0"); // mode, temperature, rate, time
        QTest::addColumn<bool>("example");      // slots 0 to 2 of the example instead
        QTest::addColumn<QString>("text");
        QTest::newRow("the example") << "40.0" << QStringList{} << true << "3 segments, 0:21:00, highest 150.0 °C";
        QTest::newRow("one hold") << "25.35" << QStringList{"Hold", "0.0", "0.0", "1.30"} << false
                                  << "1 segment, 0:01:30, highest 25.4 °C";
        QTest::newRow("nothing set") << "0.0" << QStringList{} << false << "0 segments, 0:00:00, highest 0.0 °C";
    }

    void summary()
    {
        QFETCH(QString, initial);
        QFETCH(QStringList, slot0);
        QFETCH(bool, example);
        QFETCH(QString, text);
        Profile profile = exampleProfile();
        if (!example) {
            TemperatureProgram program;
            for (int row = 1; row <= slot0.size(); ++row)
                program.setCell(row, 1, slot0[row - 1]);
            profile = computeProfile(initial.toDouble(), program);
        }
        QCOMPARE(profileSummary(profile), text);
    }

    void summaryWithoutAProfile() { QCOMPARE(profileSummary(Profile()), QString("No profile drawn")); }
};

QTEST_GUILESS_MAIN(TestProfileReadout)
#include "test_profile_readout.moc"
