// Measures the simulator's memory over many 32-segment downloads: each send
// is the 37 commands of the editor's download, answered at once (no pacing,
// no response wait). Prints the resident size (VmRSS) as it goes.
#include "comm/protocol/ControllerExchange.h"
#include "comm/protocol/DownloadCommands.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/PtyClient.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace {

long long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

QList<QByteArray> downloadOf32Segments()
{
    using namespace DownloadCommands;
    QList<QByteArray> commands{statusQuery(), programNo(3), *initialTemp(40.0), programNoAgain(3),
                               segmentCountCommand(32)};
    for (int k = 0; k < 32; ++k)
        commands << (k % 2 == 0 ? *segment(k, SegmentMode::Ramp, 150.0, 10.0, 0.0)
                                : *segment(k, SegmentMode::Hold, 0.0, 0.0, 5.30));
    return commands;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int sends = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int every = argc > 2 ? std::atoi(argv[2]) : 100;
    ControllerSimulator sim;
    sim.setPacing(false);
    sim.setResponseWaitMs(0);
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    PtyClient client(sim.slavePath());
    const QList<QByteArray> commands = downloadOf32Segments();
    std::printf("sends  commands   kept  VmRSS kB\n");
    std::printf("%5d  %8d  %5lld  %8lld\n", 0, 0, static_cast<long long>(sim.records().size()), residentKiB());
    for (int send = 1; send <= sends; ++send) {
        for (const QByteArray &command : commands) {
            client.write(ControllerExchange::buildFrame("01000", command));
            if (client.readAnswer().isEmpty()) {
                std::fprintf(stderr, "no answer in send %d\n", send);
                return 1;
            }
        }
        if (send % every == 0 || send == sends)
            std::printf("%5d  %8lld  %5lld  %8lld\n", send, static_cast<long long>(sim.commandCount()),
                        static_cast<long long>(sim.records().size()), residentKiB());
    }
    return 0;
}
