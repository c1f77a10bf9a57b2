#include "portentry.h"

PortIdentity IdentityOf(const PortEntry& entry)
{
    return { entry.serialNumber, entry.hasIds, entry.vendorId, entry.productId, entry.byIdPath };
}

int FindSameDevice(const PortIdentity& identity, const QList<PortEntry>& ports)
{
    if (!identity.serialNumber.isEmpty()) {
        for (int i = 0; i < ports.size(); ++i) {
            const PortEntry& p = ports[i];
            if (p.serialNumber != identity.serialNumber)
                continue;
            if (identity.hasIds && p.hasIds
                && (p.vendorId != identity.vendorId || p.productId != identity.productId))
                continue;
            return i;
        }
    }
    if (!identity.byIdPath.isEmpty()) {
        for (int i = 0; i < ports.size(); ++i) {
            if (ports[i].byIdPath == identity.byIdPath)
                return i;
        }
    }
    return -1;
}
