#pragma once

#include "comm/TelnetComPort.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A TCP server on 127.0.0.1, on a port the system picks, that takes one
// connection and runs a script on it in its own thread. Every wait is
// bounded, and the destructor ends the script and joins the thread.
class LoopbackServer
{
public:
    using Script = std::function<void(LoopbackServer &server, int connection)>;

    // listen false: the port is bound but nobody listens (a connect is refused).
    explicit LoopbackServer(Script script, bool listen = true)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), len) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len) != 0)
            return;
        m_port = ntohs(a.sin_port);
        if (!listen || ::listen(m_fd, 1) != 0)
            return;
        m_thread = std::thread([this, script = std::move(script)] {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 10000) != 1)
                return;
            const int c = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0)
                return;
            script(*this, c);
            ::close(c);
        });
    }
    ~LoopbackServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    quint16 port() const { return m_port; }
    bool stopping() const { return m_stop; }

    // Reads what arrives within ms (less when the test ends or the peer
    // closes); appends it to seen. False once the peer closed.
    bool readFor(int connection, int ms, QByteArray &seen)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!m_stop && std::chrono::steady_clock::now() < end) {
            pollfd p{connection, POLLIN, 0};
            if (::poll(&p, 1, 20) != 1)
                continue;
            char buffer[512];
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0)
                return false;
            seen.append(buffer, int(n));
        }
        return true;
    }
    // Reads until seen holds `until` (or ms passed); true when it does.
    bool readUntil(int connection, const QByteArray &until, int ms, QByteArray &seen)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!seen.contains(until) && !m_stop && std::chrono::steady_clock::now() < end)
            if (!readFor(connection, 20, seen))
                break;
        return seen.contains(until);
    }
    static void send(int connection, const QByteArray &bytes)
    {
        [[maybe_unused]] const ssize_t n = ::send(connection, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
    }

    // A server with the COM-port option that takes every setting but one:
    // refused is the command whose answer carries another value (0: none).
    // It then reads the line; onData gets each piece of data that came.
    static void comPortScript(LoopbackServer &server, int c, quint8 refused,
                              const std::function<void(const QByteArray &)> &onData,
                              QList<TelnetComPort::Reply> *commands)
    {
        using namespace Telnet;
        QByteArray seen;
        if (!server.readUntil(c, QByteArray("\xff\xfb\x2c"), 3000, seen))
            return;
        LoopbackServer::send(c, QByteArray("\xff\xfd\x00\xff\xfb\x00\xff\xfd\x2c", 9));
        TelnetComPort decoder;
        int used = 0;
        bool open = true;
        while (open && !server.stopping()) {
            QByteArray more;
            open = server.readFor(c, 50, more);
            seen += more;
            QByteArray data;
            decoder.feed(seen.constData() + used, int(seen.size()) - used, data);
            used = int(seen.size());
            decoder.takeOutgoing();
            for (const TelnetComPort::Reply &r : decoder.takeReplies()) {
                if (commands)
                    commands->append(r);
                if (r.command > ComPortCommand::SetStopSize)
                    continue;
                QByteArray value = r.value;
                if (r.command == refused)
                    value[value.size() - 1] = char(value.back() + 1);
                LoopbackServer::send(c,
                                     TelnetComPort::command(quint8(r.command + ComPortCommand::ServerOffset), value));
            }
            if (!data.isEmpty() && onData)
                onData(data);
        }
    }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
