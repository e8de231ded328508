#include "comm/CommX.h"
#include "tests/support/FakeSerialPlatform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

Q_DECLARE_METATYPE(TCommFlowCtrls)
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

// The component over a recording fake; COM1 and COM2 resolve to files.
struct Bench
{
    Bench()
    {
        auto owned = std::make_unique<FakeSerialPlatform>();
        fake = owned.get();
        comm = std::make_unique<TCommX>(std::move(owned));
        for (int n : {1, 2}) {
            QFile device(ports.path() + "/dev" + QString::number(n));
            device.open(QIODevice::WriteOnly);
            QFile::link(device.fileName(), ports.path() + "/COM" + QString::number(n));
        }
        comm->setPortDirectory(PortDirectory(ports.path()));
        comm->setOnError([this](TCustomCommX *, int code) { errors.push_back(code); });
    }
    // The controller link's settings.
    void configureLikeTheEditor()
    {
        comm->setBitRate(38400);
        comm->setCharSize(7);
        comm->setParityBit(cpbEven);
        comm->setStopBit(csb2);
        comm->setFlowCtrl(cfcNone);
        comm->setTimeOutTrans(1000);
        comm->setTimeOutReceive(1000);
    }

    QTemporaryDir ports;
    FakeSerialPlatform *fake = nullptr;
    std::unique_ptr<TCommX> comm;
    std::vector<int> errors;
};

} // namespace

class TestCommSettings : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void openAppliesEverySettingInOrder();
    void flowControlWords_data();
    void flowControlWords();
    void refusedSettingReportsItsCode_data();
    void refusedSettingReportsItsCode();
    void refusedSettingFailsOpenWithoutHandler();
    void settersOnlyStoreWhileClosed();
    void settersApplyWhileOpen();
    void receiveBufferMovesXonXoffLimits();
    void portNoWhileOpenReopens();
    void setupFailureWithoutHandlerCloses();
    void charTime_data();
    void charTime();
    void halfDuplexSwitchesRtsPerBurst_data();
    void halfDuplexSwitchesRtsPerBurst();
    void closeOrder();
};

void TestCommSettings::defaults()
{
    TCommX comm(std::make_unique<FakeSerialPlatform>());
    QCOMPARE(comm.PortNo(), 1);
    QCOMPARE(comm.BitRate(), 9600);
    QCOMPARE(comm.CharSize(), 8);
    QCOMPARE(comm.ParityBit(), cpbNone);
    QCOMPARE(comm.StopBit(), csb1);
    QCOMPARE(comm.FlowCtrl(), cfcRtsCts);
    QCOMPARE(comm.TimeOutTrans(), 3000);
    QCOMPARE(comm.TimeOutReceive(), 3000);
    QCOMPARE(comm.XonChar(), char(17));
    QCOMPARE(comm.XoffChar(), char(19));
    QCOMPARE(comm.BufLenTrans(), 2048);
    QCOMPARE(comm.BufLenReceive(), 2048);
    QCOMPARE(comm.Handle(), 0xFFFFFFFFu);
    QVERIFY(!comm.IsOpen());
    QCOMPARE(int(cpbEven), 2);
    QCOMPARE(int(csb2), 2);
    QCOMPARE(int(cfcNone), 5);
}

