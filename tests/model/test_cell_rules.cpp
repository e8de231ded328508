#include "model/CellRules.h"

#include <QtTest>

using CellRules::CellCheckResult;
Q_DECLARE_METATYPE(CellCheckResult::Outcome)

// The grid's key filter and cell check, decision by decision.
class TestCellRules : public QObject
{
    Q_OBJECT
private slots:
    void gridKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("editRow");
        QTest::addColumn<QString>("text"); // before the key
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("pass");
        QTest::addColumn<bool>("modified");
        const int temp = TemperatureProgram::TempRow, rate = TemperatureProgram::RateRow,
                  time = TemperatureProgram::TimeRow;
        QTest::newRow("nothing edited yet: a letter passes") << "a" << 0 << "" << 0 << true << true;
        QTest::newRow("mode row edited: unfiltered") << "x" << 1 << "" << 0 << true << true;
        QTest::newRow("Enter") << "\r" << temp << "12" << 2 << true << true;
        QTest::newRow("Backspace leaves the flag") << "\b" << temp << "12" << 2 << true << false;
        QTest::newRow("letter") << "a" << temp << "12" << 2 << false << false;
        QTest::newRow("minus") << "-" << rate << "" << 0 << false << false;
        QTest::newRow("blank") << " " << time << "" << 0 << false << false;
        QTest::newRow("Ctrl+V") << "\x16" << temp << "1" << 1 << false << false;
        QTest::newRow("Esc") << "\x1b" << temp << "1" << 1 << false << false;
        QTest::newRow("full-width digit") << QString(QChar(0xFF11)) << temp << "1" << 1 << false << false;
        QTest::newRow("digit") << "5" << temp << "12" << 2 << true << true;
        QTest::newRow("a second point") << "." << temp << "12.3" << 2 << false << true;
        QTest::newRow("temperature: decimal full, caret after the point")
            << "4" << temp << "12.3" << 4 << false << true;
        QTest::newRow("temperature: caret before the point") << "4" << temp << "12.3" << 0 << true << true;
        QTest::newRow("rate: caret just after the point") << "4" << rate << "12.3" << 3 << false << true;
        QTest::newRow("time: second decimal") << "4" << time << "1.2" << 3 << true << true;
        QTest::newRow("time: decimals full") << "5" << time << "1.23" << 4 << false << true;
        QTest::newRow("time: point before two digits") << "." << time << "123" << 1 << true << true;
        QTest::newRow("time: point before three digits") << "." << time << "123" << 0 << false << true;
        QTest::newRow("temperature: point before two digits") << "." << temp << "123" << 1 << false << true;
        QTest::newRow("temperature: point at the end") << "." << temp << "12" << 2 << true << true;
        QTest::newRow("closed editor: digit replaces 100.0") << "7" << temp << "100.0" << 0 << true << true;
        QTest::newRow("closed editor: point refused on 100.0") << "." << temp << "100.0" << 0 << false << true;
    }

    void gridKey()
    {
        QFETCH(QString, key);
        QFETCH(int, editRow);
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(bool, pass);
        QFETCH(bool, modified);
        const CellRules::GridKey decision = CellRules::gridKey(key.front(), editRow, text, caret);
        QCOMPARE(decision.pass, pass);
        QCOMPARE(decision.setsModified, modified);
    }

    void keptOutHint_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("hinted");
        QTest::newRow("colon in a time") << ":" << int(TemperatureProgram::TimeRow) << true;
        QTest::newRow("colon in a rate") << ":" << int(TemperatureProgram::RateRow) << false;
        QTest::newRow("letter in a time") << "h" << int(TemperatureProgram::TimeRow) << false;
    }
    void keptOutHint()
    {
        QFETCH(QString, key);
        QFETCH(int, row);
        QFETCH(bool, hinted);
        const QString hint = CellRules::keptOutHint(key.front(), row);
        QCOMPARE(hint.isEmpty(), !hinted);
        if (hinted)
            QCOMPARE(hint,
                     QStringLiteral("Time is minutes.seconds: 1.30 is 1 min 30 s. Longer holds: Edit, Segment..."));
    }

    void checkCell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<CellCheckResult::Outcome>("outcome");
        QTest::addColumn<QString>("rewritten");
        const int temp = TemperatureProgram::TempRow, rate = TemperatureProgram::RateRow,
                  time = TemperatureProgram::TimeRow;
        const auto ok = CellCheckResult::Accepted, out = CellCheckResult::OutOfRange, nan = CellCheckResult::NotANumber;
        QTest::newRow("5") << temp << "5" << ok << "5.0";
        QTest::newRow(".5") << rate << ".5" << ok << "0.5";
        QTest::newRow("12.") << temp << "12." << ok << "12.0";
        QTest::newRow("empty temperature") << temp << "" << ok << "0.0";
        QTest::newRow("empty time") << time << "" << ok << "0.00";
        QTest::newRow("300") << temp << "300" << ok << "300.0";
        QTest::newRow("300.04 reads 300.0 but is over") << temp << "300.04" << out << "300.0";
        QTest::newRow("350") << temp << "350" << out << "350.0";
        QTest::newRow("1e5 pasted") << temp << "1e5" << out << "100000.0";
        QTest::newRow("rate 20") << rate << "20" << ok << "20.0";
        QTest::newRow("rate 20.1") << rate << "20.1" << out << "20.1";
        QTest::newRow("time 1.3") << time << "1.3" << ok << "1.30";
        QTest::newRow("time 0.59") << time << "0.59" << ok << "0.59";
        QTest::newRow("time 99.59") << time << "99.59" << ok << "99.59";
        QTest::newRow("time 2.60") << time << "2.60" << out << "2.60";
        QTest::newRow("time 99.60") << time << "99.60" << out << "99.60";
        QTest::newRow("time 99600.60") << time << "99600.60" << out << "99600.60";
        QTest::newRow("lone point") << temp << "." << nan << ".";
        QTest::newRow("pasted text") << rate << "abc" << nan << "abc";
        QTest::newRow("mode row") << int(TemperatureProgram::ModeRow) << "Ramp" << CellCheckResult::NotChecked << "";
    }

    void checkCell()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(CellCheckResult::Outcome, outcome);
        QFETCH(QString, rewritten);
        const CellCheckResult result = CellRules::checkCell(row, text);
        QCOMPARE(result.outcome, outcome);
        QCOMPARE(result.text, rewritten);
    }

    // The initial temperature: a number is rewritten with two decimals and
    // judged against the temperature range; anything else is not a number.
    void checkInitialTemp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<QString>("rewritten");
        QTest::addColumn<bool>("inRange");
        QTest::newRow("0.0") << "0.0" << true << "0.00" << true;
        QTest::newRow("25.35 keeps two decimals") << "25.35" << true << "25.35" << true;
        QTest::newRow("25.355 rounds") << "25.355" << true << "25.36" << true;
        QTest::newRow(".5") << ".5" << true << "0.50" << true;
        QTest::newRow("blanks around") << " 40 " << true << "40.00" << true;
        QTest::newRow("300") << "300" << true << "300.00" << true;
        QTest::newRow("300.001 reads 300.00 but is over") << "300.001" << true << "300.00" << false;
        QTest::newRow("350") << "350" << true << "350.00" << false;
        QTest::newRow("negative") << "-1" << true << "-1.00" << false;
        QTest::newRow("empty") << "" << false << "" << false;
        QTest::newRow("decimal comma") << "1,5" << false << "" << false;
        QTest::newRow("inf") << "inf" << false << "" << false;
    }

    void checkInitialTemp()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(QString, rewritten);
        QFETCH(bool, inRange);
        const CellRules::InitialTempCheck check = CellRules::checkInitialTemp(text);
        QCOMPARE(check.isNumber, isNumber);
        QCOMPARE(check.text, rewritten);
        QCOMPARE(check.inRange, inRange);
    }

    void cellsByMode_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("inactive");
        const QString unset = TemperatureProgram::ModeUnset, ramp = TemperatureProgram::ModeRamp,
                      hold = TemperatureProgram::ModeHold;
        for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row)
            QTest::addRow("unset, row %d", row) << row << unset << false << true;
        QTest::newRow("Ramp mode") << 1 << ramp << false << false;
        QTest::newRow("Ramp temperature") << 2 << ramp << true << false;
        QTest::newRow("Ramp rate") << 3 << ramp << true << false;
        QTest::newRow("Ramp time") << 4 << ramp << false << true;
        QTest::newRow("Hold mode") << 1 << hold << false << false;
        QTest::newRow("Hold temperature") << 2 << hold << false << true;
        QTest::newRow("Hold rate") << 3 << hold << false << true;
        QTest::newRow("Hold time") << 4 << hold << true << false;
        QTest::newRow("unknown mode from a file") << 2 << "ramp" << false << false;
        QTest::newRow("number row") << 0 << unset << false << false;
    }

    void cellsByMode()
    {
        QFETCH(int, row);
        QFETCH(QString, mode);
        QFETCH(bool, editable);
        QFETCH(bool, inactive);
        QCOMPARE(CellRules::isEditable(row, mode), editable);
        QCOMPARE(CellRules::isInactive(row, mode), inactive);
    }

    void modeForKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("mode"); // "none": the key chooses nothing
        QTest::newRow("R") << "R" << TemperatureProgram::ModeRamp;
        QTest::newRow("r") << "r" << TemperatureProgram::ModeRamp;
        QTest::newRow("H") << "H" << TemperatureProgram::ModeHold;
        QTest::newRow("h") << "h" << TemperatureProgram::ModeHold;
        QTest::newRow("Space") << " " << TemperatureProgram::ModeUnset;
        QTest::newRow("other letter") << "x"
                                      << "none";
        QTest::newRow("digit") << "1"
                               << "none";
        QTest::newRow("Enter") << "\r"
                               << "none";
        QTest::newRow("Delete as X11 sends it") << "\x7f"
                                                << "none";
    }

    void modeForKey()
    {
        QFETCH(QString, key);
        QFETCH(QString, mode);
        QCOMPARE(CellRules::modeForKey(key.front()).value_or(QStringLiteral("none")), mode);
    }
};

QTEST_MAIN(TestCellRules)
#include "test_cell_rules.moc"
