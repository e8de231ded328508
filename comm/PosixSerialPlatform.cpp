#include "comm/PosixSerialPlatform.h"

#include "comm/TermiosDevice.h"
#include "comm/TermiosSettings.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <climits>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int pollRetry(pollfd* fds, nfds_t count, int timeoutMs)
{
    int r;
    do {
        r = ::poll(fds, count, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r;
}

} // namespace

PosixSerialPlatform::~PosixSerialPlatform()
{
    close();
}

bool PosixSerialPlatform::open(const QString& devicePath, OpenFailure& failure)
{
    failure = {};
    if (m_fd >= 0)
        return false;
    const auto fail = [&](OpenFailure::Step step, int error, int fd) {
        failure = {step, error};
        if (fd >= 0)
            ::close(fd);
        return false;
    };
    const QByteArray path = QFile::encodeName(devicePath);
    int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(OpenFailure::Step::Open, errno, -1);
    termios t{};
    // Not a terminal, or somebody else holds it: give up. TIOCEXCL keeps
    // later opens out (for everybody but root); the lock covers root too.
    if (!::isatty(fd))
        return fail(OpenFailure::Step::NotATerminal, 0, fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(OpenFailure::Step::InUse, errno, fd);
    if (::tcgetattr(fd, &t) != 0)
        return fail(OpenFailure::Step::Setup, errno, fd);
    ::ioctl(fd, TIOCEXCL);

    // Raw bytes both ways; reads never block (VMIN 1 with O_NONBLOCK: no
    // data is EAGAIN, end of file is a hang-up).
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &t);

    m_txWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_rxWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_txWake < 0 || m_rxWake < 0) {
        failure = {OpenFailure::Step::Setup, errno};
        m_fd = fd;
        close();
        return false;
    }
    m_fd = fd;
    {
        std::lock_guard lock(m_mutex);
        m_state = CommLineSettings{};
        m_state.Flags = CommFlag::Binary | CommFlag::DtrEnable | CommFlag::RtsEnable;
        m_timeouts = CommTimeouts{};
        readCounts(m_errorBase);
        m_eventBase = m_errorBase;
    }
    m_eventMask = 0;
    m_cancelWait = false;
    m_rxArmed = true;
    m_hungUp = false;
    m_device = devicePath;
    askLowLatency();
    return true;
}

bool PosixSerialPlatform::getSerialInfo(int fd, serial_struct& info)
{
    return ::ioctl(fd, TIOCGSERIAL, &info) == 0;
}

bool PosixSerialPlatform::setSerialInfo(int fd, const serial_struct& info)
{
    return ::ioctl(fd, TIOCSSERIAL, &info) == 0;
}

void PosixSerialPlatform::askLowLatency()
{
    serial_struct info{};
    if (!getSerialInfo(m_fd, info)) {
        m_lowLatency = LowLatency::NotApplicable;
        return;
    }
    if (info.flags & ASYNC_LOW_LATENCY) {
        m_lowLatency = LowLatency::AlreadyOn;
        return;
    }
    info.flags |= ASYNC_LOW_LATENCY;
    serial_struct back{};
    // Some drivers answer the call and keep their setting: read it back.
    if (setSerialInfo(m_fd, info) && getSerialInfo(m_fd, back) && (back.flags & ASYNC_LOW_LATENCY))
        m_lowLatency = LowLatency::Set;
    else
        m_lowLatency = LowLatency::Refused;
}

void PosixSerialPlatform::restoreLatency()
{
    serial_struct info{};
    if (m_lowLatency == LowLatency::Set && getSerialInfo(m_fd, info)) {
        info.flags &= ~ASYNC_LOW_LATENCY;
        setSerialInfo(m_fd, info);
    }
}

QString PosixSerialPlatform::lineNote() const
{
    if (m_lowLatency != LowLatency::Refused)
        return {};
    return QStringLiteral(
               "%1: the driver did not take low latency, so answers may be held up to the adapter's latency "
               "timer (16 ms on FTDI adapters). A udev rule sets the timer to 1 ms, e.g. in "
               "/etc/udev/rules.d/99-usb-serial-latency.rules: "
               "ACTION==\"add\", SUBSYSTEM==\"usb-serial\", DRIVER==\"ftdi_sio\", ATTR{latency_timer}=\"1\"")
        .arg(m_device);
}

