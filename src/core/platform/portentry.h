#pragma once

#include <QList>
#include <QString>

// A serial port present on this computer, as the port list shows it.
struct PortEntry {
    QString name; // what the system calls it: "ttyUSB0", "COM3"; "pts/4" for a virtual meter
    QString devicePath; // what to open: "/dev/ttyUSB0", "COM3", "/dev/pts/4"
    QString description;
    QString manufacturer;
    QString serialNumber; // the USB serial number, empty when the device has none
    bool hasIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString byIdPath; // a stable by-id link that leads to it, if any
    int comNumber = 0; // the COMn that reaches it, 0 when none does
    bool virtualMeter = false; // published in the COMn link folder, not a system port
};

// What stays the same when an adapter is plugged in again under another system name.
struct PortIdentity {
    QString serialNumber;
    bool hasIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString byIdPath;

    bool isEmpty() const { return serialNumber.isEmpty() && byIdPath.isEmpty(); }
};

PortIdentity IdentityOf(const PortEntry& entry);

// The index in ports of the device with this identity, or -1. The USB serial number decides
// (with the same vendor and product ids when both are known); a device without one is known
// by its by-id link; a device with neither is never matched.
int FindSameDevice(const PortIdentity& identity, const QList<PortEntry>& ports);
