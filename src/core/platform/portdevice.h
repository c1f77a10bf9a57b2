#pragma once

#include "portlinkfolder.h"

#include <QString>

// Where COMn leads. On Windows it is the system's COMn. Elsewhere it is the link
// <runtime folder>/nimbrel/COMn when one exists (the virtual meter publishes its
// pseudo-terminal there, and a user can point COMn at any device the same way), else the first
// of /dev/ttyUSB<n-1>, /dev/ttyACM<n-1>, /dev/ttyS<n-1> that exists, else the link's path.
QString PortDevicePath(int portNumber);

// A short text for the port window: the device that COMn reaches, or that none does.
QString PortDeviceHint(int portNumber);
