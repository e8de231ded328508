#pragma once

#include <QList>
#include <QString>

struct PortEntry
{
    int portNo = 0;
    QString name; // "COMn"
    QString devicePath;
    QString description; // what the system says about the device, may be empty
};

// Turns a port number n ("COMn") into a device. A link named COMn in the
// ports folder wins (its target a device, or the address of a serial device
// server: "socket://HOST:PORT" or "rfc2217://HOST:PORT"); otherwise COM1..COM32 are /dev/ttyS0..31, COM33..COM64
// /dev/ttyUSB0..31 and COM65..COM96 /dev/ttyACM0..31.
class PortDirectory
{
public:
    explicit PortDirectory(QString portsFolder = defaultPortsFolder());

    // A directory in which every port number names the one device given: a
    // port named by its device path rather than by a COM number.
    static PortDirectory forDevice(const QString &devicePath);

    static QString defaultPortsFolder();
    QString portsFolder() const { return m_folder; }

    // The device port n resolves to, or empty: no such port, a link whose
    // target is gone, or a fixed device that does not exist.
    QString devicePathFor(int portNo) const;
    // "COMn", or the device path of a directory made by forDevice; empty for
    // a port number below 1 (none chosen).
    QString portName(int portNo) const;

    // The ports present, in COM-number order: the links in the ports folder
    // whose targets exist, and the serial devices the system reports that
    // have a COM number and no link of that number.
    QList<PortEntry> presentPorts() const;

    // The fixed numbering both ways; empty / 0 outside it.
    static QString fixedDevicePath(int portNo);
    static int fixedPortNo(const QString &devicePath);

private:
    QString linkPath(int portNo) const;

    QString m_folder;
    QString m_device; // forDevice's device
};
