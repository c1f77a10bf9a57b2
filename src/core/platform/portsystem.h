#pragma once

#include "portentry.h"

#include <QList>
#include <QString>

#include <memory>

class Clock;
class SerialLink;

// The serial ports of this computer: which there are, a link on any of them, and the COMn
// names the rest of the program uses. Tests give a fake.
class PortSystem
{
public:
    virtual ~PortSystem() = default;
    // The ports present now, in a steady order, each with the COMn that reaches it.
    virtual QList<PortEntry> ports() = 0;
    // A link on devicePath at 28800 8N1, not opened yet.
    virtual std::unique_ptr<SerialLink> link(const QString& devicePath, Clock& clock) = 0;
    // Whether COMn reaches a device that is there now.
    virtual bool comReachesDevice(int comNumber) = 0;
    // Makes COMn reach target; false where the system names its ports itself, or on failure.
    virtual bool bind(int comNumber, const QString& target) = 0;
};