void PosixSerialPlatform::close()
{
    if (m_fd >= 0) {
        restoreLatency();
        ::ioctl(m_fd, TIOCNXCL);
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
    for (int* fd : {&m_txWake, &m_rxWake}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

bool PosixSerialPlatform::isOpen() const
{
    return m_fd >= 0;
}

int PosixSerialPlatform::handle() const
{
    return m_fd;
}

bool PosixSerialPlatform::setupComm(int inputQueue, int outputQueue)
{
    // The kernel sizes a terminal's queues itself; sizes are only checked.
    return m_fd >= 0 && inputQueue > 0 && outputQueue > 0;
}

bool PosixSerialPlatform::purgeComm(quint32 flags)
{
    if (m_fd < 0)
        return false;
    bool ok = true;
    if (flags & CommPurge::TxAbort) {
        ++m_txAbort;
        signal(m_txWake);
    }
    if (flags & CommPurge::TxClear)
        ok = ::tcflush(m_fd, TCOFLUSH) == 0 && ok;
    if (flags & CommPurge::RxClear) {
        ok = ::tcflush(m_fd, TCIFLUSH) == 0 && ok;
        wakeEventWait();
    }
    return ok;
}

bool PosixSerialPlatform::getCommState(CommLineSettings& settings)
{
    termios t{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &t) != 0)
        return false;
    std::lock_guard lock(m_mutex);
    settings = m_state;
    TermiosSettings::fromTermios(t, settings);
    return true;
}

bool PosixSerialPlatform::setCommState(const CommLineSettings& s)
{
    termios t{};
    if (m_fd < 0 || !TermiosSettings::isSupported(s) || ::tcgetattr(m_fd, &t) != 0)
        return false;
    TermiosSettings::toTermios(s, t);
    if (TermiosDevice::setAndReadBack(m_fd, t) != TermiosDevice::SetResult::Took)
        return false;

    const quint32 dtr = s.Flags & CommFlag::DtrControlMask;
    if (dtr != CommFlag::DtrHandshake)
        escapeCommFunction(dtr == CommFlag::DtrEnable ? CommEscape::SetDtr : CommEscape::ClrDtr);
    const quint32 rts = s.Flags & CommFlag::RtsControlMask;
    if (rts == 0 || rts == CommFlag::RtsEnable)
        escapeCommFunction(rts == CommFlag::RtsEnable ? CommEscape::SetRts : CommEscape::ClrRts);
    std::lock_guard lock(m_mutex);
    m_state = s;
    return true;
}

bool PosixSerialPlatform::getCommTimeouts(CommTimeouts& timeouts)
{
    if (m_fd < 0)
        return false;
    std::lock_guard lock(m_mutex);
    timeouts = m_timeouts;
    return true;
}

bool PosixSerialPlatform::setCommTimeouts(const CommTimeouts& timeouts)
{
    if (m_fd < 0)
        return false;
    std::lock_guard lock(m_mutex);
    m_timeouts = timeouts;
    return true;
}

bool PosixSerialPlatform::setCommMask(quint32 mask)
{
    if (m_fd < 0)
        return false;
    m_eventMask = mask;
    signal(m_rxWake);
    return true;
}

void PosixSerialPlatform::cancelWaitCommEvent()
{
    m_cancelWait = true;
    signal(m_rxWake);
}

void PosixSerialPlatform::wakeEventWait()
{
    // Input was taken or discarded: the next arrival is news again.
    if (!m_rxArmed.exchange(true))
        signal(m_rxWake);
}

quint32 PosixSerialPlatform::waitCommEvent()
{
    for (;;) {
        if (m_cancelWait.exchange(false) || m_fd < 0)
            return 0;
        const quint32 mask = m_eventMask;
        // poll is level-triggered: while an arrival was reported and its
        // bytes still wait for a reader, only a hang-up is watched for.
        // After a hang-up the device is left alone (it would report it
        // without end).
        pollfd fds[2] = {{m_hungUp ? -1 : m_fd, 0, 0}, {m_rxWake, POLLIN, 0}};
        if (m_rxArmed && mask != 0)
            fds[0].events = POLLIN;
        if (pollRetry(fds, 2, -1) < 0) {
            fds[0].fd = -1;  // cannot watch the device; wait for the wake-up only
            pollRetry(&fds[1], 1, -1);
        }
        if (fds[1].revents)
            drain(m_rxWake);
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            m_hungUp = true;
            if (mask & CommEvent::Err)
                return CommEvent::Err;
            continue;
        }
        if (!(fds[0].revents & POLLIN))
            continue;
        m_rxArmed = false;
        quint32 events = mask & CommEvent::RxChar;
        ErrorCounts counts;
        if (readCounts(counts)) {
            std::lock_guard lock(m_mutex);
            if (counts.brk != m_eventBase.brk)
                events |= mask & CommEvent::Break;
            if (counts.frame != m_eventBase.frame || counts.overrun != m_eventBase.overrun
                || counts.parity != m_eventBase.parity || counts.bufOverrun != m_eventBase.bufOverrun)
                events |= mask & CommEvent::Err;
            m_eventBase = counts;
        }
        if (events)
            return events;
    }
}

WriteStart PosixSerialPlatform::startWrite(const char* data, int count, int& written)
{
    written = 0;
    if (m_fd < 0 || count < 0)
        return WriteStart::Failed;
    m_wAbort = m_txAbort;
    m_wData = data;
    m_wCount = count;
    m_wDone = 0;
    quint64 total;
    {
        std::lock_guard lock(m_mutex);
        total = quint64(m_timeouts.WriteTotalTimeoutMultiplier) * quint64(count)
            + m_timeouts.WriteTotalTimeoutConstant;
    }
    m_wDeadline = total ? nowMs() + qint64(total) : 0;
    if (count == 0)
        return WriteStart::Done;
    const ssize_t n = ::write(m_fd, data, size_t(count));
    if (n < 0 && errno != EAGAIN && errno != EINTR)
        return WriteStart::Failed;
    m_wDone = n > 0 ? int(n) : 0;
    written = m_wDone;
    return m_wDone == count ? WriteStart::Done : WriteStart::Pending;
}

bool PosixSerialPlatform::finishWrite(int& written)
{
    for (;;) {
        written = m_wDone;
        if (m_fd < 0 || m_txAbort != m_wAbort)
            return false;
        if (m_wDone == m_wCount)
            return true;
        int timeout = -1;
        if (m_wDeadline) {
            const qint64 left = m_wDeadline - nowMs();
            if (left <= 0)
                return true;  // the write time-out ends the write with what went out
            timeout = int(qMin<qint64>(left, INT_MAX));
        }
        pollfd fds[2] = {{m_fd, POLLOUT, 0}, {m_txWake, POLLIN, 0}};
        if (pollRetry(fds, 2, timeout) < 0)
            return false;
        if (fds[1].revents)
            drain(m_txWake);
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;
        if (fds[0].revents & POLLOUT) {
            const ssize_t n = ::write(m_fd, m_wData + m_wDone, size_t(m_wCount - m_wDone));
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (n > 0)
                m_wDone += int(n);
        }
    }
}

int PosixSerialPlatform::readAvailable(char* buffer, int maxCount)
{
    if (m_fd < 0 || maxCount < 0)
        return -1;
    if (maxCount == 0)
        return 0;
    const ssize_t n = ::read(m_fd, buffer, size_t(maxCount));
    if (n > 0) {
        wakeEventWait();
        return int(n);
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    return -1;  // end of file (hang-up) or a failed read
}

void PosixSerialPlatform::waitReadable(int timeoutMs)
{
    if (m_fd < 0)
        return;
    pollfd fd{m_fd, POLLIN, 0};
    pollRetry(&fd, 1, timeoutMs);
}

int PosixSerialPlatform::inputQueueBytes()
{
    int n = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &n) != 0)
        return 0;
    return n;
}

