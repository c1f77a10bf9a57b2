#include "samedevice.h"

#include "portdevice.h"
#include "portsystem.h"
#include "serialportlink.h"

#include <QFileInfo>

PortEntry FollowSameDevice(SerialPortLink& link, PortSystem& system, int portNumber)
{
    const QString opened = QFileInfo(link.portName()).canonicalFilePath();
    PortIdentity identity;
    PortEntry device;
    for (const PortEntry& entry : system.ports()) {
        if (!opened.isEmpty() && QFileInfo(entry.devicePath).canonicalFilePath() == opened) {
            identity = IdentityOf(entry);
            device = entry;
        }
    }
    if (identity.isEmpty())
        return device;
    link.setFindSameDevice([&system, identity, portNumber]() -> QString {
        const QList<PortEntry> ports = system.ports();
        const int same = FindSameDevice(identity, ports);
        if (same < 0)
            return QString();
        const PortEntry& entry = ports[same];
        if (portNumber < 1)
            return entry.devicePath;
        const QString target = entry.byIdPath.isEmpty() ? entry.devicePath : entry.byIdPath;
        return system.bind(portNumber, target) ? PortDevicePath(portNumber) : entry.devicePath;
    });
    return device;
}
