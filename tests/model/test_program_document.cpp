#include "model/ProgramDocument.h"

#include <QtTest>

namespace {
enum Property { Modified, InitialTemp, InitialTempError };

// Sets one of the document's state properties from a number (0 and 1 for the flags).
void setState(ProgramDocument &document, Property property, double value)
{
    switch (property) {
    case Modified:
        document.setModified(value != 0);
        break;
    case InitialTemp:
        document.setInitialTemp(value);
        break;
    case InitialTempError:
        document.setInitialTempError(value != 0);
        break;
    }
}

double stateValue(const ProgramDocument &document, Property property)
{
    switch (property) {
    case Modified:
        return document.isModified();
    case InitialTemp:
        return document.initialTemp();
    case InitialTempError:
        return document.initialTempError();
    }
    return -1;
}

// The signal's argument, as a number.
double signalled(const QList<QVariant> &arguments)
{
    const QVariant value = arguments.value(0);
    return value.typeId() == QMetaType::Bool ? double(value.toBool()) : value.toDouble();
}
}

class TestProgramDocument : public QObject
{
    Q_OBJECT
private slots:
    // Each state property signals once for a new value and never for the
    // value it holds; the getter gives back what was set.
    void setterSignalsOnlyChanges_data()
    {
        QTest::addColumn<int>("property");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QList<double>>("expectedSignals");
        QTest::newRow("modified: set, again, cleared")
            << int(Modified) << QList<double>{1, 1, 0} << QList<double>{1, 0};
        QTest::newRow("modified: cleared when clear") << int(Modified) << QList<double>{0} << QList<double>{};
        QTest::newRow("initial temp.: new, same, other")
            << int(InitialTemp) << QList<double>{25, 25, 40.5} << QList<double>{25, 40.5};
        QTest::newRow("initial temp.: the 0 it starts with") << int(InitialTemp) << QList<double>{0} << QList<double>{};
        QTest::newRow("initial temp. error: set, again, cleared")
            << int(InitialTempError) << QList<double>{1, 1, 0, 0} << QList<double>{1, 0};
    }

    void setterSignalsOnlyChanges()
    {
        QFETCH(int, property);
        QFETCH(QList<double>, values);
        QFETCH(QList<double>, expectedSignals);
        ProgramDocument document;
        const char *signal = property == Modified ? SIGNAL(modifiedChanged(bool))
            : property == InitialTemp             ? SIGNAL(initialTempChanged(double))
                                                  : SIGNAL(initialTempErrorChanged(bool));
        QSignalSpy spy(&document, signal);
        QVERIFY(spy.isValid());
        for (double value : values) {
            setState(document, Property(property), value);
            QCOMPARE(stateValue(document, Property(property)), value);
        }
        QList<double> seen;
        for (const QList<QVariant> &arguments : spy)
            seen << signalled(arguments);
        QCOMPARE(seen, expectedSignals);
    }
};

QTEST_GUILESS_MAIN(TestProgramDocument)
#include "test_program_document.moc"
