#include "comm/TermiosSettings.h"

#include <QTest>

#include <termios.h>

// The line settings in termios terms: what each setting kind writes, which
// settings a device cannot take, and the judgement of what a device read back.
class TestTermiosSettings : public QObject
{
    Q_OBJECT

private slots:
    void translation_data();
    void translation();
    void settingsReadBack_data();
    void settingsReadBack();
};

void TestTermiosSettings::translation_data()
{
    QTest::addColumn<quint32>("rate");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    QTest::addColumn<int>("stopBits"); // 0 one, 1 one and a half, 2 two
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<speed_t>("speed");
    QTest::addColumn<tcflag_t>("cflags"); // CSIZE, parity, CSTOPB and CRTSCTS bits
    QTest::addColumn<tcflag_t>("iflags"); // INPCK, IXON, IXOFF and IXANY bits

    const quint32 none = CommFlag::Binary | CommFlag::Parity | CommFlag::DtrEnable | CommFlag::RtsEnable;
    QTest::newRow("7E2, no flow control") << 38400u << 7 << 2 << 2 << none << true << speed_t(B38400)
                                          << tcflag_t(CS7 | PARENB | CSTOPB) << tcflag_t(INPCK);
    QTest::newRow("8N1: no parity check")
        << 9600u << 8 << 0 << 0 << none << true << speed_t(B9600) << tcflag_t(CS8) << tcflag_t(0);
    QTest::newRow("5 bits, odd") << 115200u << 5 << 1 << 0 << none << true << speed_t(B115200)
                                 << tcflag_t(CS5 | PARENB | PARODD) << tcflag_t(INPCK);
    QTest::newRow("6 bits, mark") << 1200u << 6 << 3 << 0 << none << true << speed_t(B1200)
                                  << tcflag_t(CS6 | PARENB | PARODD | CMSPAR) << tcflag_t(INPCK);
    QTest::newRow("space, parity not checked") << 1200u << 8 << 4 << 0 << quint32(CommFlag::Binary) << true
                                               << speed_t(B1200) << tcflag_t(CS8 | PARENB | CMSPAR) << tcflag_t(0);
    QTest::newRow("CTS flow") << 9600u << 8 << 0 << 0 << quint32(CommFlag::OutxCtsFlow) << true << speed_t(B9600)
                              << tcflag_t(CS8 | CRTSCTS) << tcflag_t(0);
    QTest::newRow("RTS handshake") << 9600u << 8 << 0 << 0 << quint32(CommFlag::RtsHandshake) << true << speed_t(B9600)
                                   << tcflag_t(CS8 | CRTSCTS) << tcflag_t(0);
    QTest::newRow("XON/XOFF both ways") << 9600u << 8 << 0 << 0 << quint32(CommFlag::OutX | CommFlag::InX) << true
                                        << speed_t(B9600) << tcflag_t(CS8) << tcflag_t(IXON | IXOFF);
    QTest::newRow("odd speed") << 12345u << 8 << 0 << 0 << none << false << speed_t(0) << tcflag_t(0) << tcflag_t(0);
    QTest::newRow("4 data bits") << 9600u << 4 << 0 << 0 << none << false << speed_t(0) << tcflag_t(0) << tcflag_t(0);
    QTest::newRow("9 data bits") << 9600u << 9 << 0 << 0 << none << false << speed_t(0) << tcflag_t(0) << tcflag_t(0);
    QTest::newRow("parity 5") << 9600u << 8 << 5 << 0 << none << false << speed_t(0) << tcflag_t(0) << tcflag_t(0);
    QTest::newRow("1.5 stop bits") << 9600u << 8 << 0 << 1 << none << false << speed_t(0) << tcflag_t(0) << tcflag_t(0);
    QTest::newRow("DSR flow") << 9600u << 8 << 0 << 0 << quint32(CommFlag::OutxDsrFlow) << false << speed_t(0)
                              << tcflag_t(0) << tcflag_t(0);
    QTest::newRow("DTR handshake") << 9600u << 8 << 0 << 0 << quint32(CommFlag::DtrHandshake) << false << speed_t(0)
                                   << tcflag_t(0) << tcflag_t(0);
    QTest::newRow("RTS toggle") << 9600u << 8 << 0 << 0 << quint32(CommFlag::RtsToggle) << false << speed_t(0)
                                << tcflag_t(0) << tcflag_t(0);
}

