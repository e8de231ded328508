#include "sim/SimulatorLine.h"

#include "comm/TermiosDevice.h"
#include "comm/TermiosSettings.h"
#include "comm/protocol/ControllerLine.h"
#include "sim/FrameAssembler.h"
#include "sim/PortLink.h"

#include <QFile>
#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono;

namespace {

// One character's time on the controller's line.
constexpr nanoseconds ByteTime =
    nanoseconds(1'000'000'000LL * ControllerLine::BitsPerCharacter / ControllerLine::BitRate);
// How long an answer may wait for room in the line's buffer.
constexpr milliseconds WriteRoomWait = milliseconds(1000);

// The controller's line as the serial component's settings record: no flow
// control, parity checked on input.
CommLineSettings controllerLine()
{
    CommLineSettings line;
    line.BaudRate = ControllerLine::BitRate;
    line.ByteSize = ControllerLine::DataBits;
    line.Parity = quint8(ControllerLine::LineParity);
    line.StopBits = ControllerLine::StopBitsCode;
    line.Flags = CommFlag::Binary | CommFlag::Parity;
    return line;
}

} // namespace

SimulatorLine::SimulatorLine(FrameHandler handler) : m_handler(std::move(handler)) {}

SimulatorLine::~SimulatorLine() { stop(); }

bool SimulatorLine::start(QString *error)
{
    const auto fail = [&](const QString &reason) { return refuse(error, reason, true); };
    if (alreadyStarted(error))
        return false;
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        return fail(QStringLiteral("cannot create a pseudo-terminal"));
    // The simulator keeps its own slave open, so the master never sees a hang-up
    // while the editor has the port closed.
    termios raw{};
    if (tcgetattr(m_slave, &raw) != 0)
        return fail(QStringLiteral("cannot read the terminal settings"));
    cfmakeraw(&raw);
    speed_t speed;
    TermiosSettings::speedFor(ControllerLine::BitRate, speed);
    cfsetispeed(&raw, speed);
    cfsetospeed(&raw, speed);
    if (tcsetattr(m_slave, TCSANOW, &raw) != 0)
        return fail(QStringLiteral("cannot set the terminal to raw mode"));
    if (fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0
        || fcntl(m_master, F_SETFD, FD_CLOEXEC) != 0 || fcntl(m_slave, F_SETFD, FD_CLOEXEC) != 0)
        return fail(QStringLiteral("cannot set up the pseudo-terminal"));
    return serve(QFile::decodeName(name), error);
}

bool SimulatorLine::alreadyStarted(QString *error) const
{
    if (m_thread.joinable() && error)
        *error = QStringLiteral("already started");
    return m_thread.joinable();
}

bool SimulatorLine::refuse(QString *error, const QString &reason, bool withErrno)
{
    if (error)
        *error = withErrno ? reason + QStringLiteral(": ") + qt_error_string(errno) : reason;
    closeDevices();
    return false;
}

bool SimulatorLine::startOnDevice(const QString &devicePath, QString *error)
{
    const auto fail = [&](const QString &reason, bool withErrno = true) { return refuse(error, reason, withErrno); };
    if (alreadyStarted(error))
        return false;
    m_master = open(QFile::encodeName(devicePath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0)
        return fail(QStringLiteral("cannot open %1").arg(devicePath));
    if (!isatty(m_master))
        return fail(QStringLiteral("%1 is not a serial device").arg(devicePath), false);
    if (flock(m_master, LOCK_EX | LOCK_NB) != 0)
        return fail(QStringLiteral("%1 is in use by another program").arg(devicePath), false);
    termios line{};
    if (tcgetattr(m_master, &line) != 0)
        return fail(QStringLiteral("cannot read the settings of %1").arg(devicePath));
    cfmakeraw(&line);
    line.c_cflag |= CREAD | CLOCAL;
    TermiosSettings::toTermios(controllerLine(), line);
    switch (TermiosDevice::setAndReadBack(m_master, line)) {
    case TermiosDevice::SetResult::Failed:
        return fail(QStringLiteral("cannot set the line settings of %1").arg(devicePath));
    case TermiosDevice::SetResult::NotTaken:
        return fail(QStringLiteral("%1 does not take %2").arg(devicePath, ControllerLine::description()), false);
    case TermiosDevice::SetResult::Took:
        break;
    }
    {
        std::lock_guard lock(m_mutex);
        m_settings.paced = false; // the line itself paces the answers
    }
    return serve(devicePath, error);
}

bool SimulatorLine::serve(const QString &path, QString *error)
{
    m_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wake < 0)
        return refuse(error, QStringLiteral("cannot create an event descriptor"), true);
    {
        std::lock_guard lock(m_mutex);
        m_slavePath = path;
    }
    m_stopRequested = false;
    m_serving = true;
    m_thread = std::thread(&SimulatorLine::run, this);
    return true;
}

void SimulatorLine::stop()
{
    m_stopRequested = true;
    if (m_wake >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const ssize_t n = write(m_wake, &one, sizeof one);
    }
    if (m_thread.joinable())
        m_thread.join();
    closeDevices();
    if (m_wake >= 0)
        close(m_wake);
    m_wake = -1;
    removeLink();
}

bool SimulatorLine::isServing() const { return m_serving; }

QString SimulatorLine::slavePath() const
{
    std::lock_guard lock(m_mutex);
    return m_slavePath;
}

qint64 SimulatorLine::droppedFrames() const { return m_droppedFrames; }

bool SimulatorLine::linkAs(int comNumber, const QString &portsDir, QString *error)
{
    std::lock_guard lock(m_mutex);
    if (m_slavePath.isEmpty() || !m_serving) {
        if (error)
            *error = QStringLiteral("the simulator is not running");
        return false;
    }
    const QString path = PortLink::create(portsDir, comNumber, m_slavePath, error);
    if (path.isEmpty())
        return false;
    if (!m_linkPath.isEmpty() && m_linkPath != path)
        PortLink::remove(m_linkPath, m_slavePath);
    m_linkPath = path;
    return true;
}

QString SimulatorLine::linkPath() const
{
    std::lock_guard lock(m_mutex);
    return m_linkPath;
}

void SimulatorLine::setSilent(bool silent)
{
    std::lock_guard lock(m_mutex);
    m_settings.silent = silent;
}

void SimulatorLine::setResponseWaitMs(int ms)
{
    std::lock_guard lock(m_mutex);
    m_settings.responseWaitMs = qMax(0, ms);
}

void SimulatorLine::setPacing(bool paced)
{
    std::lock_guard lock(m_mutex);
    m_settings.paced = paced;
}

void SimulatorLine::setSplitAnswers(bool split, int gapMs)
{
    std::lock_guard lock(m_mutex);
    m_settings.split = split;
    m_settings.splitGapMs = qMax(0, gapMs);
}

void SimulatorLine::setCutAfter(int frames)
{
    std::lock_guard lock(m_mutex);
    m_settings.cutAfter = qMax(0, frames);
}

void SimulatorLine::setSilentAfter(int frames)
{
    std::lock_guard lock(m_mutex);
    m_settings.silentAfter = qMax(0, frames);
}

void SimulatorLine::run()
{
    FrameAssembler assembler;
    steady_clock::time_point lastByte = steady_clock::now();
    while (!m_stopRequested && m_master >= 0) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake, POLLIN, 0}};
        int timeoutMs = -1;
        if (assembler.inFrame()) {
            const auto gapEnd = lastByte + milliseconds(FrameGapMs);
            const auto left = duration_cast<milliseconds>(gapEnd - steady_clock::now());
            timeoutMs = int(qMax<qint64>(0, left.count()));
        }
        const int ready = poll(fds, 2, timeoutMs);
        if (ready < 0 && errno != EINTR)
            break;
        if (m_stopRequested)
            break;
        if (ready == 0) {
            assembler.discard(); // the rest of the frame never came
            ++m_droppedFrames;
            continue;
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        char buffer[256];
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO)
                break;
            pause(milliseconds(10)); // nothing to take yet; do not spin on a hang-up
            continue;
        }
        lastByte = steady_clock::now();
        for (ssize_t i = 0; i < n && m_master >= 0 && !m_stopRequested; ++i)
            if (assembler.feed(buffer[i]))
                takeFrame(assembler.takeFrame());
    }
    m_serving = false;
}

