#include "comm/link/DownloadChecks.h"
#include "model/TemperatureProgram.h"

#include <QtTest>

// The checks a download makes before it opens the port.
class TestDownloadChecks : public QObject
{
    Q_OBJECT

private slots:
    void segmentFault_data()
    {
        QTest::addColumn<QStringList>("cells"); // "col:row:text"
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("fault");
        const QString temp = "\n\rInput range:0 - 300.0 deg C";
        const QString rate = "\n\rInput range:0 - 20.0 deg C/min";
        const QString time = "\n\rInput range:0.00 - 99.59(min.sec)";
        QTest::newRow("all sendable") << QStringList{} << 3 << QString();
        QTest::newRow("mode unset") << QStringList{"2:1: "} << 3 << "Segment No. \"1\" is not set.";
        QTest::newRow("mode unset past the count") << QStringList{"4:1: "} << 3 << QString();
        QTest::newRow("Ramp temperature above 300")
            << QStringList{"1:2:300.1"} << 3 << "Segment No. \"0\" Temp. \"300.1\" is out of range." + temp;
        QTest::newRow("Ramp temperature negative")
            << QStringList{"3:2:-5.0"} << 3 << "Segment No. \"2\" Temp. \"-5.0\" is out of range." + temp;
        QTest::newRow("Ramp rate above 20")
            << QStringList{"3:3:25"} << 3 << "Segment No. \"2\" Rate \"25.0\" is out of range." + rate;
        QTest::newRow("1e308, not its 309 digits")
            << QStringList{"1:2:1e308"} << 3 << "Segment No. \"0\" Temp. \"1e308\" is out of range." + temp;
        QTest::newRow("Ramp time not sent") << QStringList{"1:4:2.75"} << 3 << QString();
        QTest::newRow("Hold seconds 60") << QStringList{"2:4:1.60"} << 3
                                         << "Segment No. \"1\" Time \"1.60\" is out of range." + time;
        QTest::newRow("Hold temperature not sent") << QStringList{"2:2:350.0"} << 3 << QString();
        QTest::newRow("not a number") << QStringList{"1:3:1.2.3"} << 3
                                      << "Segment No. \"0\" Rate \"1.2.3\" is not a number.";
        QTest::newRow("first fault in segment order")
            << QStringList{"3:2:999", "2:1: "} << 3 << "Segment No. \"1\" is not set.";
        QTest::newRow("bad value past the count") << QStringList{"5:1:Ramp", "5:2:999"} << 3 << QString();
    }

    void segmentFault()
    {
        QFETCH(QStringList, cells);
        QFETCH(int, count);
        QFETCH(QString, fault);
        TemperatureProgram table;
        table.initialise();
        for (int col = 1; col <= 3; ++col) {
            table.setCell(1, col, col == 2 ? "Hold" : "Ramp");
            table.setCell(2, col, "100.0");
            table.setCell(3, col, "5.0");
            table.setCell(4, col, "1.30");
        }
        for (const QString &cell : cells) {
            const QStringList part = cell.split(':');
            table.setCell(part[1].toInt(), part[0].toInt(), part[2]);
        }
        QCOMPARE(DownloadChecks::segmentFault(table, count), fault);
    }

    void unsendableSegments_data()
    {
        QTest::addColumn<QStringList>("modes"); // "slot:mode", slots from 31 on
        QTest::addColumn<int>("inserted");      // columns the grid was widened by
        QTest::addColumn<QList<int>>("segments");
        QTest::newRow("slot 31 set, 32 unset") << QStringList{"31:Ramp"} << 0 << QList<int>{};
        QTest::newRow("slot 32 Hold") << QStringList{"32:Hold"} << 0 << QList<int>{32};
        QTest::newRow("slot 32 Ramp") << QStringList{"32:Ramp"} << 0 << QList<int>{32};
        QTest::newRow("slot 32 neither Ramp nor Hold") << QStringList{"32:x"} << 0 << QList<int>{};
        QTest::newRow("past slot 32, after inserts") << QStringList{"34:Hold"} << 3 << QList<int>{34};
        QTest::newRow("every one named") << QStringList{"32:Ramp", "33:Hold"} << 2 << QList<int>{32, 33};
    }

    void unsendableSegments()
    {
        QFETCH(QStringList, modes);
        QFETCH(int, inserted);
        QFETCH(QList<int>, segments);
        TemperatureProgram table;
        table.initialise();
        for (int i = 0; i < inserted; ++i)
            table.insertSlot(table.colCount());
        for (const QString &entry : modes)
            table.setCell(TemperatureProgram::ModeRow, entry.section(':', 0, 0).toInt() + 1, entry.section(':', 1));
        QList<int> found;
        for (const DownloadChecks::Problem &problem : DownloadChecks::unsendableSegments(table))
            found << problem.segment;
        QCOMPARE(found, segments);
    }

    void initialTempFault_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        QTest::newRow("in range") << "25.35" << QString();
        QTest::newRow("above 300") << "350"
                                   << "Initial temp. \"350.00\" is out of range.\n\rInput range:0 - 300.0 deg C";
        QTest::newRow("1e308 as the editor writes it")
            << QString::number(1e308, 'f', 2)
            << "Initial temp. \"1e308\" is out of range.\n\rInput range:0 - 300.0 deg C";
        QTest::newRow("not a number") << "1,5"
                                      << "Initial temp. \"1,5\" is not a number.";
    }

    void initialTempFault()
    {
        QFETCH(QString, text);
        QFETCH(QString, fault);
        QCOMPARE(DownloadChecks::initialTempFault(text), fault);
    }
};

QTEST_GUILESS_MAIN(TestDownloadChecks)
#include "test_download_checks.moc"