void TestCommSettings::openAppliesEverySettingInOrder()
{
    Bench b;
    b.configureLikeTheEditor();
    b.comm->Open();
    QVERIFY(b.comm->IsOpen());
    QCOMPARE(b.comm->Handle(), 42u);
    QVERIFY(b.errors.empty());
    const QStringList expected = {
        "open " + QFileInfo(b.ports.path() + "/dev1").canonicalFilePath(),
        "setupComm 2048 2048",
        "purge 5",
        "purge 10",
        "getCommState",
        "setCommState",
        "setCommState",
        "setCommState",
        "setCommState",
        "setCommState", // rate, size, parity, stop, flow
        "getCommTimeouts",
        "setCommTimeouts",
        "setCommState",
        "setCommState", // XON, XOFF
        "setCommMask 193",
    };
    QCOMPARE(b.fake->calls().mid(0, expected.size()), expected);

    const std::vector<CommLineSettings> states = b.fake->stateCalls();
    QCOMPARE(states.size(), size_t(7));
    QCOMPARE(states[0].BaudRate, 38400u);
    QCOMPARE(states[1].ByteSize, quint8(7));
    QCOMPARE(states[2].Parity, quint8(2));
    QCOMPARE(states[3].StopBits, quint8(2));
    QCOMPARE(states[4].Flags, 0x1013u);
    const CommLineSettings last = b.fake->state();
    QCOMPARE(last.BaudRate, 38400u);
    QCOMPARE(last.ByteSize, quint8(7));
    QCOMPARE(last.Parity, quint8(2));
    QCOMPARE(last.StopBits, quint8(2));
    QCOMPARE(last.Flags, 0x1013u);
    QCOMPARE(last.XonLim, quint16(512));
    QCOMPARE(last.XoffLim, quint16(512));
    QCOMPARE(last.XonChar, char(17));
    QCOMPARE(last.XoffChar, char(19));
    const CommTimeouts t = b.fake->timeouts();
    QCOMPARE(t, (CommTimeouts{0, 0, 1000, 0, 1000}));
}

void TestCommSettings::flowControlWords_data()
{
    QTest::addColumn<TCommFlowCtrls>("flow");
    QTest::addColumn<quint32>("word");
    QTest::addColumn<std::vector<int>>("errors");
    QTest::newRow("RTS/CTS") << cfcRtsCts << 0x2017u << std::vector<int>{};
    QTest::newRow("DTR/DSR") << cfcDtrDsr << 0x102Bu << std::vector<int>{CommErrorCode::FlowCtrl};
    QTest::newRow("XON/XOFF") << cfcXonXoff << 0x1313u << std::vector<int>{};
    QTest::newRow("half, RTS high") << cfcHalfHigh << 0x0013u << std::vector<int>{};
    QTest::newRow("half, RTS low") << cfcHalfLow << 0x1013u << std::vector<int>{};
    QTest::newRow("none") << cfcNone << 0x1013u << std::vector<int>{};
}

void TestCommSettings::flowControlWords()
{
    QFETCH(TCommFlowCtrls, flow);
    QFETCH(quint32, word);
    QFETCH(std::vector<int>, errors);
    QCOMPARE(TCustomCommX::FlagWordFor(flow), word);
    Bench b;
    b.comm->setFlowCtrl(flow);
    b.comm->Open();
    QCOMPARE(b.errors, errors);
    QCOMPARE(b.fake->stateCalls().at(4).Flags, word);
    // Only what the device took stays: a refused word is not sent again
    // with the settings after it.
    QCOMPARE(b.fake->state().Flags, errors.empty() ? word : b.fake->stateCalls().at(3).Flags);
}

void TestCommSettings::refusedSettingReportsItsCode_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::newRow("1.5 stop bits") << "StopBit" << int(csb1p5) << CommErrorCode::StopBit;
    QTest::newRow("9 data bits") << "CharSize" << 9 << CommErrorCode::CharSize;
    QTest::newRow("4 data bits") << "CharSize" << 4 << CommErrorCode::CharSize;
    QTest::newRow("odd speed") << "BitRate" << 12345 << CommErrorCode::BitRate;
    QTest::newRow("DTR/DSR") << "FlowCtrl" << int(cfcDtrDsr) << CommErrorCode::FlowCtrl;
}

static void setLineProperty(TCommX &comm, const QString &property, int value)
{
    if (property == "StopBit")
        comm.setStopBit(TCommStopBits(value));
    else if (property == "CharSize")
        comm.setCharSize(value);
    else if (property == "BitRate")
        comm.setBitRate(value);
    else if (property == "FlowCtrl")
        comm.setFlowCtrl(TCommFlowCtrls(value));
}

