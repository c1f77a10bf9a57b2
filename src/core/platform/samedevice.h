#pragma once

#include "portentry.h"

class PortSystem;
class SerialPortLink;

// Makes an open link follow its adapter: after an unplug the adapter may come back under another
// system name, and the link reopens the device with the same identity (USB serial number, or
// by-id link) wherever it is then. COMn (portNumber, 1 to 8) is bound to it again where the
// system allows, so the rest of the program goes on with the same COMn; with portNumber 0 the
// link takes the new device path itself. A device without an identity is left as it is: the
// link then waits for its old path. system must outlive the link. Gives the opened device as the
// system lists it (its device path, USB serial number), empty when it is not listed.
PortEntry FollowSameDevice(SerialPortLink& link, PortSystem& system, int portNumber);
