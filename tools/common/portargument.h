#pragma once

#include <QString>

// The port a program without windows talks to the meter on: COM1 to COM8, mapped to a device as
// the program maps them (the COMn link folder, then the usual serial devices), or a device path.
struct PortArgument {
    int comNumber = 0; // 1 to 8; 0 for a device given by its path
    QString device; // the device path, when comNumber is 0

    // The device to open now: COMn is looked up each time, so a link that is pointed at the
    // meter again (after an unplug) is followed.
    QString devicePath() const;
    // How messages name it: "COM3 (/dev/ttyUSB2)", or the device path.
    QString label() const;
};

// Reads the value of --port: "COM1" to "COM8" (in any case) or a device path (a text with a
// "/"). False with the reason for anything else.
bool ReadPortArgument(const QString& text, PortArgument* port, QString* error);
