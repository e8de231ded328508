#include "model/TemperatureProgram.h"

#include <QtTest>

namespace {
QStringList slotCells(const TemperatureProgram &p, int col)
{
    QStringList cells;
    for (int r = TemperatureProgram::ModeRow; r <= TemperatureProgram::TimeRow; ++r)
        cells << p.cell(r, col);
    return cells;
}

const QStringList unset{" ", "0.0", "0.0", "0.00"};

// Fills slot n (column n + 1) with distinguishable texts.
void markSlots(TemperatureProgram &p, int lastColumn)
{
    for (int col = 1; col <= lastColumn; ++col) {
        p.setCell(TemperatureProgram::ModeRow, col, col % 2 ? "Ramp" : "Hold");
        p.setCell(TemperatureProgram::TempRow, col, QString::number(col) + ".0");
        p.setCell(TemperatureProgram::RateRow, col, QString::number(col % 20) + ".5");
        p.setCell(TemperatureProgram::TimeRow, col, QString::number(col) + ".30");
    }
}
}

class TestProgramModel : public QObject
{
    Q_OBJECT
private slots:
    void freshProgram()
    {
        TemperatureProgram p;
        QCOMPARE(p.colCount(), 33);
        QCOMPARE(p.cell(0, 0), QString(" Segment No."));
        QCOMPARE(p.cell(4, 0), QString(" Time(min.sec)"));
        for (int col = 1; col <= 33; ++col) {
            QCOMPARE(p.cell(0, col), QString::number(col - 1));
            QCOMPARE(slotCells(p, col), unset);
        }
    }

    void unsetModeWritesBareZeros()
    {
        TemperatureProgram p;
        p.setMode(4, "Ramp");
        p.setCell(2, 4, "150.0");
        p.setCell(3, 4, "5.0");
        p.setMode(4, "Hold");
        QCOMPARE(slotCells(p, 4), (QStringList{"Hold", "150.0", "5.0", "0.00"}));
        p.setMode(4, " ");
        QCOMPARE(slotCells(p, 4), (QStringList{" ", "0", "0", "0"}));
    }

    void insertAtSlotZeroShiftsEverySlotAndGrows()
    {
        TemperatureProgram p;
        markSlots(p, 33);
        const QStringList formerSlot31 = slotCells(p, 32);
        const QStringList formerSlot0 = slotCells(p, 1);
        p.insertSlot(1);
        QCOMPARE(p.colCount(), 34);
        QCOMPARE(slotCells(p, 1), unset);
        QCOMPARE(slotCells(p, 2), formerSlot0);
        QCOMPARE(slotCells(p, 33), formerSlot31); // slot 32 now holds the former slot 31
        for (int col = 1; col <= 33; ++col)
            QCOMPARE(p.cell(0, col), QString::number(col - 1));
    }

    void secondInsertFillsColumnPast33()
    {
        TemperatureProgram p;
        markSlots(p, 33);
        p.insertSlot(1);
        const QStringList slot32 = slotCells(p, 33);
        p.insertSlot(5);
        QCOMPARE(p.colCount(), 35);
        QCOMPARE(slotCells(p, 34), slot32);
        QCOMPARE(slotCells(p, 5), unset);
        QCOMPARE(p.cell(0, 34), QString("32")); // shifted along, not renumbered
    }

    void deleteShiftsLeftAndRefillsSlot32()
    {
        TemperatureProgram p;
        markSlots(p, 33);
        QList<QStringList> before;
        for (int col = 0; col <= 33; ++col)
            before << slotCells(p, col);
        p.deleteSlot(6); // slot 5
        QCOMPARE(p.colCount(), 33);
        for (int col = 1; col <= 5; ++col)
            QCOMPARE(slotCells(p, col), before[col]);
        for (int col = 6; col <= 32; ++col)
            QCOMPARE(slotCells(p, col), before[col + 1]);
        QCOMPARE(slotCells(p, 33), unset);
        for (int col = 1; col <= 33; ++col)
            QCOMPARE(p.cell(0, col), QString::number(col - 1));
    }

    void deletePullsColumnPast33IntoSlot32()
    {
        TemperatureProgram p;
        p.insertSlot(1);
        p.insertSlot(1);
        p.setCell(1, 34, "Hold");
        p.setCell(4, 34, "9.59");
        p.deleteSlot(33);
        // the refill of slot 32 wins over the pulled-in column
        QCOMPARE(slotCells(p, 33), unset);
        p.deleteSlot(32);
        QCOMPARE(slotCells(p, 32), unset);
    }

    void normaliseClearsUnusedCellsOfSetSlots()
    {
        TemperatureProgram p;
        p.setCell(1, 1, "Ramp");
        p.setCell(4, 1, "1.30");
        p.setCell(2, 1, "100.0");
        p.setCell(1, 2, "Hold");
        p.setCell(2, 2, "120.0");
        p.setCell(3, 2, "5.0");
        p.setCell(4, 2, "2.00");
        p.setMode(3, " ");
        p.normaliseForSave();
        QCOMPARE(slotCells(p, 1), (QStringList{"Ramp", "100.0", "0.0", "0.00"}));
        QCOMPARE(slotCells(p, 2), (QStringList{"Hold", "0.0", "0.0", "2.00"}));
        QCOMPARE(slotCells(p, 3), (QStringList{" ", "0", "0", "0"}));
    }

    void segmentCount_data()
    {
        // Cells of columns 1.. as "temperature/rate/time"; columns not listed hold zeros.
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("count");

        QTest::newRow("fresh program") << QStringList() << 0;
        QTest::newRow("zeros before the last non-zero column count")
            << QStringList{"0.0/0.0/0.00", "0.0/0.0/0.00", "100.0/0.0/0.00"} << 3;
        QTest::newRow("hold left with a temperature counts") << QStringList{"100.0/5.0/0.00", "50.0/0.0/0.00"} << 2;
        QTest::newRow("only a time") << QStringList{"0.0/0.0/0.01"} << 1;
        QTest::newRow("tiny value still counts") << QStringList{"0.001/0/0"} << 1;
        QTest::newRow("unset slot holding 0") << QStringList{"0/0/0"} << 0;
        QTest::newRow("values add up to 0") << QStringList{"-5.0/5.0/0.00"} << 0;
        QTest::newRow("negative value in the sum") << QStringList{"-5.0/0.0/12.30"} << 1;
        QTest::newRow("not a number counts 0") << QStringList{"1.0/0.0/0.00", "abc/0.0/0.00"} << 1;
        QTest::newRow("not a number beside a value") << QStringList{"abc/2.0/0.00"} << 1;
        QStringList thirtyThree;
        for (int c = 1; c <= 33; ++c)
            thirtyThree << "1.0/0.0/0.00";
        QTest::newRow("column 33 never counted") << thirtyThree << 32;
        QStringList onlyBeyond(32, "0.0/0.0/0.00");
        onlyBeyond << "1.0/1.0/1.00";
        QTest::newRow("value beyond column 32 only") << onlyBeyond << 0;
    }

    void segmentCount()
    {
        QFETCH(QStringList, columns);
        QFETCH(int, count);
        TemperatureProgram p;
        for (int col = 1; col <= columns.size(); ++col) {
            const QStringList cells = columns[col - 1].split(QLatin1Char('/'));
            for (int row = TemperatureProgram::TempRow; row <= TemperatureProgram::TimeRow; ++row)
                p.setCell(row, col, cells[row - TemperatureProgram::TempRow]);
        }
        QCOMPARE(p.segmentCount(), count);
    }
};

QTEST_GUILESS_MAIN(TestProgramModel)
#include "test_program_model.moc"
