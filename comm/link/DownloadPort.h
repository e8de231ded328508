#pragma once

#include "comm/protocol/ExchangePort.h"

#include <QString>
#include <stdexcept>

// Raised by DownloadPort::Open; says which device and why.
class PortOpenError : public std::runtime_error
{
public:
    explicit PortOpenError(const QString &reason) : std::runtime_error(reason.toStdString()) {}
    QString reason() const { return QString::fromStdString(what()); }
};

// The serial port as the download uses it: opened for the download, then the
// controller exchange runs over it.
class DownloadPort : public ExchangePort
{
public:
    // Opens the port and clears both directions; raises PortOpenError.
    virtual void Open() = 0;
    virtual bool isOpen() const = 0;
    // The port as the transfer log names it: its name ("COM3") and device.
    virtual QString portName() const { return {}; }
    virtual QString devicePath() const { return {}; }
    // What slows the line down, for the transfer record; empty when nothing.
    virtual QString lineNote() const { return {}; }
};