void TestTermiosSettings::translation()
{
    QFETCH(quint32, rate);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QFETCH(quint32, flags);
    QFETCH(bool, supported);
    QFETCH(speed_t, speed);
    QFETCH(tcflag_t, cflags);
    QFETCH(tcflag_t, iflags);

    CommLineSettings settings;
    settings.BaudRate = rate;
    settings.ByteSize = quint8(dataBits);
    settings.Parity = quint8(parity);
    settings.StopBits = quint8(stopBits);
    settings.Flags = flags;
    settings.XonChar = 0x21;
    settings.XoffChar = 0x23;
    QCOMPARE(TermiosSettings::isSupported(settings), supported);

    // Bits of no setting stay as they were; refused settings change nothing.
    termios t{};
    t.c_cflag = CS8 | PARENB | CREAD | CLOCAL | HUPCL;
    t.c_iflag = IXANY | ICRNL;
    const termios before = t;
    QCOMPARE(TermiosSettings::toTermios(settings, t), supported);
    if (!supported) {
        QCOMPARE(t.c_cflag, before.c_cflag);
        QCOMPARE(t.c_iflag, before.c_iflag);
        return;
    }
    QCOMPARE(::cfgetospeed(&t), speed);
    QCOMPARE(::cfgetispeed(&t), speed);
    QCOMPARE(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS), cflags);
    QCOMPARE(t.c_cflag & (CREAD | CLOCAL | HUPCL), tcflag_t(CREAD | CLOCAL | HUPCL));
    QCOMPARE(t.c_iflag, iflags | ICRNL);
    QCOMPARE(t.c_cc[VSTART], cc_t(0x21));
    QCOMPARE(t.c_cc[VSTOP], cc_t(0x23));

    // Read back, the line settings come out as they went in; the flag word
    // is not read from termios.
    CommLineSettings readBack;
    readBack.Flags = 0x55;
    TermiosSettings::fromTermios(t, readBack);
    CommLineSettings expected = settings;
    expected.Flags = 0x55;
    QCOMPARE(readBack, expected);
}

// What the device reads back after tcsetattr, against what was asked (7E2 at
// 38400 bit/s, XON/XOFF characters as usual).
void TestTermiosSettings::settingsReadBack_data()
{
    QTest::addColumn<tcflag_t>("cflagDropped");
    QTest::addColumn<tcflag_t>("cflagAdded");
    QTest::addColumn<speed_t>("speed");
    QTest::addColumn<bool>("pty");
    QTest::addColumn<bool>("took");

    QTest::newRow("all took") << tcflag_t(0) << tcflag_t(0) << speed_t(B38400) << false << true;
    QTest::newRow("8 bits instead of 7") << tcflag_t(CS7) << tcflag_t(CS8) << speed_t(B38400) << false << false;
    QTest::newRow("8 bits instead of 7, pty") << tcflag_t(CS7) << tcflag_t(CS8) << speed_t(B38400) << true << true;
    QTest::newRow("no parity") << tcflag_t(PARENB) << tcflag_t(0) << speed_t(B38400) << false << false;
    QTest::newRow("no parity, pty") << tcflag_t(PARENB) << tcflag_t(0) << speed_t(B38400) << true << true;
    QTest::newRow("odd parity") << tcflag_t(0) << tcflag_t(PARODD) << speed_t(B38400) << false << false;
    QTest::newRow("1 stop bit") << tcflag_t(CSTOPB) << tcflag_t(0) << speed_t(B38400) << false << false;
    QTest::newRow("1 stop bit, pty") << tcflag_t(CSTOPB) << tcflag_t(0) << speed_t(B38400) << true << false;
    QTest::newRow("other speed") << tcflag_t(0) << tcflag_t(0) << speed_t(B9600) << false << false;
    QTest::newRow("other speed, pty") << tcflag_t(0) << tcflag_t(0) << speed_t(B9600) << true << false;
    QTest::newRow("hardware flow control on") << tcflag_t(0) << tcflag_t(CRTSCTS) << speed_t(B38400) << false << false;
}

void TestTermiosSettings::settingsReadBack()
{
    QFETCH(tcflag_t, cflagDropped);
    QFETCH(tcflag_t, cflagAdded);
    QFETCH(speed_t, speed);
    QFETCH(bool, pty);
    QFETCH(bool, took);

    termios asked{};
    asked.c_cflag = CS7 | PARENB | CSTOPB | CREAD | CLOCAL;
    ::cfsetispeed(&asked, B38400);
    ::cfsetospeed(&asked, B38400);
    asked.c_cc[VSTART] = 0x11;
    asked.c_cc[VSTOP] = 0x13;
    termios readBack = asked;
    readBack.c_cflag = (readBack.c_cflag & ~cflagDropped) | cflagAdded;
    ::cfsetispeed(&readBack, speed);
    ::cfsetospeed(&readBack, speed);
    QCOMPARE(TermiosSettings::settingsTook(asked, readBack, pty), took);
}

QTEST_GUILESS_MAIN(TestTermiosSettings)
#include "test_termios_settings.moc"
