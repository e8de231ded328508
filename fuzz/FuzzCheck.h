#pragma once

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// What a fuzz target asserts: a condition that holds for every input. When it
// does not, the target says which and aborts, and libFuzzer keeps the input
// that did it (crash-<sha1>).
#define FUZZ_CHECK(condition, what) \
    do { \
        if (!(condition)) \
            fuzzFailure(#condition, __FILE__, __LINE__, (what)); \
    } while (false)

[[noreturn]] inline void fuzzFailure(const char *condition, const char *file, int line, const QString &what)
{
    std::fprintf(stderr, "\n%s:%d: does not hold: %s\n  %s\n", file, line, condition, qPrintable(what));
    std::fflush(stderr);
    std::abort();
}

// The Qt application a target needs, made once from the fuzzer's own program
// name; it lives as long as the process.
template<typename Application> void makeApplication(char **argv)
{
    static int argc = 1;
    static char *args[] = {argv[0], nullptr};
    static Application app(argc, args);
}

// A text as it reads in a failure: printable ASCII as it is, anything else as \xNN.
inline QString shown(const QByteArray &bytes)
{
    QString text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        text += (u >= 0x20 && u < 0x7F && u != '\\') ? QString(QChar(u))
                                                     : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return u'"' + text + u'"';
}
inline QString shown(const QString &text) { return shown(text.toUtf8()); }

// A folder for the files a target writes, removed at exit. In memory where
// the machine has /dev/shm: the settings file is synced to disk on every
// write, which on a disk would be most of the time a run takes. Inside
// $VANTREL_FUZZ_SCRATCH when set: scripts/fuzz.sh removes that folder, also
// after a target that stopped on a finding and so never removed its own.
inline QString scratchFolder()
{
    const QString parent = qEnvironmentVariable("VANTREL_FUZZ_SCRATCH");
    static QTemporaryDir folder(!parent.isEmpty() ? parent + QStringLiteral("/vantrel-fuzz-XXXXXX")
                                    : QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                    ? QStringLiteral("/dev/shm/vantrel-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/vantrel-fuzz-XXXXXX"));
    FUZZ_CHECK(folder.isValid(), folder.errorString());
    return folder.path();
}
