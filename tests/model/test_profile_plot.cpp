// The profile drawing that the window, the sheet and the exports share: where
// its axes lie, what they label, its colours and its sharpness.
#include "model/AxisLabels.h"
#include "model/ProfilePlot.h"
#include "model/TemperatureProgram.h"
#include "tests/support/ExampleProfile.h"

#include <QImage>
#include <QPainter>
#include <QtTest>
#include <functional>

namespace {
Profile rampTo(const QString &target)
{
    TemperatureProgram program;
    program.setCell(1, 1, "Ramp");
    program.setCell(2, 1, target);
    program.setCell(3, 1, "10.0");
    return computeProfile(40, program);
}

QFont pixelFont(int pixels)
{
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    palette.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::ToolTipBase, QColor(0x40, 0x40, 0x10));
    palette.setColor(QPalette::ToolTipText, QColor(0xff, 0xff, 0xff));
    return palette;
}

// Mostly red: the line, also where smoothing blends it with the background.
bool isRed(QRgb pixel)
{
    return qRed(pixel) >= 120 && qRed(pixel) > 2 * qGreen(pixel) && qRed(pixel) > 2 * qBlue(pixel);
}

QImage painted(const ProfilePlot &plot, QSize size, qreal ratio = 1)
{
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    plot.paint(painter);
    return image;
}
}

Q_DECLARE_METATYPE(Profile)

class TestProfilePlot : public QObject
{
    Q_OBJECT
private slots:
    void axesTakeTheirShares_data()
    {
        QTest::addColumn<Profile>("profile");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("fontPixels");
        QTest::newRow("example in the window's band") << exampleProfile() << QSize(754, 144) << 12;
        QTest::newRow("example as an exported PNG") << exampleProfile() << QSize(1200, 600) << 20;
        QTest::newRow("a Ramp to 1e308") << rampTo("1e308") << QSize(754, 144) << 12;
        QTest::newRow("no profile") << Profile() << QSize(754, 144) << 12;
        QTest::newRow("a frame too small for its labels") << exampleProfile() << QSize(40, 30) << 12;
    }

    void axesTakeTheirShares()
    {
        QFETCH(Profile, profile);
        QFETCH(QSize, size);
        QFETCH(int, fontPixels);
        QImage device(size, QImage::Format_RGB32);
        const QRectF frame(QPointF(0, 0), QSizeF(size));
        const ProfilePlot plot(profile, frame, pixelFont(fontPixels), &device);
        const QRectF area = plot.plotArea();
        QVERIFY(area.width() >= 1 && area.height() >= 1);
        if (size.width() > 100) {
            QVERIFY(frame.contains(area));
            // A top margin of a tenth of the chart's height.
            QVERIFY(qAbs(area.top() - 0.10 * size.height()) <= 0.5);
        }
        // The largest time at 98 per cent of the width; 0 deg C at 98 per
        // cent of the height and the largest temperature at 10 per cent.
        QCOMPARE(plot.toDevice(QPointF(0, 0)).x(), area.left());
        QVERIFY(qAbs(plot.toDevice(QPointF(plot.maxTime(), 0)).x() - (area.left() + 0.98 * area.width())) < 1e-6);
        QVERIFY(qAbs(plot.toDevice(QPointF(0, 0)).y() - (area.top() + 0.98 * area.height())) < 1e-6);
        QVERIFY(qAbs(plot.toDevice(QPointF(0, plot.maxTemp())).y() - (area.top() + 0.10 * area.height())) < 1e-6);
        QVERIFY(qAbs(plot.minutesAt(plot.toDevice(QPointF(7, 0)).x()) - 7) < 1e-9 * std::max(1.0, plot.maxTime()));
        // The axes end where they can be labelled, with a bounded count of
        // labels at whole steps from 0, the time labels at least 5 minutes apart.
        QVERIFY(plot.maxTime() <= AxisLimit && plot.maxTemp() <= AxisLimit);
        QVERIFY(plot.timeStep() >= 5);
        QVERIFY(plot.timeLabels().size() <= 2 * MaxAxisSteps + 1);
        QVERIFY(plot.tempLabels().size() <= 2 * MaxAxisSteps + 1);
        QCOMPARE(plot.timeLabels().first().toDouble(), 0.0);
        QCOMPARE(plot.tempLabels().first().toDouble(), 0.0);
        // Painting covers the frame and stays within it.
        if (size.width() <= 100)
            return;
        QImage image(size + QSize(20, 20), QImage::Format_RGB32);
        const QRgb outside = QColor(Qt::magenta).rgb();
        image.fill(outside);
        {
            QPainter painter(&image);
            painter.translate(10, 10);
            plot.paint(painter);
        }
        for (int x = 0; x < image.width(); ++x) {
            const bool within = x >= 10 && x < image.width() - 10;
            QCOMPARE(image.pixel(x, 9), outside);
            QCOMPARE(image.pixel(x, image.height() - 10), outside);
            QCOMPARE(image.pixel(x, 10) != outside, within);
            QCOMPARE(image.pixel(x, image.height() - 11) != outside, within);
        }
    }

