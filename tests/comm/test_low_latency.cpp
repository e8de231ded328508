// Low latency on a USB serial adapter: what open asks of the driver, what
// close puts back, and the note when the driver refuses. A fake driver
// answers the serial-settings calls on a pseudo-terminal.
#include "comm/CommX.h"
#include "comm/PosixSerialPlatform.h"
#include "tests/support/PtyPair.h"

#include <QtTest>

#include <linux/serial.h>

namespace {

enum class Driver { None, Off, On, Refuses, IgnoresIt };

class FakeUsbDriver : public PosixSerialPlatform
{
public:
    explicit FakeUsbDriver(Driver driver, int *flags) : m_driver(driver), m_flags(flags) {}

protected:
    bool getSerialInfo(int, serial_struct &info) override
    {
        if (m_driver == Driver::None)
            return false;
        info.flags = *m_flags;
        return true;
    }
    bool setSerialInfo(int, const serial_struct &info) override
    {
        if (m_driver == Driver::Refuses)
            return false;
        if (m_driver != Driver::IgnoresIt)
            *m_flags = info.flags;
        return true;
    }

private:
    Driver m_driver;
    int *m_flags;
};

} // namespace

Q_DECLARE_METATYPE(Driver)
Q_DECLARE_METATYPE(PosixSerialPlatform::LowLatency)

class TestLowLatency : public QObject
{
    Q_OBJECT
private slots:
    void askedOnOpenPutBackOnClose_data()
    {
        QTest::addColumn<Driver>("driver");
        QTest::addColumn<PosixSerialPlatform::LowLatency>("state");
        QTest::addColumn<int>("flagsWhileOpen");
        QTest::addColumn<bool>("note");
        using L = PosixSerialPlatform::LowLatency;
        const int other = 0x0400;
        const int low = int(ASYNC_LOW_LATENCY); // a flag of the driver's own that stays as it was
        QTest::newRow("no such setting (pseudo-terminal)") << Driver::None << L::NotApplicable << other << false;
        QTest::newRow("off: set, and cleared again") << Driver::Off << L::Set << (other | low) << false;
        QTest::newRow("already on: left on") << Driver::On << L::AlreadyOn << (other | low) << false;
        QTest::newRow("refused") << Driver::Refuses << L::Refused << other << true;
        QTest::newRow("taken but not kept") << Driver::IgnoresIt << L::Refused << other << true;
    }

    void askedOnOpenPutBackOnClose()
    {
        QFETCH(Driver, driver);
        QFETCH(PosixSerialPlatform::LowLatency, state);
        QFETCH(int, flagsWhileOpen);
        QFETCH(bool, note);
        PtyPair pty;
        QVERIFY(pty.isValid());
        const int before = 0x0400 | (driver == Driver::On ? int(ASYNC_LOW_LATENCY) : 0);
        int flags = before;
        auto owned = std::make_unique<FakeUsbDriver>(driver, &flags);
        FakeUsbDriver *platform = owned.get();
        TCommX comm(std::move(owned));
        comm.setPortDirectory(PortDirectory::forDevice(pty.slavePath));
        comm.Open();
        // Whatever the driver said, the port works.
        QVERIFY(comm.IsOpen());
        QCOMPARE(platform->lowLatency(), state);
        QCOMPARE(flags, flagsWhileOpen);
        QVERIFY(comm.WriteString("ping"));
        comm.Close();
        QCOMPARE(flags, before);
        QCOMPARE(platform->lineNote().isEmpty(), !note);
        if (note) {
            QVERIFY(platform->lineNote().startsWith(pty.slavePath + ": "));
            QVERIFY(platform->lineNote().contains("latency timer"));
            QVERIFY(platform->lineNote().contains("ATTR{latency_timer}=\"1\""));
        }
    }
};

QTEST_GUILESS_MAIN(TestLowLatency)
#include "test_low_latency.moc"
