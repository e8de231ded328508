#pragma once

#include <QString>

// A link named COMn in the ports folder, leading to a device path, so that the
// editor finds the simulator under that port number.
namespace PortLink {

// $XDG_CONFIG_HOME (or ~/.config) + /Orrisan/VantrelAssistant/ports
QString defaultPortsDir();
// Creates dir/COMn -> target, replacing an older link of that name (never a
// file that is not a link). Returns the link path, or an empty text and the reason.
QString create(const QString &portsDir, int comNumber, const QString &target, QString *error);
// Removes the link if it still leads to target (another simulator may own it now).
void remove(const QString &linkPath, const QString &target);

} // namespace PortLink