void TestCommSettings::refusedSettingReportsItsCode()
{
    QFETCH(QString, property);
    QFETCH(int, value);
    QFETCH(int, code);
    Bench b;
    b.comm->Open();
    QVERIFY(b.errors.empty());
    const CommLineSettings before = b.fake->state();
    setLineProperty(*b.comm, property, value);
    QCOMPARE(b.errors, std::vector<int>{code});
    QCOMPARE(b.fake->state(), before);
    // The next setting goes through on its own.
    b.comm->setXonChar(0x12);
    QCOMPARE(b.errors, std::vector<int>{code});
    QCOMPARE(b.fake->state().XonChar, char(0x12));
    QVERIFY(b.comm->IsOpen());
}

void TestCommSettings::refusedSettingFailsOpenWithoutHandler()
{
    Bench b;
    b.comm->setOnError({});
    b.comm->setStopBit(csb1p5);
    try {
        b.comm->Open();
        QFAIL("Open raised nothing");
    } catch (const ECommError &e) {
        QCOMPARE(e.ErrorState, CommErrorCode::StopBit);
    }
    QVERIFY(!b.comm->IsOpen());
    QCOMPARE(b.comm->Handle(), TCustomCommX::InvalidHandle);
    QCOMPARE(b.fake->calls().last(), QString("close"));
    QVERIFY(!b.fake->calls().contains("setCommMask 193"));
}

void TestCommSettings::settersOnlyStoreWhileClosed()
{
    Bench b;
    b.comm->setBitRate(19200);
    b.comm->setBufLenReceive(4096);
    b.comm->setTimeOutReceive(250);
    QVERIFY(b.fake->calls().isEmpty());
    QCOMPARE(b.comm->BitRate(), 19200);
    b.comm->Open();
    QCOMPARE(b.fake->state().BaudRate, 19200u);
    QCOMPARE(b.fake->state().XonLim, quint16(1024));
    QCOMPARE(b.fake->timeouts().ReadTotalTimeoutConstant, 250u);
    QVERIFY(b.fake->calls().contains("setupComm 4096 2048"));
}

void TestCommSettings::settersApplyWhileOpen()
{
    Bench b;
    b.comm->Open();
    b.fake->clearCalls();
    b.comm->setBitRate(4800);
    b.comm->setCharSize(5);
    b.comm->setParityBit(cpbOdd);
    b.comm->setStopBit(csb2);
    b.comm->setXoffChar(0x14);
    b.comm->setTimeOutTrans(700);
    b.comm->setBufLenTrans(512);
    QVERIFY(b.errors.empty());
    const CommLineSettings s = b.fake->state();
    QCOMPARE(s.BaudRate, 4800u);
    QCOMPARE(s.ByteSize, quint8(5));
    QCOMPARE(s.Parity, quint8(1));
    QCOMPARE(s.StopBits, quint8(2));
    QCOMPARE(s.XoffChar, char(0x14));
    QCOMPARE(b.fake->timeouts(), (CommTimeouts{0, 0, 3000, 0, 700}));
    QCOMPARE(b.fake->stateCalls().size(), size_t(5));
    QVERIFY(b.fake->calls().contains("setupComm 2048 512"));
}

void TestCommSettings::receiveBufferMovesXonXoffLimits()
{
    Bench b;
    b.comm->setFlowCtrl(cfcXonXoff);
    b.comm->Open();
    QCOMPARE(b.fake->state().XonLim, quint16(512));
    b.fake->clearCalls();
    b.comm->setBufLenReceive(4096);
    QCOMPARE(b.fake->calls(), (QStringList{"setupComm 4096 2048", "setCommState"}));
    QCOMPARE(b.fake->state().XonLim, quint16(1024));
    QCOMPARE(b.fake->state().XoffLim, quint16(1024));
    QCOMPARE(b.fake->state().Flags, 0x1313u);
}

