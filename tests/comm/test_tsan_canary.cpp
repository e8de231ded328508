// Built only in the ThreadSanitizer build. Its one test function races on
// purpose: the test thread and a second thread write one counter with no
// synchronisation. The CTest entry passes only when ThreadSanitizer reports
// that race, so a suppression that grew broad enough to hide races in our own
// code (or in test functions run by QTest::qRun) turns this test red.
#include <QTest>
#include <thread>

namespace {
int sharedCounter = 0;

[[gnu::noinline]] void bump() { sharedCounter = sharedCounter + 1; }
}

class TsanCanary : public QObject
{
    Q_OBJECT
private slots:
    void unsynchronisedWritesAreReported()
    {
        std::thread other([] { bump(); });
        bump();
        other.join();
        QVERIFY(sharedCounter >= 1);
    }
};

QTEST_GUILESS_MAIN(TsanCanary)
#include "test_tsan_canary.moc"
