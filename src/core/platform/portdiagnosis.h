#pragma once

#include "portproblem.h"

#include <QSerialPort>
#include <QString>

// Why opening devicePath failed with error: a missing device, a group the user lacks, another
// program (named when its lock file says which), the braille-display service, or the system's
// own words.
PortProblem DiagnoseOpenFailure(
    const QString& devicePath, QSerialPort::SerialPortError error, const QString& errorText);

// Whether devicePath leads to a pseudo-terminal (a virtual meter), which takes no line settings
// of its own.
bool IsPseudoTerminal(const QString& devicePath);

// Whether a port whose line settings were refused with error may still be used: only a
// pseudo-terminal, which carries bytes whatever the settings; a real device would stay open
// at a speed the meter does not talk.
bool KeepPortAfterRefusedSetting(QSerialPort::SerialPortError error, bool pseudoTerminal);
