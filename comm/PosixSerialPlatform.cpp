#include "comm/PosixSerialPlatform.h"

#include "comm/TermiosDevice.h"
#include "comm/TermiosSettings.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using PollWait::pollRetry;

PosixSerialPlatform::~PosixSerialPlatform() { close(); }

bool PosixSerialPlatform::open(const QString &devicePath, OpenFailure &failure)
{
    failure = {};
    if (m_fd >= 0)
        return false;
    const int fd = openRawTerminal(devicePath, failure);
    if (fd < 0)
        return false;
    if (!openWakes(failure)) {
        m_fd = fd;
        close();
        return false;
    }
    m_fd = fd;
    resetLine();
    {
        std::lock_guard lock(m_stateLock);
        readCounts(m_errorBase);
        m_eventBase = m_errorBase;
    }
    m_hungUp = false;
    m_device = devicePath;
    askLowLatency();
    return true;
}

int PosixSerialPlatform::openRawTerminal(const QString &devicePath, OpenFailure &failure)
{
    const auto fail = [&](OpenFailure::Step step, int error, int fd) {
        failure = {step, error};
        if (fd >= 0)
            ::close(fd);
        return -1;
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
    return fd;
}

bool PosixSerialPlatform::getSerialInfo(int fd, serial_struct &info) { return ::ioctl(fd, TIOCGSERIAL, &info) == 0; }

bool PosixSerialPlatform::setSerialInfo(int fd, const serial_struct &info)
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
    return QStringLiteral("%1: the driver did not take low latency, so answers may be held up to the adapter's latency "
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
    closeWakes();
}

bool PosixSerialPlatform::purgeComm(quint32 flags)
{
    if (m_fd < 0)
        return false;
    bool ok = true;
    if (flags & CommPurge::TxAbort)
        abortWrite();
    if (flags & CommPurge::TxClear)
        ok = ::tcflush(m_fd, TCOFLUSH) == 0 && ok;
    if (flags & CommPurge::RxClear) {
        ok = ::tcflush(m_fd, TCIFLUSH) == 0 && ok;
        rearmArrival();
    }
    return ok;
}

bool PosixSerialPlatform::getCommState(CommLineSettings &settings)
{
    termios t{};
    if (m_fd < 0 || ::tcgetattr(m_fd, &t) != 0)
        return false;
    std::lock_guard lock(m_stateLock);
    settings = m_state;
    TermiosSettings::fromTermios(t, settings);
    return true;
}

bool PosixSerialPlatform::setCommState(const CommLineSettings &s)
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
    std::lock_guard lock(m_stateLock);
    m_state = s;
    return true;
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
        const short revents = waitDeviceOrWake(m_hungUp ? -1 : m_fd, m_rxArmed && mask != 0 ? POLLIN : 0);
        if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
            m_hungUp = true;
            if (mask & CommEvent::Err)
                return CommEvent::Err;
            continue;
        }
        if (!(revents & POLLIN))
            continue;
        m_rxArmed = false;
        quint32 events = mask & CommEvent::RxChar;
        ErrorCounts counts;
        if (readCounts(counts)) {
            std::lock_guard lock(m_stateLock);
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

WriteStart PosixSerialPlatform::startWrite(const char *data, int count, int &written)
{
    written = 0;
    if (m_fd < 0 || count < 0)
        return WriteStart::Failed;
    beginWrite(count);
    m_wData = data;
    m_wCount = count;
    m_wDone = 0;
    if (count == 0)
        return WriteStart::Done;
    const ssize_t n = ::write(m_fd, data, size_t(count));
    if (n < 0 && errno != EAGAIN && errno != EINTR)
        return WriteStart::Failed;
    m_wDone = n > 0 ? int(n) : 0;
    written = m_wDone;
    return m_wDone == count ? WriteStart::Done : WriteStart::Pending;
}

bool PosixSerialPlatform::finishWrite(int &written)
{
    for (;;) {
        written = m_wDone;
        if (m_fd < 0 || writeAborted())
            return false;
        if (m_wDone == m_wCount)
            return true;
        int timeout;
        if (writeTimedOut(timeout))
            return true; // the write time-out ends the write with what went out
        const WriteWait wait = waitWritable(timeout);
        if (wait == WriteWait::Failed)
            return false;
        if (wait == WriteWait::Writable) {
            const ssize_t n = ::write(m_fd, m_wData + m_wDone, size_t(m_wCount - m_wDone));
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (n > 0)
                m_wDone += int(n);
        }
    }
}

int PosixSerialPlatform::readAvailable(char *buffer, int maxCount)
{
    if (m_fd < 0 || maxCount < 0)
        return -1;
    if (maxCount == 0)
        return 0;
    const ssize_t n = ::read(m_fd, buffer, size_t(maxCount));
    if (n > 0) {
        rearmArrival();
        return int(n);
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    return -1; // end of file (hang-up) or a failed read
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

bool PosixSerialPlatform::readCounts(ErrorCounts &counts) const
{
    serial_icounter_struct ic{};
    if (m_fd < 0 || ::ioctl(m_fd, TIOCGICOUNT, &ic) != 0)
        return false; // a pseudo-terminal keeps no counters
    counts = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return true;
}

quint32 PosixSerialPlatform::clearCommError()
{
    ErrorCounts counts;
    if (!readCounts(counts))
        return 0;
    std::lock_guard lock(m_stateLock);
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