bool PosixSerialPlatform::readCounts(ErrorCounts& counts) const
{
    serial_icounter_struct ic{};
    if (m_fd < 0 || ::ioctl(m_fd, TIOCGICOUNT, &ic) != 0)
        return false;  // a pseudo-terminal keeps no counters
    counts = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return true;
}

quint32 PosixSerialPlatform::clearCommError()
{
    ErrorCounts counts;
    if (!readCounts(counts))
        return 0;
    std::lock_guard lock(m_mutex);
    quint32 flags = 0;
    if (counts.overrun != m_errorBase.overrun || counts.bufOverrun != m_errorBase.bufOverrun)
        flags |= CommLineError::Overrun;
    if (counts.parity != m_errorBase.parity)
        flags |= CommLineError::RxParity;
    if (counts.frame != m_errorBase.frame)
        flags |= CommLineError::Frame;
    m_errorBase = counts;
    return flags;
}

bool PosixSerialPlatform::escapeCommFunction(CommEscape function)
{
    if (m_fd < 0)
        return false;
    const bool rts = function == CommEscape::SetRts || function == CommEscape::ClrRts;
    const bool raise = function == CommEscape::SetRts || function == CommEscape::SetDtr;
    const int bit = rts ? TIOCM_RTS : TIOCM_DTR;
    // Fails with ENOTTY on a pseudo-terminal, which has no modem lines.
    return ::ioctl(m_fd, raise ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

void PosixSerialPlatform::signal(int eventFd)
{
    if (eventFd < 0)
        return;
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t n = ::write(eventFd, &one, sizeof one);
}

void PosixSerialPlatform::drain(int eventFd)
{
    quint64 value;
    [[maybe_unused]] const ssize_t n = ::read(eventFd, &value, sizeof value);
}
