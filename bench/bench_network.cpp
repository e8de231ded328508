// Measures the 32-segment download to the controller simulator (20 ms
// response wait, answers paced at 38400 bit/s 7E2) by the editor's download,
// over the pseudo-terminal directly and through Debian's ser2net on
// 127.0.0.1 as socket:// and rfc2217://, in turn within each round, and
// prints the medians side by side with their ratio to the direct line.
#include "comm/CommX.h"
#include "comm/PortDirectory.h"
#include "comm/link/CommXDownloadPort.h"
#include "comm/link/ProgramDownload.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/DownloadFakes.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/Ser2netServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// One download of 32 segments on the port the directory names as COM1;
// the time from open to the end in ms, -1 when it did not complete.
qint64 downloadOnce(const PortDirectory &ports)
{
    TCommX comm;
    CommXDownloadPort::useControllerLine(comm);
    comm.setPortDirectory(ports);
    comm.setPortNo(1);
    CommXDownloadPort port(comm);
    FakeTransferWindow window;
    for (int slot = 0; slot < 32; ++slot) {
        const bool ramp = slot % 2 == 0;
        window.table.setMode(slot + 1, ramp ? "Ramp" : "Hold");
        window.table.setCell(TemperatureProgram::TempRow, slot + 1, ramp ? "150.0" : "0.0");
        window.table.setCell(TemperatureProgram::RateRow, slot + 1, ramp ? "10.0" : "0.0");
        window.table.setCell(TemperatureProgram::TimeRow, slot + 1, ramp ? "0.00" : "5.30");
    }
    ScriptedPrompts prompts;
    prompts.boxAnswers = {Prompts::Yes};
    ProgramDownload download(window, port, prompts);
    QElapsedTimer clock;
    clock.start();
    try {
        download.run();
    } catch (const std::exception &) {
        return -1;
    }
    return download.lastEnding().kind == ProgramDownload::Ending::Kind::Completed ? clock.elapsed() : -1;
}

qint64 median(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // A simulator of its own for each line, so that no two programs ever
    // hold one pseudo-terminal.
    ControllerSimulator direct, behindRaw, behindRfc2217;
    QString error;
    for (ControllerSimulator *sim : {&direct, &behindRaw, &behindRfc2217}) {
        if (!sim->start(&error)) {
            std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
            return 1;
        }
    }
    Ser2netServer raw, rfc2217;
    if (!raw.start(Ser2netServer::Kind::Raw, behindRaw.slavePath(), &error)
        || !rfc2217.start(Ser2netServer::Kind::Rfc2217, behindRfc2217.slavePath(), &error)) {
        std::fprintf(stderr, "ser2net: %s\n", qPrintable(error));
        return 1;
    }
    struct Line
    {
        const char *name;
        PortDirectory ports;
        std::vector<qint64> times;
    };
    std::vector<Line> lines{
        {"direct pseudo-terminal", PortDirectory::forDevice(direct.slavePath()), {}},
        {"ser2net, socket://", PortDirectory::forDevice(raw.url(Ser2netServer::Kind::Raw)), {}},
        {"ser2net, rfc2217://", PortDirectory::forDevice(rfc2217.url(Ser2netServer::Kind::Rfc2217)), {}}};
    for (int round = 0; round < rounds; ++round) {
        for (Line &line : lines) {
            const qint64 ms = downloadOnce(line.ports);
            if (ms < 0) {
                std::fprintf(stderr, "%s: the download did not complete\n", line.name);
                return 1;
            }
            line.times.push_back(ms);
        }
    }
    const qint64 base = median(lines.front().times);
    std::printf("32-segment download, open to end, median of %d rounds (37 exchanges each):\n", rounds);
    for (const Line &line : lines) {
        const qint64 m = median(line.times);
        std::printf("  %-24s %6lld ms  %.2fx\n", line.name, static_cast<long long>(m),
                    base > 0 ? double(m) / double(base) : 0.0);
    }
    return 0;
}