void TestCommSettings::portNoWhileOpenReopens()
{
    Bench b;
    b.comm->Open();
    b.fake->clearCalls();
    b.comm->setPortNo(2);
    QVERIFY(b.comm->IsOpen());
    const QStringList calls = b.fake->calls();
    const qsizetype closed = calls.indexOf("close");
    const qsizetype opened = calls.indexOf("open " + QFileInfo(b.ports.path() + "/dev2").canonicalFilePath());
    QVERIFY(closed >= 0);
    QVERIFY(opened > closed);
    b.comm->setPortNo(3); // nothing behind COM3
    QCOMPARE(b.errors, std::vector<int>{CommErrorCode::OpenFailed});
    QVERIFY(!b.comm->IsOpen());
}

void TestCommSettings::setupFailureWithoutHandlerCloses()
{
    Bench b;
    b.fake->setupSucceeds = false;
    b.comm->Open(); // with a handler: reported, and Open goes on
    QCOMPARE(b.errors, std::vector<int>{CommErrorCode::SetupComm});
    QVERIFY(b.comm->IsOpen());
    b.comm->Close();

    b.comm->setOnError({});
    QVERIFY_THROWS_EXCEPTION(ECommError, b.comm->Open());
    QVERIFY(!b.comm->IsOpen());
    QCOMPARE(b.fake->calls().last(), QString("close"));
}

void TestCommSettings::charTime_data()
{
    QTest::addColumn<int>("bitRate");
    QTest::addColumn<int>("ms");
    QTest::newRow("38400") << 38400 << 1;
    QTest::newRow("19200") << 19200 << 1;
    QTest::newRow("9600") << 9600 << 2;
    QTest::newRow("4800") << 4800 << 3;
    QTest::newRow("2400") << 2400 << 5;
    QTest::newRow("1200") << 1200 << 9;
}

void TestCommSettings::charTime()
{
    QFETCH(int, bitRate);
    QFETCH(int, ms);
    QCOMPARE(TCustomCommX::CharTimeFor(bitRate), ms);
}

void TestCommSettings::halfDuplexSwitchesRtsPerBurst_data()
{
    QTest::addColumn<TCommFlowCtrls>("flow");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("RTS high while sending")
        << cfcHalfHigh << QStringList{"escape SetRts", "write 4", "write 4", "write 2", "escape ClrRts"};
    QTest::newRow("RTS low while sending")
        << cfcHalfLow << QStringList{"escape ClrRts", "write 4", "write 4", "write 2", "escape SetRts"};
    QTest::newRow("no switching") << cfcNone << QStringList{"write 4", "write 4", "write 2"};
}

void TestCommSettings::halfDuplexSwitchesRtsPerBurst()
{
    QFETCH(TCommFlowCtrls, flow);
    QFETCH(QStringList, expected);
    Bench b;
    b.comm->setFlowCtrl(flow);
    b.comm->setBufLenTrans(4);
    b.comm->Open();
    b.fake->clearCalls();
    QVERIFY(b.comm->WriteString("0123456789"));
    QTRY_COMPARE(b.comm->PendingCount(), 0);
    QTRY_COMPARE(b.fake->calls(), expected);
}

void TestCommSettings::closeOrder()
{
    Bench b;
    b.comm->Open();
    b.fake->clearCalls();
    b.comm->Close();
    QVERIFY(!b.comm->IsOpen());
    const QStringList calls = b.fake->calls();
    const QStringList order = {"escape ClrDtr", "escape ClrRts", "purge 5", "purge 10", "setCommMask 0", "close"};
    qsizetype at = -1;
    for (const QString &call : order) {
        const qsizetype next = calls.indexOf(call, at + 1);
        QVERIFY2(next > at, qPrintable(call + " out of order in " + calls.join(", ")));
        at = next;
    }
    QCOMPARE(calls.last(), QString("close"));
    b.comm->Close(); // closed already: nothing happens
    QCOMPARE(b.fake->calls(), calls);
}

QTEST_GUILESS_MAIN(TestCommSettings)
#include "test_comm_settings.moc"
