#pragma once

#include <QSerialPort>
#include <QString>

// Why a port that exists cannot be used, in terms a user can act on.
struct PortProblem {
    enum class Kind {
        None,
        Missing, // no device under that name (cable out, wrong name)
        Permission, // the user may not open the device file
        Busy, // another program holds the port
        BrailleService, // the braille-display service has taken a USB-serial adapter
        LineSettings, // the device refuses 28800 baud, 8N1
        Other,
    };
    Kind kind = Kind::None;
    QString group; // Permission: the group that owns the device
    QString holder; // Busy: the program that holds it, when known
    QString detail; // Other: the system's own words

    bool isProblem() const { return kind != Kind::None; }
};

// Tells a failed open apart. accessAllowed: the device file lets this user read and write it;
// brailleService: the braille-display service runs; usbSerial: the device is a USB-serial
// adapter (the kind that service takes).
PortProblem::Kind ClassifyOpenFailure(QSerialPort::SerialPortError error, bool exists,
    bool accessAllowed, bool brailleService, bool usbSerial);

// Whole sentences for a message: what is wrong with devicePath and what to do about it.
QString PortProblemText(const PortProblem& problem, const QString& devicePath);

// A few words for a row of the port list ("no permission", "in use").
QString PortProblemBrief(const PortProblem& problem);
