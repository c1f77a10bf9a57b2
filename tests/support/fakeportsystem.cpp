#include "fakeportsystem.h"

std::unique_ptr<SerialLink> FakePortSystem::link(const QString& devicePath, Clock&)
{
    auto link = std::make_unique<FakeSerialLink>();
    if (refused.contains(devicePath)) {
        link->failOpen = true;
        link->problem = refused.value(devicePath);
    }
    links.insert(devicePath, link.get());
    ++linksMade;
    return link;
}

bool FakePortSystem::bind(int comNumber, const QString& target)
{
    if (bindRefused)
        return false;
    bound.insert(comNumber, target);
    reached.insert(comNumber);
    return true;
}

PortEntry FakePort(
    const QString& name, int comNumber, const QString& serialNumber, const QString& byIdPath)
{
    PortEntry e;
    e.name = name;
    e.devicePath = QStringLiteral("/dev/") + name;
    e.comNumber = comNumber;
    e.serialNumber = serialNumber;
    e.byIdPath = byIdPath;
    if (!serialNumber.isEmpty()) {
        e.hasIds = true;
        e.vendorId = 0x0403;
        e.productId = 0x6001;
    }
    return e;
}
