#include "CommXDownloadPort.h"

#include "CommX.h"
#include "PortDirectory.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

void CommXDownloadPort::Open()
{
    try {
        m_comm.Open();
        m_comm.PurgeTrans();
        m_comm.PurgeReceive();
    } catch (const ECommError &e) {
        const QString device = m_comm.portDirectory().devicePathFor(m_comm.PortNo());
        m_comm.Close();
        throw PortOpenError(describeOpenFailure(m_comm.PortNo(), device, e.ErrorState));
    }
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

int CommXDownloadPort::ReadAnswer(char *buf, int count)
{
    return m_comm.ReadAnswer(buf, count);
}

void CommXDownloadPort::Close()
{
    m_comm.Close();
}

QString CommXDownloadPort::describeOpenFailure(int portNo, const QString &devicePath, int errorState)
{
    const QString port = QStringLiteral("COM%1").arg(portNo);
    if (portNo <= 0)
        return QStringLiteral("No port is chosen (Communication, Com. port settings).");
    if (devicePath.isEmpty())
        return QStringLiteral("%1: no such port on this computer.").arg(port);

    // Ask the system once more, to tell the person what stands in the way.
    const QByteArray path = QFile::encodeName(devicePath);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        QString reason = QStringLiteral("%1 (%2): %3.").arg(port, devicePath, QString::fromLocal8Bit(std::strerror(error)));
        struct stat info {};
        if ((error == EACCES || error == EPERM) && ::stat(path.constData(), &info) == 0) {
            if (const group *g = ::getgrgid(info.st_gid))
                reason += QStringLiteral(" The user must be in the group \"%1\" that owns the device.")
                              .arg(QString::fromLocal8Bit(g->gr_name));
        }
        return reason;
    }
    QString reason;
    if (!::isatty(fd))
        reason = QStringLiteral("%1 (%2) is not a serial device.").arg(port, devicePath);
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        reason = QStringLiteral("%1 (%2) is in use by another program.").arg(port, devicePath);
    else
        reason = QStringLiteral("%1 (%2) does not take the line settings (error %3).").arg(port, devicePath).arg(errorState);
    ::close(fd);
    return reason;
}
