// The chart panel's height a person set: how it is kept in the settings file
// and how it follows the window's height.
#include "files/ChartPanelHeight.h"
#include "files/IniDocument.h"

#include <QTest>

class TestChartPanelHeight : public QObject
{
    Q_OBJECT
private slots:
    void followsTheWindow_data()
    {
        QTest::addColumn<int>("height");       // as set
        QTest::addColumn<int>("windowHeight"); // as set
        QTest::addColumn<int>("window");       // now
        QTest::addColumn<int>("chart");
        // The chart and the bands below share the window's height less 110
        // pixels; the bands need 220 of them, the chart's own height is 144.
        QTest::newRow("the window as set") << 200 << 610 << 610 << 200;
        QTest::newRow("dragged past the bands' minimum, the window as set") << 400 << 610 << 610 << 400;
        QTest::newRow("grown by 100: half of it") << 200 << 610 << 710 << 250;
        QTest::newRow("grown by 101: the odd pixel goes below") << 200 << 610 << 711 << 250;
        QTest::newRow("shrunk by 60: half of it") << 200 << 610 << 550 << 170;
        QTest::newRow("never below its own height") << 200 << 610 << 410 << 144;
        QTest::newRow("the bands below keep their minimum") << 400 << 730 << 710 << 380;
        QTest::newRow("its own height before the bands' minimum") << 144 << 510 << 410 << 144;
        QTest::newRow("fixed height, window as first shown") << 144 << 490 << 490 << 144;
        QTest::newRow("fixed height, window grown") << 144 << 490 << 690 << 244;
    }

    void followsTheWindow()
    {
        QFETCH(int, height);
        QFETCH(int, windowHeight);
        QFETCH(int, window);
        QFETCH(int, chart);
        QCOMPARE((ChartPanelHeight{height, windowHeight}.chartHeightFor(window, window - 110, 220, 144)), chart);
    }

    void readFromItsSection_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("windowHeight");
        QTest::newRow("both keys") << QByteArray("[ChartPanel]\nHeight=250\nWindowHeight=560\n") << true << 250 << 560;
        QTest::newRow("hexadecimal as the other integers")
            << QByteArray("[chartpanel]\nHeight=0xFA\nWindowHeight=$230\n") << true << 250 << 560;
        QTest::newRow("no section") << QByteArray("[Window]\nHeight=600\n") << false << 0 << 0;
        QTest::newRow("one key missing") << QByteArray("[ChartPanel]\nHeight=250\n") << false << 0 << 0;
        QTest::newRow("not a number") << QByteArray("[ChartPanel]\nHeight=tall\nWindowHeight=560\n") << false << 0 << 0;
        QTest::newRow("taller than its window")
            << QByteArray("[ChartPanel]\nHeight=600\nWindowHeight=560\n") << false << 0 << 0;
        QTest::newRow("zero") << QByteArray("[ChartPanel]\nHeight=0\nWindowHeight=560\n") << false << 0 << 0;
        QTest::newRow("beyond any screen")
            << QByteArray("[ChartPanel]\nHeight=250\nWindowHeight=100001\n") << false << 0 << 0;
    }

    void readFromItsSection()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, found);
        QFETCH(int, height);
        QFETCH(int, windowHeight);
        const auto read = ChartPanelHeight::fromIni(IniDocument(file));
        QCOMPARE(read.has_value(), found);
        if (found)
            QCOMPARE(*read, (ChartPanelHeight{height, windowHeight}));
    }

    void writtenIntoItsOwnSection()
    {
        // Everything else in the file stays as it was.
        const QByteArray before = "[Window]\r\nLeft=0x10\r\nHeight=600\r\n[System]\r\nPrgNo=3\r\n";
        IniDocument ini(before);
        ChartPanelHeight{250, 560}.toIni(ini);
        QCOMPARE(ini.toBytes(), before + "\r\n[ChartPanel]\r\nHeight=250\r\nWindowHeight=560\r\n");
        QCOMPARE(ChartPanelHeight::fromIni(ini), (std::optional<ChartPanelHeight>(ChartPanelHeight{250, 560})));
    }
};

QTEST_GUILESS_MAIN(TestChartPanelHeight)
#include "test_chart_panel_height.moc"
