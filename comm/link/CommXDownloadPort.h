#pragma once

#include "comm/SerialPlatform.h"
#include "comm/link/DownloadPort.h"

class TCommX;

// The serial component as the download's port. Open also clears both
// directions, and a port that cannot be opened is explained: which device,
// and what the system said when the component opened it.
class CommXDownloadPort : public DownloadPort
{
public:
    explicit CommXDownloadPort(TCommX &comm) : m_comm(comm) {}

    // The controller's line (ControllerLine) with its write and read
    // time-outs.
    static void useControllerLine(TCommX &comm);

    void Open() override;
    bool isOpen() const override;
    QString portName() const override;
    QString devicePath() const override;
    QString lineNote() const override;
    void PurgeTrans() override;
    bool WriteString(const QByteArray &text) override;
    void PurgeReceive() override;
    int ReadAnswer(char *buf, int count, const AnswerComplete &complete) override;
    void Close() override;

    // Why the port cannot be used, in words a person can act on: the
    // component's error code, and for 101 the step of the open that failed on
    // devicePath. port is its name ("COM3", or the device path for a port
    // named by its device); empty when no port is chosen.
    static QString describeOpenFailure(const QString &port, const QString &devicePath, int errorState,
                                       const OpenFailure &failure, const QString &settingsFailure = {});
    // The controller-line setting a refused error code stands for ("2 stop
    // bits" for 107); empty for other codes.
    static QString refusedSetting(int errorState);

private:
    TCommX &m_comm;
};
