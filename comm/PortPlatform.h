#pragma once

#include "comm/SerialPlatform.h"

#include <memory>

// What the serial component runs on unless it is given another platform:
// a device path opens on the terminal layer, "socket://HOST:PORT" and
// "rfc2217://HOST:PORT" on the network layer. Every other operation goes
// to the one that opened.
class PortPlatform : public SerialPlatform
{
public:
    PortPlatform();
    PortPlatform(std::unique_ptr<SerialPlatform> device, std::unique_ptr<SerialPlatform> network);
    ~PortPlatform() override;

    bool open(const QString &devicePath, OpenFailure &failure) override;
    void close() override { m_active->close(); }
    bool isOpen() const override { return m_active->isOpen(); }
    int handle() const override { return m_active->handle(); }

    bool setupComm(int inputQueue, int outputQueue) override { return m_active->setupComm(inputQueue, outputQueue); }
    bool purgeComm(quint32 flags) override { return m_active->purgeComm(flags); }
    bool getCommState(CommLineSettings &settings) override { return m_active->getCommState(settings); }
    bool setCommState(const CommLineSettings &settings) override { return m_active->setCommState(settings); }
    bool getCommTimeouts(CommTimeouts &timeouts) override { return m_active->getCommTimeouts(timeouts); }
    bool setCommTimeouts(const CommTimeouts &timeouts) override { return m_active->setCommTimeouts(timeouts); }

    bool setCommMask(quint32 mask) override { return m_active->setCommMask(mask); }
    quint32 waitCommEvent() override { return m_active->waitCommEvent(); }
    void cancelWaitCommEvent() override { m_active->cancelWaitCommEvent(); }

    WriteStart startWrite(const char *data, int count, int &written) override
    {
        return m_active->startWrite(data, count, written);
    }
    bool finishWrite(int &written) override { return m_active->finishWrite(written); }

    int readAvailable(char *buffer, int maxCount) override { return m_active->readAvailable(buffer, maxCount); }
    void waitReadable(int timeoutMs) override { m_active->waitReadable(timeoutMs); }
    int inputQueueBytes() override { return m_active->inputQueueBytes(); }

    quint32 clearCommError() override { return m_active->clearCommError(); }
    bool escapeCommFunction(CommEscape function) override { return m_active->escapeCommFunction(function); }
    QString lineNote() const override { return m_active->lineNote(); }
    QString settingsFailure() const override { return m_active->settingsFailure(); }

private:
    std::unique_ptr<SerialPlatform> m_device;
    std::unique_ptr<SerialPlatform> m_network;
    SerialPlatform *m_active; // changes only in open, while no thread of the component runs
};
