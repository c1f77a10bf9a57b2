#include "portproblem.h"

PortProblem::Kind ClassifyOpenFailure(QSerialPort::SerialPortError error, bool exists,
    bool accessAllowed, bool brailleService, bool usbSerial)
{
    using Kind = PortProblem::Kind;
    if (error == QSerialPort::NoError)
        return Kind::None;
    if (!exists || error == QSerialPort::DeviceNotFoundError)
        return Kind::Missing;
    if (!accessAllowed)
        return Kind::Permission;
    switch (error) {
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
    case QSerialPort::ResourceError:
        // The file lets us in, yet the open is refused: someone holds the port. A USB-serial
        // adapter held while the braille-display service runs is most likely held by it.
        return brailleService && usbSerial ? Kind::BrailleService : Kind::Busy;
    case QSerialPort::UnsupportedOperationError:
        return Kind::LineSettings;
    default:
        return Kind::Other;
    }
}

QString PortProblemText(const PortProblem& problem, const QString& devicePath)
{
    using Kind = PortProblem::Kind;
    switch (problem.kind) {
    case Kind::None:
        return QString();
    case Kind::Missing:
        return QStringLiteral("%1 is not there: plug the meter's cable in, or choose another port.")
            .arg(devicePath);
    case Kind::Permission:
        if (problem.group.isEmpty())
            return QStringLiteral("You may not open %1: ask the administrator for read and write "
                                  "access to it.")
                .arg(devicePath);
        return QStringLiteral("You may not open %1: it belongs to the group \"%2\". Join the group "
                              "with\n    sudo usermod -aG %2 $USER\nthen log out and log in again.")
            .arg(devicePath, problem.group);
    case Kind::Busy:
        if (problem.holder.isEmpty())
            return QStringLiteral("%1 is in use by another program: close it and try again.")
                .arg(devicePath);
        return QStringLiteral("%1 is in use by another program (%2): close it and try again.")
            .arg(devicePath, problem.holder);
    case Kind::BrailleService:
        return QStringLiteral(
            "%1 is held by the braille-display service (brltty), which takes many USB-serial "
            "adapters. If you use no braille display, remove it\n    sudo apt remove brltty\nor "
            "mask it\n    sudo systemctl mask brltty.path brltty-udev.service\nthen unplug the "
            "adapter and plug it in again.")
            .arg(devicePath);
    case Kind::LineSettings:
        return QStringLiteral("%1 refuses 28800 baud, 8 data bits, no parity, 1 stop bit: it "
                              "cannot be used for the meter.")
            .arg(devicePath);
    case Kind::Other:
        return QStringLiteral("%1 cannot be opened: %2.").arg(devicePath, problem.detail);
    }
    return QString();
}

QString PortProblemBrief(const PortProblem& problem)
{
    using Kind = PortProblem::Kind;
    switch (problem.kind) {
    case Kind::None:
        return QString();
    case Kind::Missing:
        return QStringLiteral("gone");
    case Kind::Permission:
        return QStringLiteral("no permission");
    case Kind::Busy:
        return QStringLiteral("in use");
    case Kind::BrailleService:
        return QStringLiteral("taken by brltty");
    case Kind::LineSettings:
        return QStringLiteral("refuses 28800 8N1");
    case Kind::Other:
        return QStringLiteral("cannot open");
    }
    return QString();
}
