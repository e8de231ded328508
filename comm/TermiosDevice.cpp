#include "comm/TermiosDevice.h"

#include "comm/TermiosSettings.h"

#include <cerrno>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace TermiosDevice {

bool isPseudoTerminal(int fd)
{
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const unsigned int deviceMajor = major(info.st_rdev);
    return deviceMajor >= 136 && deviceMajor <= 143;
}

SetResult setAndReadBack(int fd, const termios &asked)
{
    termios readBack{};
    const bool set = ::tcsetattr(fd, TCSANOW, &asked) == 0;
    if ((!set && errno != EINVAL) || ::tcgetattr(fd, &readBack) != 0)
        return SetResult::Failed;
    return TermiosSettings::settingsTook(asked, readBack, isPseudoTerminal(fd)) ? SetResult::Took : SetResult::NotTaken;
}

} // namespace TermiosDevice
