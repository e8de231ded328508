#include "model/LabTerms.h"

#include "model/Numbers.h"

#include <QtTest>

using SegmentTable::Segment;

namespace {
// "Ramp;150.0;1.0;0.00|Hold;0.0;0.0;5.30": segments as compact text.
QString compact(const QList<Segment> &segments)
{
    QStringList parts;
    for (const Segment &s : segments)
        parts << QStringList{s.mode, s.temp, s.rate, s.time}.join(u';');
    return parts.join(u'|');
}

// A program whose slots from column 1 on are holds of a second, `set` of them.
TemperatureProgram holds(int set)
{
    TemperatureProgram table;
    for (int col = 1; col <= set; ++col) {
        table.setCell(TemperatureProgram::ModeRow, col, TemperatureProgram::ModeHold);
        table.setCell(TemperatureProgram::TimeRow, col, QStringLiteral("0.01"));
    }
    return table;
}
} // namespace

// Durations as the lab states them, and the segments the controller's steps
// make of them.
class TestLabTerms : public QObject
{
    Q_OBJECT
private slots:
    void durationText_data()
    {
        QTest::addColumn<double>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0:00:00";
        QTest::newRow("eleven minutes") << 11.0 << "0:11:00";
        QTest::newRow("rounded to the second") << 125.0 / 1.1 << "1:53:38";
        QTest::newRow("past a day") << 1666.0 + 40.0 / 60 << "27:46:40";
        QTest::newRow("negative") << -1.5 << "-0:01:30";
    }
    void durationText()
    {
        QFETCH(double, minutes);
        QFETCH(QString, text);
        QCOMPARE(LabTerms::durationText(minutes), text);
    }

