#include "comm/link/CommXDownloadPort.h"

#include "comm/CommX.h"
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
    comm.setStopBit(ControllerLine::StopBits == 2 ? csb2 : csb1);
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
        throw PortOpenError(
            describeOpenFailure(m_comm.portDirectory().portName(m_comm.PortNo()), m_comm.LastOpenDevice(), e.ErrorState, m_comm.LastOpenFailure()));
    }
}

QString CommXDownloadPort::portName() const
{
    return m_comm.portDirectory().portName(m_comm.PortNo());
}

QString CommXDownloadPort::devicePath() const
{
    return m_comm.portDirectory().devicePathFor(m_comm.PortNo());
}

bool CommXDownloadPort::isOpen() const
{
    return m_comm.IsOpen();
}

void CommXDownloadPort::PurgeTrans()
{
    m_comm.PurgeTrans();
}

bool CommXDownloadPort::WriteString(const QByteArray &text)
{
    return m_comm.WriteString(text);
}

void CommXDownloadPort::PurgeReceive()
{
    m_comm.PurgeReceive();
}

int CommXDownloadPort::ReadAnswer(char *buf, int count, const AnswerComplete &complete)
{
    return m_comm.ReadAnswer(buf, count, complete);
}

void CommXDownloadPort::Close()
{
    m_comm.Close();
}

QString CommXDownloadPort::describeOpenFailure(const QString &port, const QString &devicePath, int errorState,
                                               const OpenFailure &failure)
{
    if (port.isEmpty())
        return QStringLiteral("No port is chosen (Communication, Com. port settings).");
    const QString where = port == devicePath ? port : QStringLiteral("%1 (%2)").arg(port, devicePath);
    if (errorState != CommErrorCode::OpenFailed)
        return QStringLiteral("%1 does not take the line settings (error %2).").arg(where).arg(errorState);
    const QString system = QString::fromLocal8Bit(std::strerror(failure.error));
    switch (failure.step) {
    case OpenFailure::Step::None:
    case OpenFailure::Step::NoDevice:
        return QStringLiteral("%1: no such port on this computer.").arg(port);
    case OpenFailure::Step::Open: {
        QString reason = QStringLiteral("%1: %2.").arg(where, system);
        struct stat info {};
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
    }
    return {};
}
