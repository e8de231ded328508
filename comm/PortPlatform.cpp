#include "comm/PortPlatform.h"

#include "comm/NetworkAddress.h"
#include "comm/NetworkSerialPlatform.h"
#include "comm/PosixSerialPlatform.h"

PortPlatform::PortPlatform()
    : PortPlatform(std::make_unique<PosixSerialPlatform>(), std::make_unique<NetworkSerialPlatform>())
{}

PortPlatform::PortPlatform(std::unique_ptr<SerialPlatform> device, std::unique_ptr<SerialPlatform> network)
    : m_device(std::move(device))
    , m_network(std::move(network))
    , m_active(m_device.get())
{}

PortPlatform::~PortPlatform() = default;

bool PortPlatform::open(const QString &devicePath, OpenFailure &failure)
{
    if (m_active->isOpen())
        return false;
    m_active = NetworkAddress::looksLikeNetwork(devicePath) ? m_network.get() : m_device.get();
    return m_active->open(devicePath, failure);
}
