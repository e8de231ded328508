#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Debian's ser2net in front of a serial device (the simulator's
// pseudo-terminal), on 127.0.0.1 and a port free at the time it starts, with
// a configuration written to a temporary folder. It runs in the foreground
// and is killed when this object goes.
class Ser2netServer
{
public:
    enum class Kind { Raw, Rfc2217 };

    static bool installed() { return !QStandardPaths::findExecutable(QStringLiteral("ser2net")).isEmpty(); }

    ~Ser2netServer() { stop(); }

    // False, with the reason in error, when it does not listen within 10 s.
    bool start(Kind kind, const QString &device, QString *error = nullptr)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_port = freePort();
            const QString accepter = kind == Kind::Rfc2217 ? QStringLiteral("telnet(rfc2217),tcp,127.0.0.1,%1")
                                                           : QStringLiteral("tcp,127.0.0.1,%1");
            const QString yaml = QStringLiteral("%YAML 1.1\n---\nconnection: &line\n  accepter: %1\n"
                                                "  connector: serialdev,%2,38400e72,local\n"
                                                "  options:\n    chardelay: false\n")
                                     .arg(accepter.arg(m_port), device);
            QFile file(m_dir.filePath(QStringLiteral("ser2net.yaml")));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(yaml.toUtf8()) < 0) {
                if (error)
                    *error = QStringLiteral("cannot write the configuration");
                return false;
            }
            file.close();
            m_process.setProcessChannelMode(QProcess::MergedChannels);
            m_process.start(QStringLiteral("ser2net"),
                            {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"), QStringLiteral("-P"),
                             m_dir.filePath(QStringLiteral("ser2net.pid")), QStringLiteral("-c"), file.fileName()});
            if (!m_process.waitForStarted(5000)) {
                if (error)
                    *error = QStringLiteral("ser2net does not start: ") + m_process.errorString();
                return false;
            }
            const QDeadlineTimer deadline(10000);
            while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
                if (listens(m_port))
                    return true;
                m_process.waitForFinished(20);
            }
            stop();
        }
        if (error)
            *error = QStringLiteral("ser2net does not listen: ") + QString::fromLocal8Bit(m_process.readAll());
        return false;
    }

    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    quint16 port() const { return m_port; }
    QString url(Kind kind) const
    {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(kind == Kind::Rfc2217 ? QStringLiteral("rfc2217") : QStringLiteral("socket"))
            .arg(m_port);
    }

    // A port nobody uses right now, on 127.0.0.1.
    static quint16 freePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        quint16 port = 0;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&a), len) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
            port = ntohs(a.sin_port);
        if (fd >= 0)
            ::close(fd);
        return port;
    }

private:
    // Whether something accepts on the port (the probe connection is closed
    // at once; ser2net takes the next one).
    static bool listens(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
        if (fd >= 0)
            ::close(fd);
        return ok;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
