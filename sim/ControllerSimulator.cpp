#include "sim/ControllerSimulator.h"

#include "sim/FrameAssembler.h"
#include "sim/PortLink.h"
#include "comm/TermiosDevice.h"
#include "comm/TermiosSettings.h"
#include "comm/protocol/ControllerLine.h"

#include <QFile>

#include <cerrno>
#include <chrono>
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
// A frame that stops arriving for this long is dropped.
constexpr milliseconds FrameGap = milliseconds(500);
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
    line.StopBits = ControllerLine::StopBits == 2 ? 2 : 0;
    line.Flags = CommFlag::Binary | CommFlag::Parity;
    return line;
}

QString printable(const QByteArray &text)
{
    QString out;
    for (char c : text) {
        if (c >= 0x20 && c < 0x7F)
            out += QLatin1Char(c);
        else
            out += QStringLiteral("<%1>").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return out;
}

} // namespace

ControllerSimulator::ControllerSimulator()
{
    setUnits({1});
}

ControllerSimulator::~ControllerSimulator()
{
    stop();
}

bool ControllerSimulator::start(QString *error)
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

bool ControllerSimulator::alreadyStarted(QString *error) const
{
    if (m_thread.joinable() && error)
        *error = QStringLiteral("already started");
    return m_thread.joinable();
}

bool ControllerSimulator::refuse(QString *error, const QString &reason, bool withErrno)
{
    if (error)
        *error = withErrno ? reason + QStringLiteral(": ") + qt_error_string(errno) : reason;
    closeDevices();
    return false;
}

bool ControllerSimulator::startOnDevice(const QString &devicePath, QString *error)
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

bool ControllerSimulator::serve(const QString &path, QString *error)
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
    m_thread = std::thread(&ControllerSimulator::run, this);
    return true;
}

void ControllerSimulator::stop()
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

bool ControllerSimulator::isServing() const
{
    return m_serving;
}

QString ControllerSimulator::slavePath() const
{
    std::lock_guard lock(m_mutex);
    return m_slavePath;
}

bool ControllerSimulator::linkAs(int comNumber, const QString &portsDir, QString *error)
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

QString ControllerSimulator::linkPath() const
{
    std::lock_guard lock(m_mutex);
    return m_linkPath;
}

void ControllerSimulator::setSilent(bool silent)
{
    std::lock_guard lock(m_mutex);
    m_settings.silent = silent;
}

void ControllerSimulator::setRunning(bool running)
{
    std::lock_guard lock(m_mutex);
    m_settings.behaviour.running = running;
}

void ControllerSimulator::addRefusal(const Refusal &refusal)
{
    std::lock_guard lock(m_mutex);
    m_settings.behaviour.refusals.append(refusal);
}

void ControllerSimulator::clearRefusals()
{
    std::lock_guard lock(m_mutex);
    m_settings.behaviour.refusals.clear();
}

void ControllerSimulator::setBadBcc(bool badBcc)
{
    std::lock_guard lock(m_mutex);
    m_settings.behaviour.badBcc = badBcc;
}

void ControllerSimulator::setResponseWaitMs(int ms)
{
    std::lock_guard lock(m_mutex);
    m_settings.responseWaitMs = qMax(0, ms);
}

void ControllerSimulator::setPacing(bool paced)
{
    std::lock_guard lock(m_mutex);
    m_settings.paced = paced;
}

void ControllerSimulator::setSplitAnswers(bool split, int gapMs)
{
    std::lock_guard lock(m_mutex);
    m_settings.split = split;
    m_settings.splitGapMs = qMax(0, gapMs);
}

void ControllerSimulator::setCutAfter(int commands)
{
    std::lock_guard lock(m_mutex);
    m_settings.cutAfter = qMax(0, commands);
}

void ControllerSimulator::setSilentAfter(int commands)
{
    std::lock_guard lock(m_mutex);
    m_settings.silentAfter = qMax(0, commands);
}

void ControllerSimulator::setOutput(std::function<void(const QString &)> output)
{
    std::lock_guard lock(m_mutex);
    m_output = std::move(output);
}

QList<SimulatorRecord> ControllerSimulator::records() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

qint64 ControllerSimulator::commandCount() const
{
    std::lock_guard lock(m_mutex);
    return m_commandCount;
}

bool ControllerSimulator::waitForRecords(qint64 count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_recordAdded.wait_for(lock, milliseconds(timeoutMs),
                                  [&] { return m_commandCount >= count; });
}

void ControllerSimulator::setUnits(const QList<int> &units)
{
    std::lock_guard lock(m_mutex);
    m_models.clear();
    for (int unit : units)
        m_models.emplace(unit, ControllerModel(unit));
}

QList<int> ControllerSimulator::units() const
{
    std::lock_guard lock(m_mutex);
    QList<int> units;
    for (const auto &[unit, model] : m_models)
        units << unit;
    return units;
}

