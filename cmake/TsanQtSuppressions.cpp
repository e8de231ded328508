// Linked into every test program of the ThreadSanitizer build.
//
// Qt is not built with ThreadSanitizer, so the sanitizer cannot see how Qt's
// own threads hand over to each other. QtTest starts a watchdog thread for
// every test program; when the run ends, QTest::qRun wakes it and destroys its
// wait condition and the watchdog itself through such a hand-over. The
// sanitizer then reports a race between the watchdog's pthread_cond_wait or
// pthread_cond_broadcast and the main thread's pthread_cond_destroy (in
// QWaitCondition's destructor) or operator delete (called straight from
// QTest::qRun). Only those two reports are suppressed. Qt is not instrumented,
// so its frames appear only as the direct callers of an intercepted call:
// neither name can match a race in our code, which uses no QWaitCondition, nor
// one in a test function that qRun runs (test_tsan_canary proves it).
#if defined(__SANITIZE_THREAD__)
extern "C" const char *__tsan_default_suppressions()
{
    return "race:^QWaitCondition::~QWaitCondition()$\n"
           "race:^QTest::qRun()$\n";
}
#endif
