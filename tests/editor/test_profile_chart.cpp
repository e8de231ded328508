// The window's chart: the profile plot painted in a widget, read by the
// mouse and by assistive technology. The drawing's own rules are tested with
// the plot.
#include "editor/ProfileChart.h"
#include "model/TemperatureProgram.h"
#include "report/ReportExport.h"
#include "tests/support/ExampleProfile.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QtTest>

namespace {
Profile longestProfile()
{
    QList<QStringList> cells;
    for (int slot = 0; slot < 32; ++slot)
        cells << QStringList{"Ramp", slot % 2 ? "0.0" : "300.0", "0.1", "0.00"};
    return profileOf(0, cells);
}

void sendMouse(ProfileChart &chart, QEvent::Type type, QPointF value)
{
    const QPoint pos = chart.plot().toDevice(value).toPoint();
    QMouseEvent event(type, pos, chart.mapToGlobal(pos), Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &event);
}
}

Q_DECLARE_METATYPE(Profile)

class TestProfileChart : public QObject
{
    Q_OBJECT
private slots:
    void sameAsTheExportedPng_data()
    {
        QTest::addColumn<Profile>("profile");
        QTest::addColumn<QSize>("size");
        QTest::newRow("example, window band") << exampleProfile() << QSize(754, 144);
        QTest::newRow("example, export size") << exampleProfile() << ReportExport::DefaultPlotSize;
        QTest::newRow("32 segments") << longestProfile() << QSize(900, 420);
        QTest::newRow("no profile") << Profile() << QSize(754, 144);
    }

    void sameAsTheExportedPng()
    {
        // At the same size, in a light palette and the widget's own font,
        // with nothing selected and the mouse away: pixel for pixel the
        // file's picture.
        QFETCH(Profile, profile);
        QFETCH(QSize, size);
        ProfileChart chart;
        chart.setFont(QFont(QStringLiteral("Serif"), 7));
        chart.resize(size);
        chart.setProfile(profile);
        const QImage shown = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage exported;
        QVERIFY(exported.loadFromData(ReportExport::png(profile, size), "PNG"));
        QCOMPARE(shown.size(), size);
        QCOMPARE(shown, exported.convertToFormat(QImage::Format_RGB32));
    }

    void mouseReadsAndAssistiveTechnologyHears()
    {
        ProfileChart chart;
        chart.resize(754, 200);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCOMPARE(chart.accessibleName(), QString("Profile chart"));
        QCOMPARE(chart.accessibleDescription(), QString("No profile drawn"));
        chart.setProfile(exampleProfile());
        QCOMPARE(chart.accessibleDescription(), QString("3 segments, 0:21:00, highest 150.0 °C"));

        // What the mouse is over is the description assistive technology
        // reads. (The change event that tells it so reaches a handler only
        // where a platform bridge is active, which the offscreen one is not.)
        sendMouse(chart, QEvent::MouseMove, QPointF(14, 150));
        QVERIFY2(chart.readout().contains("Segment 1 Hold 150.0 °C, 0:11:00 – 0:16:30"), qPrintable(chart.readout()));
        QCOMPARE(chart.accessibleDescription(), chart.readout());
        QAccessibleInterface *chartInterface = QAccessible::queryAccessibleInterface(&chart);
        QCOMPARE(chartInterface->role(), QAccessible::Chart);
        QCOMPARE(chartInterface->text(QAccessible::Name), QString("Profile chart"));
        QCOMPARE(chartInterface->text(QAccessible::Description), chart.readout());

        // The mouse gone, the summary again.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&chart, &leave);
        QVERIFY(chart.readout().isEmpty());
        QCOMPARE(chart.accessibleDescription(), QString("3 segments, 0:21:00, highest 150.0 °C"));
    }
};

QTEST_MAIN(TestProfileChart)
#include "test_profile_chart.moc"
