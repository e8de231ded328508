#include "comm/TermiosSettings.h"

#include <array>

namespace TermiosSettings {

namespace {

struct SpeedEntry
{
    quint32 rate;
    speed_t speed;
};

constexpr std::array<SpeedEntry, 24> kSpeeds{{
    {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {2000000, B2000000},
}};

} // namespace

bool speedFor(quint32 rate, speed_t &speed)
{
    for (const SpeedEntry &e : kSpeeds) {
        if (e.rate == rate) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

quint32 rateFor(speed_t speed)
{
    for (const SpeedEntry &e : kSpeeds) {
        if (e.speed == speed)
            return e.rate;
    }
    return 0;
}

bool isSupported(const CommLineSettings &s)
{
    speed_t speed;
    const quint32 dtr = s.Flags & CommFlag::DtrControlMask;
    const quint32 rts = s.Flags & CommFlag::RtsControlMask;
    return speedFor(s.BaudRate, speed) && s.ByteSize >= 5 && s.ByteSize <= 8 && s.Parity <= 4
        && (s.StopBits == 0 || s.StopBits == 2) && !(s.Flags & CommFlag::OutxDsrFlow) && dtr != CommFlag::DtrHandshake
        && dtr != CommFlag::DtrControlMask && rts != CommFlag::RtsToggle;
}

bool toTermios(const CommLineSettings &s, termios &t)
{
    speed_t speed;
    if (!isSupported(s) || !speedFor(s.BaudRate, speed))
        return false;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag = (t.c_cflag & ~CSIZE) | sizes[s.ByteSize - 5];
    t.c_cflag &= ~(PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    if (s.Parity == 1 || s.Parity == 3)
        t.c_cflag |= PARENB | PARODD;
    else if (s.Parity == 2 || s.Parity == 4)
        t.c_cflag |= PARENB;
    if (s.Parity >= 3)
        t.c_cflag |= CMSPAR;
    if (s.StopBits == 2)
        t.c_cflag |= CSTOPB;
    const bool handshake = (s.Flags & CommFlag::RtsControlMask) == CommFlag::RtsHandshake;
    if ((s.Flags & CommFlag::OutxCtsFlow) || handshake)
        t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY);
    if ((s.Flags & CommFlag::Parity) && s.Parity != 0)
        t.c_iflag |= INPCK;
    if (s.Flags & CommFlag::OutX)
        t.c_iflag |= IXON;
    if (s.Flags & CommFlag::InX)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
    return true;
}

void fromTermios(const termios &t, CommLineSettings &settings)
{
    if (const quint32 rate = rateFor(::cfgetospeed(&t)))
        settings.BaudRate = rate;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        settings.ByteSize = 5;
        break;
    case CS6:
        settings.ByteSize = 6;
        break;
    case CS7:
        settings.ByteSize = 7;
        break;
    default:
        settings.ByteSize = 8;
        break;
    }
    if (!(t.c_cflag & PARENB))
        settings.Parity = 0;
    else if (t.c_cflag & CMSPAR)
        settings.Parity = (t.c_cflag & PARODD) ? 3 : 4;
    else
        settings.Parity = (t.c_cflag & PARODD) ? 1 : 2;
    settings.StopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
    settings.XonChar = static_cast<char>(t.c_cc[VSTART]);
    settings.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
}

bool settingsTook(const termios &asked, const termios &readBack, bool pseudoTerminal)
{
    // A pseudo-terminal carries bytes and has no framing: the kernel (Linux
    // 6.x) keeps it at 8 data bits without parity whatever is asked. tcsetattr
    // for 7E2 with 2 stop bits returns 0 and reads back CS8 without parity; a
    // request that changes only the size or the parity took nothing and
    // fails with EINVAL. Stop bits, flow control and speed it does keep.
    tcflag_t cflags = CSTOPB | CRTSCTS;
    if (!pseudoTerminal)
        cflags |= CSIZE | PARENB | PARODD | CMSPAR;
    const tcflag_t iflags = INPCK | IXON | IXOFF;
    return ::cfgetispeed(&asked) == ::cfgetispeed(&readBack) && ::cfgetospeed(&asked) == ::cfgetospeed(&readBack)
        && (asked.c_cflag & cflags) == (readBack.c_cflag & cflags)
        && (asked.c_iflag & iflags) == (readBack.c_iflag & iflags) && asked.c_cc[VSTART] == readBack.c_cc[VSTART]
        && asked.c_cc[VSTOP] == readBack.c_cc[VSTOP];
}

} // namespace TermiosSettings
