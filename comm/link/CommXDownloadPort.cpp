#include "comm/link/CommXDownloadPort.h"

#include "comm/CommX.h"
#include "comm/NetworkAddress.h"
#include "comm/PortDirectory.h"
#include "comm/protocol/ControllerLine.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

void CommXDownloadPort::useControllerLine(TCommX &comm)
{
    comm.setBitRate(ControllerLine::BitRate);
    comm.setCharSize(ControllerLine::DataBits);
    comm.setParityBit(TCommParityBits(ControllerLine::LineParity));
    comm.setStopBit(TCommStopBits(ControllerLine::StopBitsCode));
    comm.setFlowCtrl(cfcNone);
    comm.setTimeOutTrans(ControllerLine::TimeOutMs);
    comm.setTimeOutReceive(ControllerLine::TimeOutMs);
}

void CommXDownloadPort::Open()
{
    try {
        m_comm.Open();
        m_comm.PurgeTrans();
        m_comm.PurgeReceive();
    } catch (const ECommError &e) {
        m_comm.Close();
        throw PortOpenError(describeOpenFailure(m_comm.portDirectory().portName(m_comm.PortNo()),
                                                m_comm.LastOpenDevice(), e.ErrorState, m_comm.LastOpenFailure(),
                                                m_comm.platform().settingsFailure()));
    }
}

QString CommXDownloadPort::lineNote() const { return m_comm.platform().lineNote(); }

QString CommXDownloadPort::portName() const { return m_comm.portDirectory().portName(m_comm.PortNo()); }

QString CommXDownloadPort::devicePath() const { return m_comm.portDirectory().devicePathFor(m_comm.PortNo()); }

bool CommXDownloadPort::isOpen() const { return m_comm.IsOpen(); }

void CommXDownloadPort::PurgeTrans() { m_comm.PurgeTrans(); }

bool CommXDownloadPort::WriteString(const QByteArray &text) { return m_comm.WriteString(text); }

void CommXDownloadPort::PurgeReceive() { m_comm.PurgeReceive(); }

int CommXDownloadPort::ReadAnswer(char *buf, int count, const AnswerComplete &complete)
{
    return m_comm.ReadAnswer(buf, count, complete);
}

void CommXDownloadPort::Close() { m_comm.Close(); }

QString CommXDownloadPort::refusedSetting(int errorState)
{
    switch (errorState) {
    case CommErrorCode::BitRate:
        return QStringLiteral("%1 bit/s").arg(ControllerLine::BitRate);
    case CommErrorCode::CharSize:
        return QStringLiteral("%1 data bits").arg(ControllerLine::DataBits);
    case CommErrorCode::ParityBit:
        return ControllerLine::parityWord() + QStringLiteral(" parity");
    case CommErrorCode::StopBit:
        return QStringLiteral("%1 stop bits").arg(ControllerLine::StopBits);
    default:
        return {};
    }
}

QString CommXDownloadPort::describeOpenFailure(const QString &port, const QString &devicePath, int errorState,
                                               const OpenFailure &failure, const QString &settingsFailure)
{
    if (port.isEmpty())
        return QStringLiteral("No port is chosen (Communication, Com. port settings).");
    const std::optional<NetworkAddress> server = NetworkAddress::parse(devicePath);
    QString where = port == devicePath ? port : QStringLiteral("%1 (%2)").arg(port, devicePath);
    if (server && port == devicePath)
        where = server->hostAndPort();
    if (errorState != CommErrorCode::OpenFailed) {
        const QString setting = refusedSetting(errorState);
        if (!setting.isEmpty() && !settingsFailure.isEmpty())
            return QStringLiteral("%1: %2 when asked for %3.").arg(where, settingsFailure, setting);
        if (!setting.isEmpty())
            return QStringLiteral("%1 does not take %2.").arg(where, setting);
        return QStringLiteral("%1 does not take the line settings (error %2).").arg(where).arg(errorState);
    }
    const QString system = QString::fromLocal8Bit(std::strerror(failure.error));
    switch (failure.step) {
    case OpenFailure::Step::None:
    case OpenFailure::Step::NoDevice:
        return QStringLiteral("%1: no such port on this computer.").arg(port);
    case OpenFailure::Step::Open: {
        QString reason = QStringLiteral("%1: %2.").arg(where, system);
        struct stat info
        {};
        if ((failure.error == EACCES || failure.error == EPERM)
            && ::stat(QFile::encodeName(devicePath).constData(), &info) == 0) {
            if (const group *g = ::getgrgid(info.st_gid))
                reason += QStringLiteral(" The user must be in the group \"%1\" that owns the device.")
                              .arg(QString::fromLocal8Bit(g->gr_name));
        }
        return reason;
    }
    case OpenFailure::Step::NotATerminal:
        return QStringLiteral("%1 is not a serial device.").arg(where);
    case OpenFailure::Step::InUse:
        return QStringLiteral("%1 is in use by another program.").arg(where);
    case OpenFailure::Step::Setup:
        return QStringLiteral("%1 could not be set up: %2.").arg(where, system);
    case OpenFailure::Step::NameNotFound:
        return QStringLiteral("%1: the name \"%2\" is not known (no such host).")
            .arg(where, server ? server->host : devicePath);
    case OpenFailure::Step::Connect:
        if (failure.error == ETIMEDOUT)
            return QStringLiteral("%1: no connection within 5 s (the server does not answer).").arg(where);
        return QStringLiteral("%1: cannot connect: %2.").arg(where, system);
    case OpenFailure::Step::Protocol:
        if (failure.error == ETIMEDOUT)
            return QStringLiteral("%1 did not take up the COM-port option (RFC 2217) within 5 s; "
                                  "a raw TCP port is reached with socket://.")
                .arg(where);
        if (failure.error != 0)
            return QStringLiteral("%1 closed the connection before the COM-port option (RFC 2217) was agreed.")
                .arg(where);
        return QStringLiteral("%1 refuses the COM-port option (RFC 2217); a raw TCP port is reached with socket://.")
            .arg(where);
    }
    return {};
}
