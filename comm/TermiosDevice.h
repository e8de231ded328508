#pragma once

#include <termios.h>

// The termios calls on a descriptor that setting a line needs: the serial
// component and the controller simulator share them.
namespace TermiosDevice {

// The slave side of a Unix 98 pseudo-terminal (character major 136 to 143).
bool isPseudoTerminal(int fd);

enum class SetResult {
    Took,     // the settings read back are the ones asked for
    Failed,   // tcsetattr or tcgetattr failed; errno says why
    NotTaken, // the device kept settings of its own
};
// Sets the line settings of fd and judges them by what it reads back
// (TermiosSettings::settingsTook): tcsetattr reports success when any part of
// the request took, and fails with EINVAL only when none of it did, so an
// adapter that cannot do 7 data bits or even parity would otherwise run 8N1
// without a word.
SetResult setAndReadBack(int fd, const termios &asked);

} // namespace TermiosDevice
