#include "comm/CommX.h"
#include "comm/PosixSerialPlatform.h"
#include "comm/protocol/CommError.h" // beside comm/CommX.h: their names must not clash
#include "comm/protocol/FrameBytes.h"
#include "tests/support/AnswerFuzzer.h"
#include "tests/support/PtyPair.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <mutex>
#include <termios.h>
#include <thread>
#include <vector>

namespace {

constexpr int kPort = 7;
constexpr int kForever = 600000; // a Read that waited for this would hit the test time-out

// The real platform, noting how many bytes each write start hands over.
class WriteRecordingPlatform : public PosixSerialPlatform
{
public:
    WriteStart startWrite(const char *data, int count, int &written) override
    {
        {
            std::lock_guard lock(mutex);
            starts.push_back(count);
        }
        return PosixSerialPlatform::startWrite(data, count, written);
    }
    std::vector<int> recorded()
    {
        std::lock_guard lock(mutex);
        return starts;
    }

private:
    std::mutex mutex;
    std::vector<int> starts;
};

// The far end sends bytes once the port has taken all that arrived. The
// timer runs only while a Read keeps the event loop turning, so the bytes
// come while that Read still waits; a Read that ended before never sees them.
void sendOnceTaken(QObject &context, TCommX &comm, const PtyPair &pty, const QByteArray &bytes)
{
    auto *timer = new QTimer(&context);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, &context, [timer, &comm, &pty, bytes] {
        if (comm.platform().inputQueueBytes() != 0)
            return;
        timer->stop();
        QVERIFY(pty.send(bytes));
    });
    timer->start();
}

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) % 251);
    return bytes;
}

} // namespace

class TestCommPty : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void allByteValuesBothWays();
    void controllerLineSettingsOpenOnAPty();
    void longWriteTravelsInChunks();
    void thirtyThirdChunkWaits();
    void readReturnsWhenCountArrived();
    void readTimesOutWithNothing();
    void readAnswer_data();
    void readAnswer();
    void readAnswerWaitsForBlockCheck();
    void readAnswerSurvivesNonsense();
    void purgedInputNeverAppears();
    void purgeTransDropsQueuedChunks();
    void closedPortRefusesIo();
    void openTwiceReports100();
    void openUnresolvedPort_data();
    void openUnresolvedPort();
    void secondComponentCannotOpenSameDevice();
    void farEndClosingEndsRead();
    void closeDuringWriteWaitEndsWrite();
    void receiveNotification();
    void destroyRightAfterClose();
    void openCloseCycles();

private:
    std::unique_ptr<TCommX> makeComm(std::unique_ptr<SerialPlatform> platform = nullptr);

    std::unique_ptr<QTemporaryDir> m_ports;
    std::unique_ptr<PtyPair> m_pty;
};

void TestCommPty::init()
{
    m_ports = std::make_unique<QTemporaryDir>();
    m_pty = std::make_unique<PtyPair>();
    QVERIFY(m_pty->isValid());
    QVERIFY(m_pty->linkAs(m_ports->path(), kPort));
}

void TestCommPty::cleanup()
{
    m_pty.reset();
    m_ports.reset();
}

std::unique_ptr<TCommX> TestCommPty::makeComm(std::unique_ptr<SerialPlatform> platform)
{
    auto comm = std::make_unique<TCommX>(std::move(platform));
    comm->setPortDirectory(PortDirectory(m_ports->path()));
    comm->setPortNo(kPort);
    comm->setFlowCtrl(cfcNone);
    return comm;
}

void TestCommPty::allByteValuesBothWays()
{
    auto comm = makeComm();
    comm->setTimeOutReceive(5000);
    comm->Open();
    QVERIFY(comm->IsOpen());
    QVERIFY(comm->Handle() != TCustomCommX::InvalidHandle);

    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QVERIFY(comm->WriteString(all));
    QCOMPARE(m_pty->receive(256), all);

    QVERIFY(m_pty->send(all));
    QByteArray in(256, '\0');
    QCOMPARE(comm->Read(in.data(), 256), 256);
    QCOMPARE(in, all);
}

