#pragma once

#include "comm/SerialPlatform.h"

#include <termios.h>

// The serial component's line settings in termios terms, both ways, and the
// judgement of what a device read back. Pure translation: no descriptor is
// touched here.
namespace TermiosSettings {

// The termios speed of a bit rate; false for a rate no speed stands for.
bool speedFor(quint32 rate, speed_t &speed);
// The bit rate of a termios speed; 0 for a speed the table lacks.
quint32 rateFor(speed_t speed);

// Which line settings a device can take (speed, 5 to 8 data bits, no 1.5
// stop bits, no DSR/DTR flow control, no RTS toggling).
bool isSupported(const CommLineSettings &settings);

// Writes the speed, character size, parity, stop bits, flow control and
// XON/XOFF characters of settings into t; the rest of t stays. False, with t
// untouched, for settings a device cannot take.
bool toTermios(const CommLineSettings &settings, termios &t);
// Reads the speed (when the table has it), character size, parity, stop bits
// and XON/XOFF characters of t into settings; the other fields stay.
void fromTermios(const termios &t, CommLineSettings &settings);

// Whether the line settings read back after tcsetattr are the ones asked
// for: tcsetattr succeeds when any part of a request took. A pseudo-terminal
// has no character size or parity of its own and reads back 8 bits without
// parity whatever was asked, so on one those two are not compared.
bool settingsTook(const termios &asked, const termios &readBack, bool pseudoTerminal);

} // namespace TermiosSettings