void SimulatorLine::takeFrame(const QByteArray &frame)
{
    {
        std::lock_guard lock(m_mutex);
        m_frameSettings = m_settings;
    }
    const Settings &s = m_frameSettings;
    Turn turn = Turn::Answer;
    if (s.cutAfter > 0 && m_framesTaken >= s.cutAfter)
        turn = Turn::Cut;
    else if (s.silent || (s.silentAfter > 0 && m_framesTaken >= s.silentAfter))
        turn = Turn::Silent;
    if (turn == Turn::Cut)
        cut();
    m_handler(frame, turn);
    ++m_framesTaken;
}

bool SimulatorLine::answer(const QByteArray &answer)
{
    return pause(milliseconds(m_frameSettings.responseWaitMs)) && send(answer);
}

bool SimulatorLine::send(const QByteArray &answer)
{
    const Settings &settings = m_frameSettings;
    QList<QByteArray> pieces;
    if (settings.split && answer.size() >= 3) {
        const qsizetype half = answer.size() / 2;
        pieces << answer.left(half) << answer.mid(half, answer.size() - 1 - half) << answer.right(1);
    } else {
        pieces << answer;
    }
    for (qsizetype p = 0; p < pieces.size(); ++p) {
        if (p > 0 && !pause(milliseconds(settings.splitGapMs)))
            return false;
        const QByteArray &piece = pieces[p];
        if (!settings.paced) {
            if (!writeAll(piece.constData(), int(piece.size())))
                return false;
            continue;
        }
        const auto start = steady_clock::now();
        for (qsizetype i = 0; i < piece.size(); ++i) {
            if (!writeAll(piece.constData() + i, 1))
                return false;
            const auto due = start + ByteTime * (i + 1);
            if (!pause(duration_cast<nanoseconds>(due - steady_clock::now())))
                return false;
        }
    }
    return true;
}

bool SimulatorLine::writeAll(const char *data, int size)
{
    const auto deadline = steady_clock::now() + WriteRoomWait;
    while (size > 0) {
        const ssize_t n = write(m_master, data, size_t(size));
        if (n > 0) {
            data += n;
            size -= int(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (steady_clock::now() >= deadline || !pause(milliseconds(1)))
            return false;
    }
    return true;
}

// Sleeps for the given time; false when a stop cut the sleep short.
bool SimulatorLine::pause(nanoseconds duration)
{
    const auto deadline = steady_clock::now() + duration;
    while (!m_stopRequested) {
        const auto left = deadline - steady_clock::now();
        if (left <= nanoseconds::zero())
            return true;
        const timespec ts{time_t(duration_cast<seconds>(left).count()), long((left % seconds(1)).count())};
        pollfd wake{m_wake, POLLIN, 0};
        ppoll(&wake, 1, &ts, nullptr);
    }
    return false;
}

void SimulatorLine::cut()
{
    closeDevices();
    removeLink();
}

void SimulatorLine::closeDevices()
{
    for (int *fd : {&m_master, &m_slave}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

void SimulatorLine::removeLink()
{
    std::lock_guard lock(m_mutex);
    PortLink::remove(m_linkPath, m_slavePath);
    m_linkPath.clear();
}
