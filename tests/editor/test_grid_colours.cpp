#include "editor/GridColours.h"
#include "model/ProfilePlot.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

Q_DECLARE_METATYPE(GridColours::Cell)

namespace {
// The dark scheme of a typical desktop theme: only the main roles set, the
// shades (Light, Midlight, Dark, Mid) derived by Qt from the button colour.
QPalette darkPalette()
{
    QPalette p(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}
}

// Every cell of the grid reads in a light and in a dark theme.
class TestGridColours : public QObject
{
    Q_OBJECT
private slots:
    void cellsReadInEveryTheme_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<GridColours::Cell>("cell");
        QTest::addColumn<int>("role"); // the palette role of the cell's background
        const QPalette light = QStyleFactory::create("Fusion")->standardPalette();
        using C = GridColours::Cell;
        const QList<QPair<const char *, QPalette>> themes{{"light", light}, {"dark", darkPalette()}};
        for (const auto &[name, palette] : themes) {
            QTest::addRow("%s fixed", name) << palette << C::Fixed << int(QPalette::Button);
            QTest::addRow("%s value", name) << palette << C::Value << int(QPalette::Base);
            QTest::addRow("%s current", name) << palette << C::Current << int(QPalette::Highlight);
        }
    }

    void cellsReadInEveryTheme()
    {
        QFETCH(QPalette, palette);
        QFETCH(GridColours::Cell, cell);
        QFETCH(int, role);
        const GridColours::Colours colours = GridColours::of(cell, palette);
        QCOMPARE(colours.background, palette.color(QPalette::ColorRole(role)));
        const double contrast = GridColours::contrastRatio(colours.text, colours.background);
        QVERIFY2(contrast >= GridColours::MinimumContrast, qPrintable(QString::number(contrast)));
    }

    void inactiveCellsAreDarkerInEveryTheme_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QStyleFactory::create("Fusion")->standardPalette();
        QTest::newRow("dark") << darkPalette();
        QPalette darkMidlight = QStyleFactory::create("Fusion")->standardPalette();
        darkMidlight.setColor(QPalette::Midlight, QColor(0xc0, 0xc0, 0xc0));
        QTest::newRow("light, the theme's own midlight") << darkMidlight;
    }

    void inactiveCellsAreDarkerInEveryTheme()
    {
        // Unused cells recede the same way in a light and a dark theme: a
        // shade darker than the cells that take values, and still told apart.
        QFETCH(QPalette, palette);
        const GridColours::Colours inactive = GridColours::of(GridColours::Cell::Inactive, palette);
        const QColor value = GridColours::of(GridColours::Cell::Value, palette).background;
        QVERIFY2(PlotColours::luminance(inactive.background) < PlotColours::luminance(value),
                 qPrintable(inactive.background.name() + " on " + value.name()));
        QVERIFY(GridColours::contrastRatio(inactive.background, value) >= GridColours::InactiveContrast);
        QVERIFY(GridColours::contrastRatio(inactive.text, inactive.background) >= GridColours::MinimumContrast);
        // A theme whose midlight is darker enough keeps its own colour.
        if (GridColours::contrastRatio(palette.color(QPalette::Midlight), value) >= GridColours::InactiveContrast
            && PlotColours::luminance(palette.color(QPalette::Midlight)) < PlotColours::luminance(value))
            QCOMPARE(inactive.background, palette.color(QPalette::Midlight));
    }

    void contrast_data()
    {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("legible");
        QTest::newRow("black on white stays") << QColor(Qt::black) << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("white on light grey turns black")
            << QColor(Qt::white) << QColor(0xf0, 0xf0, 0xf0) << QColor(Qt::black);
        QTest::newRow("grey on dark grey turns white")
            << QColor(0x60, 0x60, 0x60) << QColor(0x35, 0x35, 0x35) << QColor(Qt::white);
    }

    void contrast()
    {
        QFETCH(QColor, text);
        QFETCH(QColor, background);
        QFETCH(QColor, legible);
        QCOMPARE(GridColours::legibleText(text, background), legible);
        QCOMPARE(qRound(GridColours::contrastRatio(Qt::black, Qt::white)), 21);
    }
};

QTEST_MAIN(TestGridColours)
#include "test_grid_colours.moc"