// 7 data bits, even parity, 2 stop bits: a pseudo-terminal stays at 8 data
// bits without parity (the component's size-only and parity-only requests
// fail with EINVAL, having taken nothing) and keeps the 2 stop bits; the port
// still opens, reports nothing, and carries the bytes.
void TestCommPty::controllerLineSettingsOpenOnAPty()
{
    auto comm = makeComm();
    comm->setBitRate(38400);
    comm->setCharSize(7);
    comm->setParityBit(cpbEven);
    comm->setStopBit(csb2);
    comm->setTimeOutReceive(2000);
    comm->Open();
    QVERIFY(comm->IsOpen());
    // Why a pseudo-terminal is excused from the read-back of size and parity.
    termios readBack{};
    QCOMPARE(::tcgetattr(comm->Handle(), &readBack), 0);
    QCOMPARE(readBack.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(readBack.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(readBack.c_cflag & CSTOPB, tcflag_t(CSTOPB));
    QVERIFY(comm->WriteString("\x02"
                              "01000"
                              "0101800012000001\x03"
                              "8"));
    QCOMPARE(m_pty->receive(24),
             QByteArray("\x02"
                        "01000"
                        "0101800012000001\x03"
                        "8"));
    QVERIFY(m_pty->send("ok"));
    char in[2];
    QCOMPARE(comm->Read(in, 2), 2);
    QCOMPARE(QByteArray(in, 2), QByteArray("ok"));
}

void TestCommPty::longWriteTravelsInChunks()
{
    auto platform = std::make_unique<WriteRecordingPlatform>();
    WriteRecordingPlatform *recorder = platform.get();
    auto comm = makeComm(std::move(platform));
    QCOMPARE(comm->BufLenTrans(), 2048);
    comm->Open();
    const QByteArray data = pattern(5000, 3);
    QVERIFY(comm->WriteString(data));
    QCOMPARE(m_pty->receive(data.size()), data);
    QTRY_COMPARE(comm->PendingCount(), 0);
    QCOMPARE(recorder->recorded(), (std::vector<int>{2048, 2048, 904}));
}

void TestCommPty::thirtyThirdChunkWaits()
{
    auto comm = makeComm();
    comm->setBufLenTrans(16);
    comm->setTimeOutTrans(0); // no write time-out: a blocked chunk stays outstanding
    comm->Open();
    const qsizetype filled = m_pty->fillTowardsMaster('f');
    QVERIFY(filled > 0);

    const QByteArray data = pattern(33 * 16, 5);
    bool writeReturned = false;
    int pendingWhileWaiting = -1;
    QByteArray received;
    std::thread drainer;
    const auto joinDrainer = qScopeGuard([&] {
        if (drainer.joinable())
            drainer.join();
    });
    QObject context; // cancels the timer when the test ends early
    QTimer::singleShot(300, &context, [&] {
        pendingWhileWaiting = writeReturned ? -2 : comm->PendingCount();
        drainer = std::thread([&] { received = m_pty->receive(filled + data.size()); });
    });
    QVERIFY(comm->WriteString(data));
    writeReturned = true;
    QTRY_VERIFY(drainer.joinable());
    drainer.join();
    QCOMPARE(pendingWhileWaiting, TCustomCommX::MaxPendingChunks);
    QCOMPARE(received.size(), filled + data.size());
    QCOMPARE(received.left(filled), QByteArray(filled, 'f'));
    QCOMPARE(received.mid(filled), data);
}

void TestCommPty::readReturnsWhenCountArrived()
{
    auto comm = makeComm();
    comm->setTimeOutReceive(kForever);
    comm->Open();
    const QByteArray data = pattern(128, 9);
    QVERIFY(m_pty->send(data + "tail"));
    QByteArray in(128, '\0');
    QCOMPARE(comm->Read(in.data(), 128), 128);
    QCOMPARE(in, data);
}

void TestCommPty::readTimesOutWithNothing()
{
    auto comm = makeComm();
    comm->setTimeOutReceive(1000);
    comm->Open();
    QByteArray in(128, '\0');
    QCOMPARE(comm->Read(in.data(), 128), 0);

    // It gives up at its time-out, not when it first finds nothing: what
    // comes while it waits is read, and it still ends with less than asked.
    QObject context; // ends the sending timer with the test
    sendOnceTaken(context, *comm, *m_pty, "x");
    QCOMPARE(comm->Read(in.data(), 128), 1);
    QCOMPARE(in.at(0), 'x');
}

void TestCommPty::readAnswer_data()
{
    QTest::addColumn<QByteArray>("arriving");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("endsEarly");
    QTest::newRow("complete answer") << QByteArray("\x02"
                                                   "0100\x03"
                                                   "A")
                                     << 7 << true;
    QTest::newRow("block check is ETX") << QByteArray("\x02"
                                                      "01\x03\x03")
                                        << 5 << true;
    QTest::newRow("no ETX yet") << QByteArray("\x02"
                                              "0100")
                                << 5 << false;
    QTest::newRow("ETX without block check") << QByteArray("\x02"
                                                           "0100\x03")
                                             << 6 << false;
}

void TestCommPty::readAnswer()
{
    QFETCH(QByteArray, arriving);
    QFETCH(int, expected);
    QFETCH(bool, endsEarly);
    auto comm = makeComm();
    comm->setTimeOutReceive(kForever);
    comm->Open();
    QVERIFY(m_pty->send(arriving));
    QTRY_COMPARE(comm->platform().inputQueueBytes(), int(arriving.size()));
    QByteArray in(128, '\0');
    if (endsEarly) {
        QCOMPARE(comm->ReadAnswer(in.data(), 128, FrameBytes::answerComplete), expected);
        QCOMPARE(in.left(expected), arriving);
        return;
    }
    // Not a whole answer yet: the read goes on waiting and takes the next byte.
    QObject context; // ends the sending timer with the test
    sendOnceTaken(context, *comm, *m_pty, "0");
    QCOMPARE(comm->ReadAnswer(in.data(), expected + 1, FrameBytes::answerComplete), expected + 1);
    QCOMPARE(in.left(expected + 1), arriving + "0");
}

void TestCommPty::readAnswerWaitsForBlockCheck()
{
    auto comm = makeComm();
    comm->setTimeOutReceive(kForever);
    comm->Open();
    QVERIFY(m_pty->send("\x02"
                        "0100\x03"));
    QTRY_COMPARE(comm->platform().inputQueueBytes(), 6);
    QByteArray in(128, '\0');
    {
        QObject context; // ends the sending timer with the read
        sendOnceTaken(context, *comm, *m_pty, "B");
        QCOMPARE(comm->ReadAnswer(in.data(), 128, FrameBytes::answerComplete), 7);
    }
    QCOMPARE(in.left(7),
             QByteArray("\x02"
                        "0100\x03"
                        "B"));

    // Read keeps its meaning: a complete answer does not end it early.
    QVERIFY(m_pty->send("\x02"
                        "1\x03"
                        "C"));
    QTRY_COMPARE(comm->platform().inputQueueBytes(), 4);
    QObject context; // ends the sending timer with the test
    sendOnceTaken(context, *comm, *m_pty, "D");
    QCOMPARE(comm->Read(in.data(), 5), 5);
    QCOMPARE(in.left(5),
             QByteArray("\x02"
                        "1\x03"
                        "CD"));
}

// Generated answers of every kind through the real line: each read ends (by
// a whole answer or by the time-out, never later) and stays in its buffer,
// and the port still reads a good answer afterwards.
void TestCommPty::readAnswerSurvivesNonsense()
{
    constexpr int Answers = 400;
    auto comm = makeComm();
    comm->setTimeOutReceive(20);
    comm->Open();
    AnswerFuzzer fuzzer(4002);
    const QByteArray command = "0102C1004E00000100000003";
    QByteArray in(ControllerExchange::ReceiveBufferSize + 16, '\0');
    for (int i = 0; i < Answers; ++i) {
        const AnswerFuzzer::Answer answer = fuzzer.next(command, 20);
        comm->PurgeReceive();
        if (!answer.late)
            QVERIFY(m_pty->send(answer.bytes));
        const int n = comm->ReadAnswer(in.data(), ControllerExchange::ReceiveBufferSize, FrameBytes::answerComplete);
        QVERIFY2(n >= 0 && n <= ControllerExchange::ReceiveBufferSize, qPrintable(QString::number(i)));
        if (answer.late)
            QVERIFY(m_pty->send(answer.bytes));
    }
    QVERIFY(comm->IsOpen());
    // Whatever is still on its way is dropped; a good answer reads whole.
    comm->setTimeOutReceive(kForever);
    QTest::qWait(50);
    comm->PurgeReceive();
    const QByteArray good = AnswerFuzzer::frame(command, "0000");
    QVERIFY(m_pty->send(good));
    QCOMPARE(comm->ReadAnswer(in.data(), ControllerExchange::ReceiveBufferSize, FrameBytes::answerComplete),
             int(good.size()));
    QCOMPARE(in.left(good.size()), good);
}

void TestCommPty::purgedInputNeverAppears()
{
    auto comm = makeComm();
    comm->setTimeOutReceive(300);
    comm->Open();
    QVERIFY(m_pty->send("OLD"));
    QTRY_COMPARE(comm->platform().inputQueueBytes(), 3);
    comm->PurgeReceive();
    QVERIFY(m_pty->send("NEW"));
    QByteArray in(16, '\0');
    QCOMPARE(comm->Read(in.data(), 16), 3);
    QCOMPARE(in.left(3), QByteArray("NEW"));
}

void TestCommPty::purgeTransDropsQueuedChunks()
{
    auto comm = makeComm();
    comm->setBufLenTrans(16);
    comm->setTimeOutTrans(0);
    comm->Open();
    const qsizetype filled = m_pty->fillTowardsMaster('f');
    // The first chunk gets stuck in the full pty (a part of it may slip
    // through as the kernel makes room); the nine behind it are queued.
    QVERIFY(comm->WriteString(QByteArray(16, 'A') + QByteArray(9 * 16, 'Z')));
    QTRY_COMPARE(comm->PendingCount(), 10);
    comm->PurgeTrans();
    QCOMPARE(comm->PendingCount(), 0);
    QCOMPARE(comm->PendingBytes(), 0);
    const QByteArray received = m_pty->receive(filled + 1, 500);
    QVERIFY(!received.contains('Z'));
    // The port goes on working after the purge.
    QVERIFY(comm->WriteString("after"));
    QCOMPARE(m_pty->receive(5), QByteArray("after"));
}

void TestCommPty::closedPortRefusesIo()
{
    auto comm = makeComm();
    char buffer[8];
    QVERIFY(!comm->Write("x", 1));
    QCOMPARE(comm->Read(buffer, 8), -1);
    QCOMPARE(comm->ReadAnswer(buffer, 8, FrameBytes::answerComplete), -1);
    QVERIFY(comm->Write("x", 0));
    QVERIFY(comm->WriteString(QByteArray()));
    comm->PurgeTrans();
    comm->PurgeReceive();
    comm->Close();
    QCOMPARE(comm->Handle(), TCustomCommX::InvalidHandle);

    comm->Open();
    QCOMPARE(comm->Read(nullptr, 8), -1);
    QVERIFY(comm->WriteString(QByteArray()));
    QCOMPARE(m_pty->receive(1, 200), QByteArray());
}

void TestCommPty::openTwiceReports100()
{
    auto comm = makeComm();
    comm->Open();
    const quint32 handle = comm->Handle();
    try {
        comm->Open();
        QFAIL("a second Open raised nothing");
    } catch (const ECommError &e) {
        QCOMPARE(e.ErrorState, CommErrorCode::AlreadyOpen);
    }
    QVERIFY(comm->IsOpen());
    QCOMPARE(comm->Handle(), handle);

    std::vector<int> reported;
    comm->setOnError([&](TCustomCommX *sender, int code) {
        QCOMPARE(sender, comm.get());
        reported.push_back(code);
    });
    comm->Open();
    QCOMPARE(reported, std::vector<int>{CommErrorCode::AlreadyOpen});
    QCOMPARE(comm->Handle(), handle);
    QVERIFY(comm->WriteString("still"));
    QCOMPARE(m_pty->receive(5), QByteArray("still"));
}

void TestCommPty::openUnresolvedPort_data()
{
    QTest::addColumn<int>("portNo");
    QTest::addColumn<QString>("linkTarget"); // empty: no link
    QTest::newRow("port 0") << 0 << QString();
    QTest::newRow("no fixed device") << 97 << QString();
    QTest::newRow("link to nothing") << 8 << QStringLiteral("/nonexistent/pts/99");
    QTest::newRow("link to a plain file") << 9 << QStringLiteral("FILE");
}

void TestCommPty::openUnresolvedPort()
{
    QFETCH(int, portNo);
    QFETCH(QString, linkTarget);
    if (linkTarget == "FILE") {
        linkTarget = m_ports->path() + "/plain";
        QFile file(linkTarget);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (!linkTarget.isEmpty())
        QVERIFY(QFile::link(linkTarget, m_ports->path() + "/COM" + QString::number(portNo)));
    auto comm = makeComm();
    comm->setPortNo(portNo);
    try {
        comm->Open();
        QFAIL("Open raised nothing");
    } catch (const ECommError &e) {
        QCOMPARE(e.ErrorState, CommErrorCode::OpenFailed);
    }
    QVERIFY(!comm->IsOpen());
    QCOMPARE(comm->Handle(), TCustomCommX::InvalidHandle);
}

void TestCommPty::secondComponentCannotOpenSameDevice()
{
    auto first = makeComm();
    first->Open();
    auto second = makeComm();
    std::vector<int> reported;
    second->setOnError([&](TCustomCommX *, int code) { reported.push_back(code); });
    second->Open();
    QCOMPARE(reported, std::vector<int>{CommErrorCode::OpenFailed});
    QVERIFY(!second->IsOpen());
    QCOMPARE(second->Handle(), TCustomCommX::InvalidHandle);

    QVERIFY(first->WriteString("ok"));
    QCOMPARE(m_pty->receive(2), QByteArray("ok"));
    // Released on close: now the second one gets it.
    first->Close();
    second->Open();
    QVERIFY(second->IsOpen());
}

void TestCommPty::farEndClosingEndsRead()
{
    auto comm = makeComm();
    comm->setTimeOutReceive(kForever);
    comm->Open();
    QObject context; // cancels the timer when the test ends early
    QTimer::singleShot(200, &context, [&] { m_pty->closeMaster(); });
    QByteArray in(128, '\0');
    QCOMPARE(comm->Read(in.data(), 128), -1);
    comm->Close();
    QVERIFY(!comm->IsOpen());
}

void TestCommPty::closeDuringWriteWaitEndsWrite()
{
    auto comm = makeComm();
    comm->setBufLenTrans(4);
    comm->setTimeOutTrans(0);
    comm->Open();
    m_pty->fillTowardsMaster('f');
    QObject context; // cancels the timer when the test ends early
    QTimer::singleShot(200, &context, [&] { comm->Close(); });
    QVERIFY(!comm->WriteString(QByteArray(40 * 4, 'Z')));
    QVERIFY(!comm->IsOpen());
    QCOMPARE(comm->PendingCount(), 0);
}

void TestCommPty::receiveNotification()
{
    auto comm = makeComm();
    comm->Open();
    std::vector<int> sizes;
    comm->setOnReceive([&](TCustomCommX *sender, int size) {
        QCOMPARE(sender, comm.get());
        sizes.push_back(size);
    });
    QVERIFY(m_pty->send("12345"));
    QTRY_VERIFY(!sizes.empty());
    QCOMPARE(sizes.front(), 5);
    // Unread input is reported once, not over and over.
    QTest::qWait(100);
    QCOMPARE(sizes.size(), size_t(1));
    char in[5];
    QCOMPARE(comm->Read(in, 5), 5);
    QVERIFY(m_pty->send("67"));
    QTRY_COMPARE(sizes.size(), size_t(2));
    QCOMPARE(sizes.back(), 2);
}

void TestCommPty::destroyRightAfterClose()
{
    for (int round = 0; round < 3; ++round) {
        auto comm = makeComm();
        comm->Open();
        QVERIFY(comm->WriteString(pattern(3000, round)));
        QVERIFY(m_pty->send("in"));
        comm->Close();
        comm.reset();
        m_pty->receive(1 << 20, 100); // discard what reached the far end
    }
    // Destroyed while open: the destructor closes.
    auto comm = makeComm();
    comm->Open();
    QVERIFY(comm->WriteString(pattern(3000, 9)));
}

void TestCommPty::openCloseCycles()
{
    auto comm = makeComm();
    comm->setTimeOutReceive(2000);
    for (int round = 0; round < 6; ++round) {
        comm->Open();
        const QByteArray out = pattern(100, round);
        QVERIFY(comm->WriteString(out));
        QCOMPARE(m_pty->receive(out.size()), out);
        QVERIFY(m_pty->send("r" + QByteArray::number(round)));
        char in[2];
        QCOMPARE(comm->Read(in, 2), 2);
        QCOMPARE(QByteArray(in, 2), "r" + QByteArray::number(round));
        comm->Close();
        QVERIFY(!comm->IsOpen());
    }
}

QTEST_GUILESS_MAIN(TestCommPty)
#include "test_comm_pty.moc"