    void coloursFollowThePalette_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("paper") << PlotColours::paperPalette();
        QTest::newRow("dark") << darkPalette();
    }

    void coloursFollowThePalette()
    {
        QFETCH(QPalette, palette);
        const PlotColours colours = PlotColours::fromPalette(palette);
        QCOMPARE(colours.panel, palette.color(QPalette::Base));
        QCOMPARE(colours.plot, palette.color(QPalette::Base));
        QCOMPARE(colours.text, palette.color(QPalette::WindowText));
        QCOMPARE(colours.readoutBox, palette.color(QPalette::ToolTipBase));
        // Grid lines lie between the plot's background and the text.
        QVERIFY(qAbs(colours.grid.lightness() - colours.plot.lightness())
                < qAbs(colours.text.lightness() - colours.plot.lightness()));
        QVERIFY(colours.grid != colours.plot);

        const QSize size(600, 300);
        QImage device(size, QImage::Format_RGB32);
        const Profile profile = exampleProfile();
        const ProfilePlot plot(profile, QRectF(QPointF(0, 0), QSizeF(size)), pixelFont(12), &device, colours);
        const QImage image = painted(plot, size);
        QCOMPARE(QColor(image.pixel(2, 2)), colours.panel);
        QCOMPARE(QColor(image.pixel(plot.toDevice(QPointF(6.3, 133)).toPoint())), colours.plot);
        // The line is red in any palette.
        const QPoint onHold = plot.toDevice(QPointF(13, 150)).toPoint();
        QVERIFY(isRed(image.pixel(onHold)) || isRed(image.pixel(onHold - QPoint(0, 1))));
    }

    void lineStandsOutOnEveryBackground_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("pureRed");
        QTest::newRow("paper") << QColor(Qt::white) << true;
        QTest::newRow("dark theme") << QColor(0x2a, 0x2a, 0x2a) << false;
        QTest::newRow("mid-dark grey") << QColor(0x3c, 0x3f, 0x41) << false;
        QTest::newRow("black") << QColor(Qt::black) << true;
        QTest::newRow("light grey") << QColor(0xd0, 0xd0, 0xd0) << false;
    }

    void lineStandsOutOnEveryBackground()
    {
        // At least 3:1 for graphics, and as distinct as red on paper.
        QFETCH(QColor, background);
        QFETCH(bool, pureRed);
        const QColor line = PlotColours::lineOn(background);
        const double onPaper = PlotColours::contrastRatio(Qt::red, Qt::white);
        QVERIFY(onPaper > 3.9 && onPaper < 4.1);
        QVERIFY2(PlotColours::contrastRatio(line, background) >= std::max(3.0, onPaper - 0.01),
                 qPrintable(line.name() + " on " + background.name()));
        QCOMPARE(line == QColor(Qt::red), pureRed);
        QVERIFY(isRed(line.rgb()));
    }

    void selectedSegmentIsThicker_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QList<QPointF>>("segment");
        QTest::newRow("the hold") << 2 << QList<QPointF>{{11, 150}, {16.5, 150}};
        QTest::newRow("the first ramp") << 1 << QList<QPointF>{{0, 40}, {11, 150}};
        QTest::newRow("an unset slot takes no time") << 5 << QList<QPointF>{};
        QTest::newRow("none") << 0 << QList<QPointF>{};
    }

    // A program compared with: its line in grey under the red one, and the
    // axes reach the higher of the two.
    void backgroundProfileUnderTheLine()
    {
        const QSize size(600, 300);
        QImage device(size, QImage::Format_RGB32);
        const Profile front = rampTo(QStringLiteral("100.0"));
        const QList<QPointF> back = rampTo(QStringLiteral("250.0")).points;
        const ProfilePlot alone(front, QRectF(QPointF(0, 0), QSizeF(size)), pixelFont(12), &device);
        const ProfilePlot both(front, QRectF(QPointF(0, 0), QSizeF(size)), pixelFont(12), &device, PlotColours::paper(),
                               back);
        QVERIFY(alone.maxTemp() < 250);
        QVERIFY(both.maxTemp() >= 250);
        const QImage image = painted(both, size);
        // Past the red ramp's end the grey one goes on; where both run
        // together (the same rate from the same start) the red is on top.
        auto near = [&](QPointF value, const std::function<bool(QRgb)> &test) {
            const QPoint at = both.toDevice(value).toPoint();
            for (int dy = -2; dy <= 2; ++dy)
                if (test(image.pixel(at + QPoint(0, dy))))
                    return true;
            return false;
        };
        auto isGrey = [](QRgb p) { return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) < 200; };
        QVERIFY(near(QPointF(19, 230), isGrey));
        QVERIFY(near(QPointF(3, 70), isRed));
        QVERIFY(!near(QPointF(3, 70), isGrey));
    }

    void selectedSegmentIsThicker()
    {
        QFETCH(int, column);
        QFETCH(QList<QPointF>, segment);
        const QSize size(600, 300);
        QImage device(size, QImage::Format_RGB32);
        ProfilePlot plot(exampleProfile(), QRectF(QPointF(0, 0), QSizeF(size)), pixelFont(12), &device);
        plot.setSelectedColumn(column);
        QCOMPARE(plot.selectedSegment(), segment);
        // A pixel beside the hold's line is red only when the hold is selected.
        const QImage image = painted(plot, size);
        const QPoint onHold = plot.toDevice(QPointF(13, 150)).toPoint();
        QVERIFY(isRed(image.pixel(onHold)));
        QCOMPARE(isRed(image.pixel(onHold + QPoint(0, 1))) && isRed(image.pixel(onHold - QPoint(0, 1))), column == 2);
    }

    void axisLinesAreSharp_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("scale 1") << 1.0;
        QTest::newRow("scale 2") << 2.0;
    }

    void axisLinesAreSharp()
    {
        // The time axis's line covers whole pixels of the text colour, and
        // the pixels beside it are the panel's and the plot's: no blur.
        QFETCH(qreal, ratio);
        const QSize size(600, 300);
        QImage device(size, QImage::Format_RGB32);
        device.setDevicePixelRatio(ratio);
        const ProfilePlot plot(exampleProfile(), QRectF(QPointF(0, 0), QSizeF(size)), pixelFont(12), &device);
        const QImage image = painted(plot, size, ratio);
        const int column = int(plot.plotArea().left() * ratio);
        const int row = int(plot.plotArea().center().y() * ratio);
        const int width = int(plot.lineWidth() * ratio);
        for (int i = 1; i <= width; ++i)
            QCOMPARE(image.pixel(column - i, row), QColor(Qt::black).rgb());
        QCOMPARE(image.pixel(column - width - 1, row), QColor(Qt::white).rgb());
        QCOMPARE(image.pixel(column, row), QColor(Qt::white).rgb());
    }

    void readoutStaysAwayFromThePoint_data()
    {
        QTest::addColumn<double>("minutes");
        QTest::addColumn<bool>("boxOnTheRight");
        QTest::addColumn<bool>("boxAtTheTop");
        QTest::newRow("low on the first ramp, left half: box top right") << 1.0 << true << true;
        QTest::newRow("high on the first ramp: box bottom right") << 8.0 << true << false;
        QTest::newRow("high on the last ramp, right half: box bottom left") << 17.0 << false << false;
    }

    void readoutStaysAwayFromThePoint()
    {
        QFETCH(double, minutes);
        QFETCH(bool, boxOnTheRight);
        QFETCH(bool, boxAtTheTop);
        const QSize size(1000, 300); // wider than the read-out
        QImage device(size, QImage::Format_RGB32);
        QPalette palette = PlotColours::paperPalette();
        palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0x80));
        const Profile profile = exampleProfile();
        const ProfilePlot plot(profile, QRectF(QPointF(0, 0), QSizeF(size)), pixelFont(12), &device,
                               PlotColours::fromPalette(palette));
        const ProfileReading reading = readProfile(profile, minutes);
        QImage image = painted(plot, size);
        {
            QPainter painter(&image);
            plot.paintReadout(painter, QPointF(plot.toDevice(QPointF(minutes, 0)).x(), plot.plotArea().center().y()),
                              reading, readoutText(profile, reading));
        }
        const QRectF area = plot.plotArea();
        // A pixel inside the box's padding, clear of its text, and the same
        // place at the other side.
        const QPoint corner(int(boxOnTheRight ? area.right() - 5 : area.left() + 4),
                            int(boxAtTheTop ? area.top() + 8 : area.bottom() - 9));
        const QPoint opposite(int(boxOnTheRight ? area.left() + 4 : area.right() - 5), corner.y());
        QCOMPARE(QColor(image.pixel(corner)), QColor(0xff, 0xff, 0x80));
        QVERIFY(QColor(image.pixel(opposite)) != QColor(0xff, 0xff, 0x80));
    }
};

QTEST_MAIN(TestProfilePlot)
#include "test_profile_plot.moc"
