#include "tests/support/PtyClient.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyClient::PtyClient(const QString &path)
{
    m_fd = open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (m_fd >= 0 && tcgetattr(m_fd, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(m_fd, TCSANOW, &raw);
    }
}

PtyClient::~PtyClient()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool PtyClient::write(const QByteArray &bytes)
{
    return m_fd >= 0 && ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

QByteArray PtyClient::readAnswer(int timeoutMs) { return readUntil(timeoutMs, true); }

QByteArray PtyClient::readFor(int ms) { return readUntil(ms, false); }

QByteArray PtyClient::readUntil(int ms, bool stopAtAnswer)
{
    QByteArray received;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        const qsizetype etx = received.indexOf('\x03');
        if (stopAtAnswer && etx >= 0 && received.size() > etx + 1)
            break;
        pollfd fd{m_fd, POLLIN, 0};
        if (poll(&fd, 1, int(qMax<qint64>(0, ms - timer.elapsed()))) <= 0)
            continue;
        if (!(fd.revents & POLLIN))
            break; // hang-up: the other side is gone
        char buffer[256];
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        received.append(buffer, n);
    }
    return received;
}
