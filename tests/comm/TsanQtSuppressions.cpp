// Qt is not built with ThreadSanitizer, so the sanitizer cannot see how Qt's
// own threads hand over to each other. QtTest's watchdog thread is ended, and
// its wait condition destroyed by QTest::qRun, through such a hand-over; the
// reports it causes are about Qt's code, not ours.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions()
{
    return "race:QWaitCondition::~QWaitCondition\n"
           "race:QTest::qRun\n";
}
#endif
