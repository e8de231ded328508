#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal for the serial tests: the component opens the slave
// through a COMn link; the test plays the far end on the master.
class PtyPair
{
public:
    PtyPair()
    {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        slavePath = QString::fromLocal8Bit(name);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        closeMaster();
        if (slave >= 0)
            ::close(slave);
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return master >= 0 && slave >= 0; }

    bool linkAs(const QString &portsFolder, int portNo) const
    {
        return QFile::link(slavePath, portsFolder + "/COM" + QString::number(portNo));
    }

    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    bool send(const QByteArray &bytes) const
    {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::write(master, bytes.constData() + sent, size_t(bytes.size() - sent));
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (n < 0) {
                pollfd fd{master, POLLOUT, 0};
                ::poll(&fd, 1, 100);
                continue;
            }
            sent += n;
        }
        return true;
    }

    // Reads from the far end until count bytes came or nothing more came
    // within idleMs.
    QByteArray receive(qsizetype count, int idleMs = 3000) const
    {
        QByteArray got;
        char buffer[4096];
        while (got.size() < count) {
            pollfd fd{master, POLLIN, 0};
            if (::poll(&fd, 1, idleMs) <= 0)
                break;
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0 && errno != EAGAIN && errno != EINTR)
                break;
            if (n > 0)
                got.append(buffer, n);
        }
        return got;
    }

    // Fills the way from the slave to the master until it takes no more, so
    // that the component's next write has to wait. Returns the bytes written.
    qsizetype fillTowardsMaster(char filler) const
    {
        const int flags = ::fcntl(slave, F_GETFL);
        ::fcntl(slave, F_SETFL, flags | O_NONBLOCK);
        QByteArray block(4096, filler);
        qsizetype total = 0;
        // The kernel moves bytes on to the master's side a little later,
        // which makes room again: full means refused several times running.
        for (int refused = 0; refused < 5;) {
            const ssize_t n = ::write(slave, block.constData(), size_t(block.size()));
            if (n > 0) {
                total += n;
                refused = 0;
            } else {
                ++refused;
                ::usleep(20000);
            }
        }
        ::fcntl(slave, F_SETFL, flags);
        return total;
    }

    int master = -1;
    int slave = -1;
    QString slavePath;
};
