#include "model/ProgramComparison.h"

#include <QtTest>

using Difference = ProgramComparison::Difference;
using Segment = SentProgram::Segment;
Q_DECLARE_METATYPE(SentProgram)

namespace {
const Segment Ramp100{QStringLiteral("Ramp"), QStringLiteral("100.0"), QStringLiteral("5.0"), QStringLiteral("0.00")};
const Segment Hold130{QStringLiteral("Hold"), QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("1.30")};

SentProgram program(const QString &initial, const QList<Segment> &segments)
{
    return SentProgram{1, initial, segments};
}
} // namespace

class TestProgramComparison : public QObject
{
    Q_OBJECT
private slots:
    void compare_data()
    {
        QTest::addColumn<SentProgram>("recorded");
        QTest::addColumn<SentProgram>("now");
        QTest::addColumn<QList<Difference>>("expected");
        QTest::addColumn<int>("changedSegments");

        const SentProgram base = program(QStringLiteral("25.00"), {Ramp100, Hold130});
        QTest::newRow("same") << base << base << QList<Difference>{} << 0;
        QTest::newRow("same value, other text")
            << base
            << program(
                   QStringLiteral("25"),
                   {{QStringLiteral("Ramp"), QStringLiteral("100"), QStringLiteral("5"), QStringLiteral("0")}, Hold130})
            << QList<Difference>{} << 0;
        QTest::newRow("initial temp is no segment")
            << base << program(QStringLiteral("30.00"), {Ramp100, Hold130})
            << QList<Difference>{{ProgramComparison::InitialTemperature, QStringLiteral("Initial temp."),
                                  QStringLiteral("25.00"), QStringLiteral("30.00")}}
            << 0;
        QTest::newRow("one field")
            << base
            << program(QStringLiteral("25.00"),
                       {Ramp100,
                        {QStringLiteral("Hold"), QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("2.00")}})
            << QList<Difference>{{1, QStringLiteral("Time"), QStringLiteral("1.30"), QStringLiteral("2.00")}} << 1;
        QTest::newRow("mode and its values")
            << base << program(QStringLiteral("25.00"), {Hold130, Hold130})
            << QList<Difference>{{0, QStringLiteral("Mode"), QStringLiteral("Ramp"), QStringLiteral("Hold")},
                                 {0, QStringLiteral("Temp."), QStringLiteral("100.0"), QStringLiteral("0.0")},
                                 {0, QStringLiteral("Rate"), QStringLiteral("5.0"), QStringLiteral("0.0")},
                                 {0, QStringLiteral("Time"), QStringLiteral("0.00"), QStringLiteral("1.30")}}
            << 1;
        const QString none = QStringLiteral("(none)");
        QTest::newRow("segment added") << program(QStringLiteral("25.00"), {Ramp100}) << base
                                       << QList<Difference>{{1, QStringLiteral("Mode"), none, QStringLiteral("Hold")},
                                                            {1, QStringLiteral("Temp."), none, QStringLiteral("0.0")},
                                                            {1, QStringLiteral("Rate"), none, QStringLiteral("0.0")},
                                                            {1, QStringLiteral("Time"), none, QStringLiteral("1.30")}}
                                       << 1;
        QTest::newRow("segment removed") << base << program(QStringLiteral("25.00"), {Ramp100})
                                         << QList<Difference>{{1, QStringLiteral("Mode"), QStringLiteral("Hold"), none},
                                                              {1, QStringLiteral("Temp."), QStringLiteral("0.0"), none},
                                                              {1, QStringLiteral("Rate"), QStringLiteral("0.0"), none},
                                                              {1, QStringLiteral("Time"), QStringLiteral("1.30"), none}}
                                         << 1;
        QTest::newRow("program number is no segment")
            << base << SentProgram{2, QStringLiteral("25.00"), {Ramp100, Hold130}}
            << QList<Difference>{{ProgramComparison::ProgramNo, QStringLiteral("Program No."), QStringLiteral("1"),
                                  QStringLiteral("2")}}
            << 0;
        QTest::newRow("text that is no number")
            << program(QStringLiteral("x"), {}) << program(QStringLiteral("x "), {}) << QList<Difference>{} << 0;
    }

    void compare()
    {
        QFETCH(SentProgram, recorded);
        QFETCH(SentProgram, now);
        QFETCH(QList<Difference>, expected);
        QFETCH(int, changedSegments);
        const QList<Difference> differences = ProgramComparison::compare(recorded, now);
        QCOMPARE(differences, expected);
        QCOMPARE(ProgramComparison::changedSegments(differences), changedSegments);
    }

    // Each differing field's cell and its segment's number, once.
    void cellsOfTheDifferences()
    {
        const QList<Difference> differences{{ProgramComparison::InitialTemperature, QStringLiteral("Initial temp."),
                                             QStringLiteral("1"), QStringLiteral("2")},
                                            {1, QStringLiteral("Temp."), QStringLiteral("1"), QStringLiteral("2")},
                                            {1, QStringLiteral("Rate"), QStringLiteral("1"), QStringLiteral("2")},
                                            {4, QStringLiteral("Time"), QStringLiteral("1"), QStringLiteral("2")}};
        QCOMPARE(ProgramComparison::cellsOf(differences),
                 (QList<QPoint>{{2, TemperatureProgram::NumberRow},
                                {2, TemperatureProgram::TempRow},
                                {2, TemperatureProgram::RateRow},
                                {5, TemperatureProgram::NumberRow},
                                {5, TemperatureProgram::TimeRow}}));
    }

    // The table read back gives the same program, and the save's forms:
    // a Ramp keeps no time, a Hold no temperature or rate.
    void tableRoundTrip()
    {
        TemperatureProgram table;
        table.initialise();
        table.setMode(1, QStringLiteral("Ramp"));
        table.setCell(TemperatureProgram::TempRow, 1, QStringLiteral("100.0"));
        table.setCell(TemperatureProgram::RateRow, 1, QStringLiteral("5.0"));
        table.setCell(TemperatureProgram::TimeRow, 1, QStringLiteral("3.00"));
        table.setMode(2, QStringLiteral("Hold"));
        table.setCell(TemperatureProgram::TempRow, 2, QStringLiteral("80.0"));
        table.setCell(TemperatureProgram::TimeRow, 2, QStringLiteral("1.30"));
        const SentProgram sent = SentProgram::fromTable(3, QStringLiteral("25.00"), table);
        QCOMPARE(sent.segments, (QList<Segment>{Ramp100, Hold130}));
        QCOMPARE(SentProgram::fromTable(3, QStringLiteral("25.00"), sent.toTable()), sent);
    }
};

QTEST_GUILESS_MAIN(TestProgramComparison)
#include "test_program_comparison.moc"
