#include "model/Numbers.h"

#include <QtTest>
#include <clocale>

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12.5" << true << 12.5;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("blanks around") << " 7 " << true << 7.0;
        QTest::newRow("exponent") << "1e2" << true << 100.0;
        QTest::newRow("negative") << "-3.25" << true << -3.25;
        QTest::newRow("lone point") << "." << false << 0.0;
        QTest::newRow("blank") << " " << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
        QTest::newRow("percent") << "12%" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("hex float") << "0x1p3" << false << 0.0;
        QTest::newRow("full-width digit") << QString::fromUtf8("\xEF\xBC\x91") << false << 0.0;
        QTest::newRow("plus sign") << "+2.5" << true << 2.5;
        QTest::newRow("sign alone") << "+" << false << 0.0;
        QTest::newRow("ideographic blanks around") << QString::fromUtf8("\xE3\x80\x80"
                                                                        "4.5\xE3\x80\x80")
                                                   << true << 4.5;
        QTest::newRow("Latin-1 letter after it") << QString::fromUtf8("5\xC3\xA9") << false << 0.0;
        QTest::newRow("longer than 64 characters") << QString(70, u'0') + "12.5" << true << 12.5;
        QTest::newRow("309 digits: too large") << "1" + QString(309, u'0') << false << 0.0;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const auto parsed = parseDecimal(text);
        QCOMPARE(parsed.has_value(), ok);
        if (ok)
            QCOMPARE(*parsed, value);
    }

    void commaLocaleStillReadsPoint()
    {
        // A German numeric locale must not change what the editor reads or writes.
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
            QSKIP("no German locale installed");
        QCOMPARE(parseDecimal("12.5").value_or(-1), 12.5);
        QVERIFY(!parseDecimal("12,5"));
        QCOMPARE(formatFixed(12.5, 2), QString("12.50"));
        std::setlocale(LC_NUMERIC, "C");
    }

    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("5 -> 5.0") << 5.0 << 1 << "5.0";
        QTest::newRow(".5 -> 0.5") << 0.5 << 1 << "0.5";
        QTest::newRow("1.3 time") << 1.3 << 2 << "1.30";
        QTest::newRow("half away from zero") << 0.15 << 1 << "0.2";
        QTest::newRow("binary 2.675") << 2.675 << 2 << "2.68";
        QTest::newRow("carry into whole") << 9.96 << 1 << "10.0";
        QTest::newRow("300.001") << 300.001 << 2 << "300.00";
        QTest::newRow("no decimals rounds") << 59.6 << 0 << "60";
        QTest::newRow("large") << 12345678.9 << 1 << "12345678.9";
        QTest::newRow("tiny negative is zero") << -0.001 << 1 << "0.0";
        QTest::newRow("negative") << -2.25 << 1 << "-2.3";
    }

    void format()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(formatFixed(value, decimals), text);
    }

    void valueText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("a cell's value: its text form") << 350.0 << 1 << "350.0";
        QTest::newRow("15 whole digits stay fixed") << 999999999999999.0 << 1 << "999999999999999.0";
        QTest::newRow("1e15 in exponent form") << 1e15 << 1 << "1e15";
        QTest::newRow("1e308, not 309 digits") << 1e308 << 1 << "1e308";
        QTest::newRow("the shortest digits that read back") << -2.5e20 << 2 << "-2.5e20";
        QTest::newRow("infinity") << qInf() << 1 << "inf";
    }

    void valueText()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(::valueText(value, decimals), text);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
