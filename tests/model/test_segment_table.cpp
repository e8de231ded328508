#include "model/SegmentTable.h"

#include <QtTest>

using SegmentTable::Segment;

namespace {
// "Ramp;150.0;10.0;0.00|Hold;0.0;0.0;5.30": segments as compact text.
QString compact(const QList<Segment> &segments)
{
    QStringList parts;
    for (const Segment &s : segments)
        parts << QStringList{s.mode, s.temp, s.rate, s.time}.join(u';');
    return parts.join(u'|');
}

// A fresh program with the given cells set from column 1 on, in compact text.
TemperatureProgram programOf(const QString &cells, int firstCol = 1)
{
    TemperatureProgram table;
    int col = firstCol;
    for (const QString &slot : cells.split(u'|', Qt::SkipEmptyParts)) {
        const QStringList cells = slot.split(u';');
        for (int i = 0; i < 4; ++i)
            table.setCell(TemperatureProgram::ModeRow + i, col, cells[i]);
        ++col;
    }
    return table;
}

QString slotsOf(const TemperatureProgram &table, int firstCol, int lastCol)
{
    QStringList parts;
    for (int col = firstCol; col <= lastCol; ++col) {
        QStringList cells;
        for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row)
            cells << table.cell(row, col);
        parts << cells.join(u';');
    }
    return parts.join(u'|');
}

const QString Header = QStringLiteral("Mode\tTemp.(deg C)\tRate(deg C/min)\tTime(min.sec)\n");
} // namespace

