// Prints what the serial component costs: processor time of an open, idle
// port over five seconds, and bytes per second through a pseudo-terminal in
// both directions.
#include "comm/CommX.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor time of the whole program over five seconds of sleep.
double cpuSecondsOverFive()
{
    const double start = cpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    return cpuSeconds() - start;
}

// Prints the processor time of the open port, idle and with unread input;
// false when the input could not be written.
bool measureIdle(TCommX &comm, int master)
{
    const double idleCpu = cpuSecondsOverFive();
    std::printf("idle open port: %.1f ms processor time over 5 s\n", idleCpu * 1000.0);

    // Input that nobody reads must not make the receive thread spin.
    const char unread[] = "unread input";
    if (write(master, unread, sizeof unread) != ssize_t(sizeof unread))
        return false;
    const double unreadCpu = cpuSecondsOverFive();
    std::printf("open port with unread input: %.1f ms processor time over 5 s\n", unreadCpu * 1000.0);
    comm.PurgeReceive();
    return true;
}

// Component to far end.
void measureWrite(TCommX &comm, int master, const std::vector<char> &data)
{
    const int total = int(data.size());
    QElapsedTimer timer;
    timer.start();
    std::thread reader([&] {
        std::vector<char> buffer(65536);
        int got = 0;
        while (got < total) {
            pollfd fd{master, POLLIN, 0};
            if (poll(&fd, 1, 5000) <= 0)
                break;
            const ssize_t n = read(master, buffer.data(), buffer.size());
            if (n <= 0)
                break;
            got += int(n);
        }
    });
    comm.Write(data.data(), total);
    reader.join();
    const double outSeconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("write through pty: %.0f bytes/s (%d bytes in %.3f s)\n", total / outSeconds, total, outSeconds);
}

// Far end to component; true when every byte arrived.
bool measureRead(TCommX &comm, int master, const std::vector<char> &data)
{
    const int total = int(data.size());
    QElapsedTimer timer;
    timer.start();
    std::thread writer([&] {
        int sent = 0;
        while (sent < total) {
            const ssize_t n = write(master, data.data() + sent, size_t(std::min(65536, total - sent)));
            if (n <= 0)
                break;
            sent += int(n);
        }
    });
    std::vector<char> in(4096);
    int got = 0;
    while (got < total) {
        const int n = comm.Read(in.data(), int(in.size()));
        if (n <= 0)
            break;
        got += n;
    }
    writer.join();
    const double inSeconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("read through pty: %.0f bytes/s (%d bytes in %.3f s)\n", got / inSeconds, got, inSeconds);
    return got == total;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    QTemporaryDir ports;
    QFile::link(QString::fromLocal8Bit(name), ports.path() + "/COM1");

    TCommX comm;
    comm.setPortDirectory(PortDirectory(ports.path()));
    comm.setPortNo(1);
    comm.setBitRate(38400);
    comm.setFlowCtrl(cfcNone);
    comm.setTimeOutReceive(2000);
    comm.Open();
    if (!measureIdle(comm, master))
        return 1;

    constexpr int total = 8 * 1024 * 1024;
    std::vector<char> data(total);
    for (int i = 0; i < total; ++i)
        data[size_t(i)] = char(i * 131 % 256);
    measureWrite(comm, master, data);
    const bool allRead = measureRead(comm, master, data);

    comm.Close();
    close(master);
    close(slave);
    return allRead ? 0 : 1;
}