    void parseDuration_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qlonglong>("seconds"); // -1: refused
        QTest::newRow("h:mm:ss") << "2:05:00" << 7500LL;
        QTest::newRow("h:mm") << " 3:00 " << 10800LL;
        QTest::newRow("minutes") << "90" << 5400LL;
        QTest::newRow("minutes with a fraction") << "1.5" << 90LL;
        QTest::newRow("minutes of 60 after a colon") << "1:60" << -1LL;
        QTest::newRow("seconds of 60") << "0:10:60" << -1LL;
        QTest::newRow("negative") << "-5" << -1LL;
        QTest::newRow("words") << "2 h" << -1LL;
        QTest::newRow("empty") << "" << -1LL;
    }
    void parseDuration()
    {
        QFETCH(QString, text);
        QFETCH(qlonglong, seconds);
        QCOMPARE(LabTerms::parseDuration(text).value_or(-1), seconds);
    }

    void holdPlan_data()
    {
        QTest::addColumn<qlonglong>("seconds");
        QTest::addColumn<QString>("times");
        QTest::addColumn<QString>("text");
        QTest::newRow("fits one segment") << 330LL << "5.30"
                                          << "Hold 5.30, 0:05:30";
        QTest::newRow("the longest one holds") << 5999LL << "99.59"
                                               << "Hold 99.59, 1:39:59";
        QTest::newRow("a second more") << 6000LL << "99.59|0.01"
                                       << "2 holds: 99.59 + 0.01, 1:40:00";
        QTest::newRow("three hours") << 10800LL << "99.59|80.01"
                                     << "2 holds: 99.59 + 80.01, 3:00:00";
        QTest::newRow("two full segments, no empty third") << 11998LL << "99.59|99.59"
                                                           << "2 holds: 99.59 + 99.59, 3:19:58";
        QTest::newRow("none") << 0LL << "0.00"
                              << "Hold 0.00, 0:00:00";
    }
    void holdPlan()
    {
        QFETCH(qlonglong, seconds);
        QFETCH(QString, times);
        QFETCH(QString, text);
        const LabTerms::Plan plan = LabTerms::holdPlan(seconds);
        QStringList got;
        long long sum = 0;
        for (const Segment &s : plan.segments) {
            QCOMPARE(s.mode, TemperatureProgram::ModeHold);
            got << s.time;
            sum += LabTerms::secondsOfMinSec(toDouble(s.time));
        }
        QCOMPARE(got.join(u'|'), times);
        QCOMPARE(sum, seconds);
        QCOMPARE(plan.text, text);
    }

    void rampPlans_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<qlonglong>("seconds");
        QTest::addColumn<QString>("plans"); // each plan's segments, nearest first, joined by " / "
        QTest::addColumn<QString>("asked");
        // 125 deg C in 2 h is 1.0417 deg C/min: 1.0 takes 7500 s, 1.1 takes
        // 6818.2 s. 70.0 deg C at 1.0 and 55.0 at 1.1 take 4200 + 3000 s.
        QTest::newRow("25 to 150 in 2 h: two ramps, then the nearest rates")
            << 25.0 << 150.0 << 7200LL
            << "Ramp;95.0;1.0;0.00|Ramp;150.0;1.1;0.00 / Ramp;150.0;1.0;0.00 / Ramp;150.0;1.1;0.00"
            << "asked 2:00:00; 1.0 °C/min gives 2:05:00, 1.1 gives 1:53:38";
        QTest::newRow("exact rate: one plan") << 25.0 << 150.0 << 3000LL << "Ramp;150.0;2.5;0.00"
                                              << "asked 0:50:00; 2.5 °C/min gives 0:50:00";
        QTest::newRow("0.1 deg C/min over 300 deg C") << 0.0 << 300.0 << 180000LL << "Ramp;300.0;0.1;0.00"
                                                      << "asked 50:00:00; 0.1 °C/min gives 50:00:00";
        QTest::newRow("cooling") << 150.0 << 50.0 << 3750LL << "Ramp;50.0;1.6;0.00"
                                 << "asked 1:02:30; 1.6 °C/min gives 1:02:30";
        QTest::newRow("slower than the slowest rate") << 0.0 << 1.0 << 60000LL << "Ramp;1.0;0.1;0.00"
                                                      << "asked 16:40:00; 0.1 °C/min gives 0:10:00";
        QTest::newRow("faster than the fastest rate") << 0.0 << 300.0 << 600LL << ""
                                                      << "asked 0:10:00";
        QTest::newRow("no change of temperature") << 80.0 << 80.0 << 600LL << ""
                                                  << "asked 0:10:00";
    }
    void rampPlans()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(qlonglong, seconds);
        QFETCH(QString, plans);
        QFETCH(QString, asked);
        const QList<LabTerms::Plan> got = LabTerms::rampPlans(from, to, seconds);
        QStringList texts;
        for (const LabTerms::Plan &plan : got) {
            texts << compact(plan.segments);
            // What a plan says it takes is what its segments take.
            double sum = 0;
            double start = from;
            for (const Segment &s : plan.segments) {
                sum += LabTerms::rampSeconds(start, toDouble(s.temp), toDouble(s.rate));
                start = toDouble(s.temp);
            }
            QCOMPARE(plan.seconds, sum);
        }
        QCOMPARE(texts.join(QStringLiteral(" / ")), plans);
        QCOMPARE(LabTerms::askedText(seconds, got), asked);
        if (got.size() == 3)
            QVERIFY(std::abs(got.first().seconds - seconds) <= 1);
    }

    void resolveDurations_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("segments");
        QTest::addColumn<QString>("notes");
        QTest::newRow("a plan in hours from 25.0")
            << "Mode,Temp,Rate,Duration\nRamp,150,,2:00:00\nHold,,,3:00:00\nRamp,50,,50\n"
            << "Ramp;95.0;1.0;0.00|Ramp;150.0;1.1;0.00|Hold;0.0;0.0;99.59|Hold;0.0;0.0;80.01|Ramp;50.0;2.0;0.00"
            << "line 2: Ramp 25.0 to 150.0 in 2:00:00 -> 2 ramps: to 95.0 at 1.0, then 1.1 °C/min, 2:00:00\n"
               "line 3: Hold in 3:00:00 -> 2 holds: 99.59 + 80.01, 3:00:00";
        QTest::newRow("a ramp by rate moves the start; exact is no note")
            << "Mode,Temp,Rate,Time,Duration\nRamp,100,10,,\nHold,,,,1:00\nRamp,0,,,10\n"
            << "Ramp;100.0;10.0;0.00|Hold;0.0;0.0;60.00|Ramp;0.0;10.0;0.00"
            << "";
        QTest::newRow("too fast") << "Mode,Temp,Duration\nRamp,300,0:01:00\n"
                                  << ""
                                  << "Line 2: Ramp 25.0 to 300.0 in 0:01:00: no rate of 0.1 - 20.0 °C/min does it.";
    }
    void resolveDurations()
    {
        QFETCH(QString, table);
        QFETCH(QString, segments);
        QFETCH(QString, notes);
        const SegmentTable::ReadResult read = SegmentTable::read(table);
        QCOMPARE(read.error, QString());
        const LabTerms::Resolved resolved = LabTerms::resolveDurations(read, 25.0);
        QCOMPARE(compact(resolved.segments), segments);
        QCOMPARE(resolved.error.isEmpty() ? resolved.notes.join(u'\n') : resolved.error, notes);
    }

    void replaceRefusal_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("one for one in a full program") << 32 << 5 << 1 << "";
        QTest::newRow("two for one with a free slot") << 31 << 5 << 2 << "";
        QTest::newRow("past 32 segments")
            << 31 << 5 << 3
            << "3 segments cannot go in before segment 4: 2 fit there without pushing a set segment past segment 31.";
        QTest::newRow("after the set segments") << 10 << 30 << 3 << "";
    }
    void replaceRefusal()
    {
        QFETCH(int, set);
        QFETCH(int, col);
        QFETCH(int, count);
        QFETCH(QString, refusal);
        TemperatureProgram table = holds(set);
        QCOMPARE(LabTerms::replaceRefusal(table, col, count), refusal);
        if (!refusal.isEmpty())
            return;
        const LabTerms::Plan plan = LabTerms::holdPlan(count * LabTerms::LongestHoldSeconds);
        QCOMPARE(plan.segments.size(), count);
        LabTerms::replace(table, col, plan.segments);
        // The replaced slot's followers move on, none is lost.
        QCOMPARE(table.cell(TemperatureProgram::TimeRow, col), QStringLiteral("99.59"));
        QCOMPARE(table.cell(TemperatureProgram::TimeRow, col + count),
                 col < set ? QStringLiteral("0.01") : QStringLiteral("0.00"));
        QCOMPARE(SegmentTable::lastSetColumn(table), std::max(set + count - 1, col + count - 1));
    }
};

QTEST_APPLESS_MAIN(TestLabTerms)
#include "test_lab_terms.moc"