// The table text a spreadsheet exchanges with the grid, read and written.
class TestSegmentTable : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("segments"); // compact; empty when refused
        QTest::addColumn<QString>("error");

        const QString ramp = QStringLiteral("Ramp;150.0;10.0;0.00");
        const QString hold = QStringLiteral("Hold;0.0;0.0;5.30");
        QTest::newRow("tabs with the header") << Header + "Ramp\t150.0\t10.0\t\nHold\t\t\t5.30\n"
                                              << ramp + '|' + hold << "";
        QTest::newRow("tabs, no header, CR LF") << "Ramp\t150\t10\t\r\nHold\t\t\t5.3\r\n" << ramp + '|' + hold << "";
        QTest::newRow("commas, no header, no final line end") << "Ramp,150,10,\nHold,,,5.30" << ramp + '|' + hold << "";
        QTest::newRow("header in another order, short names") << "time\trate\tTEMP\tmode\n\t10\t150\tramp\n"
                                                              << ramp << "";
        QTest::newRow("header in another order")
            << "Time(min.sec),Mode,Rate(deg C/min),Temp.(deg C)\n5.30,hold,,\n,RAMP,10,150\n"
            << hold + '|' + ramp << "";
        QTest::newRow("letter case and blanks around") << "  rAmP \t 150.0 \t10.0\t\n" << ramp << "";
        QTest::newRow("empty lines skipped, a line of tabs is an unset slot") << "\nRamp\t150\t10\t\n\n\t\t\t\n"
                                                                              << ramp + "| ;0.0;0.0;0.00"
                                                                              << "";
        QTest::newRow("commas only: unset slot") << ",,,\nHold,,,5.30\n"
                                                 << " ;0.0;0.0;0.00|" + hold << "";
        QTest::newRow("no mode, values of 0: the grid's unset slot") << ",0,0.0,0.00\n,-0,,0\n"
                                                                     << " ;0.0;0.0;0.00| ;0.0;0.0;0.00"
                                                                     << "";
        QTest::newRow("no mode, a value other than 0")
            << "Ramp,150,10,\n,0,10,\n"
            << ""
            << "Line 2, column 3 (Rate(deg C/min)): \"10\" is given without a mode (Ramp or Hold); an unset segment holds 0.";
        QTest::newRow("no mode, a time in a moved column")
            << "Time,Mode\n5.30,\n"
            << ""
            << "Line 2, column 1 (Time(min.sec)): \"5.30\" is given without a mode (Ramp or Hold); an unset segment holds 0.";
        QTest::newRow("values a mode does not use are checked and kept") << "Hold\t120\t5\t5.30\n"
                                                                         << "Hold;120.0;5.0;5.30"
                                                                         << "";
        QTest::newRow("decimal comma with tabs") << "Ramp\t150,5\t2,5\t\nHold\t\t\t5,3\n"
                                                 << "Ramp;150.5;2.5;0.00|Hold;0.0;0.0;5.30"
                                                 << "";
        QTest::newRow("decimal comma quoted among commas") << "Ramp,\"150,5\",\"2,5\",\nHold,,,\"1,30\"\n"
                                                           << "Ramp;150.5;2.5;0.00|Hold;0.0;0.0;1.30"
                                                           << "";
        QTest::newRow("quoted field with a doubled quote is its text")
            << "\"Ramp\",\"150\",\"1\"\"0\",\n"
            << ""
            << "Line 1, column 3 (Rate(deg C/min)): \"1\"0\" is not a number.";
        QTest::newRow("a thousands separator is no decimal comma")
            << "Ramp\t1,250\t10\t\n"
            << ""
            << "Line 1, column 2 (Temp.(deg C)): \"1,250\" is not a number.";
        QTest::newRow("comma and point together") << "Ramp\t1,200.5\t10\t\n"
                                                  << ""
                                                  << "Line 1, column 2 (Temp.(deg C)): \"1,200.5\" is not a number.";
        QTest::newRow("unquoted decimal comma among commas: too many fields")
            << "Ramp,150,5,10,\n"
            << ""
            << "Line 1: 5 fields where the table has 4 (a decimal comma between commas must be quoted).";
        QTest::newRow("temperature out of range")
            << Header + "Ramp\t350\t10\t\n"
            << ""
            << "Line 2, column 2 (Temp.(deg C)): \"350\" is out of range 0 - 300.0.";
        QTest::newRow("negative rate") << "Ramp\t100\t-1\t\n"
                                       << ""
                                       << "Line 1, column 3 (Rate(deg C/min)): \"-1\" is out of range 0 - 20.0.";
        QTest::newRow("seconds of 60")
            << "Ramp\t100\t1\t\nHold\t\t\t2.60\n"
            << ""
            << "Line 2, column 4 (Time(min.sec)): \"2.60\" is not a time of 0.00 - 99.59 (min.sec, seconds below 60).";
        QTest::newRow("time of 100 minutes")
            << "Hold,,,100\n"
            << ""
            << "Line 1, column 4 (Time(min.sec)): \"100\" is not a time of 0.00 - 99.59 (min.sec, seconds below 60).";
        QTest::newRow("not a number, counted from a moved column")
            << "Temp,Mode\n150,Ramp\n1e,Ramp\n"
            << ""
            << "Line 3, column 1 (Temp.(deg C)): \"1e\" is not a number.";
        QTest::newRow("unknown mode") << "Ramp\t1\t1\t\nRmp\t1\t1\t\n"
                                      << ""
                                      << "Line 2, column 1 (Mode): \"Rmp\" is not Ramp or Hold.";
        QTest::newRow("a value past the four columns") << "Ramp\t1\t1\t\tx\n"
                                                       << ""
                                                       << "Line 1, column 5: \"x\" is in no column of a segment.";
        QTest::newRow("blank fields past the four columns") << "Ramp\t150\t10\t\t\t\n" << ramp << "";
        QTest::newRow("unknown header name")
            << "Mode,Temp,Speed\n"
            << ""
            << "Line 1, column 3: \"Speed\" names no column of a segment (Mode, Temp.(deg C), Rate(deg C/min), Time(min.sec), Duration).";
        QTest::newRow("column named twice") << "Mode,Temp,Temperature\n"
                                            << ""
                                            << "Line 1, column 3: \"Temperature\" is a second Temp.(deg C) column.";
        QTest::newRow("header without Mode") << "Temp,Rate\n"
                                             << ""
                                             << "Line 1: the header has no Mode column.";
        QTest::newRow("quote not closed") << "Ramp,\"150,10\n"
                                          << ""
                                          << "Line 1: a quote is not closed.";
        QTest::newRow("binary") << QString("Ramp\t1\t1\t\n\x01\x02\x7f") << ""
                                << "Line 2 holds characters that are not text.";
        QTest::newRow("replacement characters") << QString("Ramp\t1\t1\t") + QChar(0xFFFD) << ""
                                                << "Line 1 holds characters that are not text.";
        QTest::newRow("empty") << ""
                               << ""
                               << "The text holds no segments.";
        QTest::newRow("header alone") << Header << ""
                                      << "The text holds no segments.";
        QTest::newRow("too long") << QString(SegmentTable::MaximumTextSize + 1, u'\n') << ""
                                  << "The text is too long for a table of segments (1048577 characters).";
        QTest::newRow("too many lines") << QString("Hold,,,1\n").repeated(1001) << ""
                                        << "The text has more than 1000 lines of segments; a program holds 32.";
    }

    void read()
    {
        QFETCH(QString, text);
        QFETCH(QString, segments);
        QFETCH(QString, error);
        const SegmentTable::ReadResult result = SegmentTable::read(text);
        QCOMPARE(result.error, error);
        QCOMPARE(compact(result.segments), segments);
    }

    void readDurations_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("durations"); // per segment, joined by "|"; empty when refused
        QTest::addColumn<QString>("error");
        QTest::newRow("a ramp without its rate, a hold without its time")
            << "Mode,Temp,Rate,Time,Duration\nRamp,150,,,2:00:00\nHold,,,,90\nRamp,50,1,,\n"
            << "2:00:00|90|"
            << "";
        QTest::newRow("without the column") << "Ramp,150,10,\n"
                                            << ""
                                            << "";
        QTest::newRow("not a duration")
            << "Mode,Temp,Duration\nRamp,150,2 h\n"
            << ""
            << "Line 2, column 3 (Duration): \"2 h\" is not a duration (h:mm:ss, or minutes).";
        QTest::newRow("a rate and a duration")
            << "Mode,Temp,Rate,Duration\nRamp,150,1.0,2:00\n"
            << ""
            << "Line 2, column 4 (Duration): a Ramp takes its Rate(deg C/min) or a Duration, not both.";
        QTest::newRow("a time and a duration")
            << "Duration,Mode,Time\n2:00,Hold,5.30\n"
            << ""
            << "Line 2, column 1 (Duration): a Hold takes its Time(min.sec) or a Duration, not both.";
        QTest::newRow("no mode") << "Mode,Duration\n,2:00\n"
                                 << ""
                                 << "Line 2, column 2 (Duration): \"2:00\" is given without a mode (Ramp or Hold).";
    }
    void readDurations()
    {
        QFETCH(QString, text);
        QFETCH(QString, durations);
        QFETCH(QString, error);
        const SegmentTable::ReadResult result = SegmentTable::read(text);
        QCOMPARE(result.error, error);
        QCOMPARE(result.durations.join(u'|'), durations);
        QCOMPARE(result.lines.size(), result.segments.size());
    }

    void write_data()
    {
        QTest::addColumn<QString>("cells");
        QTest::addColumn<int>("firstCol");
        QTest::addColumn<int>("lastCol");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        const QString cells = QStringLiteral("Ramp;150.0;10.0;1.30|Hold;120.0;5.0;5.30| ;0;0;0|Ramp;0;2.5;0.00");
        QTest::newRow("tabs: unused cells blank")
            << cells << 1 << 4 << "\t" << Header + "Ramp\t150.0\t10.0\t\nHold\t\t\t5.30\n\t\t\t\nRamp\t0\t2.5\t\n";
        QTest::newRow("commas, part of the table")
            << cells << 2 << 3 << ","
            << "Mode,Temp.(deg C),Rate(deg C/min),Time(min.sec)\nHold,,,5.30\n,,,\n";
        QTest::newRow("a field with the separator is quoted")
            << "Ramp;1,5;\"x\";0" << 1 << 1 << ","
            << "Mode,Temp.(deg C),Rate(deg C/min),Time(min.sec)\nRamp,\"1,5\",\"\"\"x\"\"\",\n";
    }

    void write()
    {
        QFETCH(QString, cells);
        QFETCH(int, firstCol);
        QFETCH(int, lastCol);
        QFETCH(QString, separator);
        QFETCH(QString, text);
        QCOMPARE(SegmentTable::write(programOf(cells), firstCol, lastCol, separator.front()), text);
    }

    void writtenTextReadsBack_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::newRow("tabs") << "\t";
        QTest::newRow("commas") << ",";
    }

    void writtenTextReadsBack()
    {
        QFETCH(QString, separator);
        const QString cells =
            QStringLiteral("Ramp;150.0;10.0;0.00|Hold;0.0;0.0;5.30| ;0.0;0.0;0.00|Ramp;60.0;20.0;0.00");
        const SegmentTable::ReadResult back =
            SegmentTable::read(SegmentTable::write(programOf(cells), 1, 4, separator.front()));
        QCOMPARE(back.error, QString());
        QCOMPARE(compact(back.segments), cells);
    }

    void lastSetColumn_data()
    {
        QTest::addColumn<QString>("cells");
        QTest::addColumn<int>("firstCol");
        QTest::addColumn<int>("last");
        QTest::newRow("none") << "" << 1 << 0;
        QTest::newRow("unset cells after the last set one") << "Ramp;1;1;0|Hold;0;0;1| ;0;0;0" << 1 << 2;
        QTest::newRow("slot 31 set") << "Hold;0;0;1" << 32 << 32;
        QTest::newRow("slot 32 is never sent") << "Hold;0;0;1" << 33 << 0;
    }

    void lastSetColumn()
    {
        QFETCH(QString, cells);
        QFETCH(int, firstCol);
        QFETCH(int, last);
        QCOMPARE(SegmentTable::lastSetColumn(programOf(cells, firstCol)), last);
    }

    void fitRefusal_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("before set segments: fits exactly") << 6 << 12 << "";
        QTest::newRow("right after the set segments") << 21 << 12 << "";
        QTest::newRow("further on: the block itself must end by slot 31")
            << 27 << 7
            << "7 segments cannot go in before segment 26: 6 fit there without pushing a set segment past segment 31.";
        QTest::newRow("one too many")
            << 6 << 13
            << "13 segments cannot go in before segment 5: 12 fit there without pushing a set segment past segment 31.";
        QTest::newRow("none fits")
            << 33 << 1
            << "1 segment cannot go in before segment 32: 0 fit there without pushing a set segment past segment 31.";
    }

    void fitRefusal()
    {
        QFETCH(int, col);
        QFETCH(int, count);
        QFETCH(QString, refusal);
        TemperatureProgram table;
        for (int c = 1; c <= 20; ++c)
            table.setCell(TemperatureProgram::ModeRow, c, TemperatureProgram::ModeRamp);
        QCOMPARE(SegmentTable::fitRefusal(table, col, count), refusal);
    }

    void insertMovesTheRestRight()
    {
        TemperatureProgram table = programOf(QStringLiteral("Ramp;1.0;1.0;0.00|Hold;0.0;0.0;1.00"));
        table.setCell(TemperatureProgram::TempRow, TemperatureProgram::LastSlotColumn, QStringLiteral("9"));
        SegmentTable::insert(table, 2, {{"Hold", "0.0", "0.0", "2.00"}, {"Ramp", "5.0", "5.0", "0.00"}});
        QCOMPARE(slotsOf(table, 1, 5),
                 "Ramp;1.0;1.0;0.00|Hold;0.0;0.0;2.00|Ramp;5.0;5.0;0.00|Hold;0.0;0.0;1.00| ;0.0;0.0;0.00");
        QCOMPARE(table.colCount(), TemperatureProgram::InitialColCount);
        QCOMPARE(table.cell(TemperatureProgram::TempRow, TemperatureProgram::LastSlotColumn), "0.0");
    }

    void removeIsDeleteRepeated()
    {
        const TemperatureProgram start =
            programOf(QStringLiteral("Ramp;1.0;1.0;0.00|Hold;0.0;0.0;1.00|Ramp;2.0;2.0;0.00|Hold;0.0;0.0;3.00"));
        TemperatureProgram block = start;
        SegmentTable::remove(block, 2, 3);
        TemperatureProgram single = start;
        single.deleteSlot(2);
        single.deleteSlot(2);
        QCOMPARE(slotsOf(block, 1, 2), "Ramp;1.0;1.0;0.00|Hold;0.0;0.0;3.00");
        QVERIFY(block == single);
    }
};

QTEST_APPLESS_MAIN(TestSegmentTable)
#include "test_segment_table.moc"