SimulatedProgram ControllerSimulator::program(int unit) const
{
    std::lock_guard lock(m_mutex);
    const auto model = m_models.find(unit);
    return model == m_models.end() ? SimulatedProgram{} : model->second.program();
}

void ControllerSimulator::run()
{
    FrameAssembler assembler;
    steady_clock::time_point lastByte = steady_clock::now();
    while (!m_stopRequested && m_master >= 0) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake, POLLIN, 0}};
        int timeoutMs = -1;
        if (assembler.inFrame()) {
            const auto left = duration_cast<milliseconds>(lastByte + FrameGap - steady_clock::now());
            timeoutMs = int(qMax<qint64>(0, left.count()));
        }
        const int ready = poll(fds, 2, timeoutMs);
        if (ready < 0 && errno != EINTR)
            break;
        if (m_stopRequested)
            break;
        if (ready == 0) {
            assembler.discard(); // the rest of the frame never came
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

void ControllerSimulator::takeFrame(const QByteArray &frame)
{
    Settings settings;
    FrameOutcome outcome;
    bool cut = false;
    int unit = -1;
    bool severalUnits = false;
    {
        std::lock_guard lock(m_mutex);
        settings = m_settings;
        cut = settings.cutAfter > 0 && m_commandCount >= settings.cutAfter;
        if (settings.silentAfter > 0 && m_commandCount >= settings.silentAfter)
            settings.silent = true;
        severalUnits = m_models.size() > 1;
        bool isNumber = false;
        const auto model = m_models.find(frame.mid(1, 2).toInt(&isNumber));
        if (isNumber && model != m_models.end())
            unit = model->first;
        if (cut)
            outcome.command = frame.mid(6, frame.size() - 8);
        else if (unit >= 0)
            outcome = model->second.handleFrame(frame, settings.behaviour);
        else
            outcome.command = frame.mid(6, frame.size() - 8); // another node's frame
    }
    SimulatorRecord record{unit, outcome.command, outcome.endCode, outcome.responseCode, false};
    const QString who = severalUnits && unit >= 0 ? QStringLiteral("unit %1 ").arg(unit) : QString();
    if (cut) {
        print(QStringLiteral("%1<- %2  (line cut)").arg(who, printable(outcome.command)));
        cutLink();
    } else {
        const bool answer = !settings.silent && !outcome.answer.isEmpty();
        if (answer && pause(milliseconds(settings.responseWaitMs)))
            record.answered = sendAnswer(outcome.answer, settings);
        QString line = QStringLiteral("%1<- %2  ").arg(who, printable(outcome.command.isEmpty() ? frame : outcome.command));
        if (unit < 0)
            line += QStringLiteral("(for node %1, not here)").arg(printable(frame.mid(1, 2)));
        else if (!record.answered)
            line += settings.silent ? QStringLiteral("(silent)") : QStringLiteral("(no answer)");
        else if (outcome.endCode != "00")
            line += QStringLiteral("-> end code %1").arg(QLatin1String(outcome.endCode));
        else
            line += QStringLiteral("-> %1").arg(printable(outcome.answer.mid(11, outcome.answer.size() - 13)));
        print(line);
        if (outcome.programComplete)
            print(who + ControllerModel::describeProgram(program(unit)));
    }
    {
        std::lock_guard lock(m_mutex);
        m_records.append(record);
        if (m_records.size() > HistoryLimit)
            m_records.removeFirst();
        ++m_commandCount;
    }
    m_recordAdded.notify_all();
}

bool ControllerSimulator::sendAnswer(const QByteArray &answer, const Settings &settings)
{
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

bool ControllerSimulator::writeAll(const char *data, int size)
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
bool ControllerSimulator::pause(nanoseconds duration)
{
    const auto deadline = steady_clock::now() + duration;
    while (!m_stopRequested) {
        const auto left = deadline - steady_clock::now();
        if (left <= nanoseconds::zero())
            return true;
        const timespec ts{time_t(duration_cast<seconds>(left).count()),
                          long((left % seconds(1)).count())};
        pollfd wake{m_wake, POLLIN, 0};
        ppoll(&wake, 1, &ts, nullptr);
    }
    return false;
}

void ControllerSimulator::cutLink()
{
    closeDevices();
    removeLink();
}

void ControllerSimulator::closeDevices()
{
    for (int *fd : {&m_master, &m_slave}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

void ControllerSimulator::removeLink()
{
    std::lock_guard lock(m_mutex);
    PortLink::remove(m_linkPath, m_slavePath);
    m_linkPath.clear();
}

void ControllerSimulator::print(const QString &line)
{
    std::function<void(const QString &)> output;
    {
        std::lock_guard lock(m_mutex);
        output = m_output;
    }
    if (output)
        output(line);
}
