#pragma once

#include "portargument.h"

#include <QString>

#include <memory>

class Clock;
class SerialPortLink;

// Opens the meter's port as the program does (28800 baud, 8N1, reopened every second after an
// unplug). Null when it cannot be used, with the reason in the port window's words (missing,
// the group to join, the program that holds it, the braille-display service) in reason.
std::unique_ptr<SerialPortLink> OpenMeterPort(
    const PortArgument& port, Clock& clock, QString* reason);
