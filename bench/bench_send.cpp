// Measures `vantrel send` of a 32-segment program to the controller simulator
// (20 ms response wait, answers paced at 38400 bit/s 7E2), the same program
// and simulator as the editor's download benchmark: the whole process, from
// start to exit, status query and question included.
#include "sim/ControllerSimulator.h"
#include "tests/support/TpdTestData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ControllerSimulator sim;
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    QList<SlotCells> segments;
    for (int slot = 0; slot < 32; ++slot) {
        const bool ramp = slot % 2 == 0;
        segments.append(
            {slot, ramp ? "Ramp" : "Hold", ramp ? "150.0" : "0.0", ramp ? "10.0" : "0.0", ramp ? "0.00" : "5.30"});
    }
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8()); // the transfer log of the sends
    QFile file(dir.filePath("bench32.tpd"));
    if (!file.open(QIODevice::WriteOnly)
        || file.write(TpdFormat::write(buildProgram(0, "0.00", 33, segments), nullptr)) <= 0)
        return 1;
    file.close();

    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    for (int round = 0; round < rounds; ++round) {
        const qint64 before = sim.commandCount();
        QProcess process;
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(VANTREL_TOOL), {"send", file.fileName(), "--port", sim.slavePath(), "--yes"});
        process.waitForFinished(120000);
        const qint64 elapsed = clock.elapsed();
        const QByteArray out = process.readAllStandardOutput().trimmed();
        std::printf("round %d: vantrel send, start to exit %lld ms (exit %d, %s), %lld frames\n", round + 1,
                    static_cast<long long>(elapsed), process.exitCode(), out.mid(out.lastIndexOf('\n') + 1).constData(),
                    static_cast<long long>(sim.commandCount() - before));
    }
    return 0;
}
