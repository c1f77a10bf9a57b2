#include "portargument.h"

#include "meter/portchoice.h"
#include "platform/portdevice.h"

#include <QRegularExpression>

QString PortArgument::devicePath() const
{
    return comNumber > 0 ? PortDevicePath(comNumber) : device;
}

QString PortArgument::label() const
{
    if (comNumber == 0)
        return device;
    return PortText(comNumber) + QStringLiteral(" (") + devicePath() + QLatin1Char(')');
}

bool ReadPortArgument(const QString& text, PortArgument* port, QString* error)
{
    static const QRegularExpression com(
        QStringLiteral("^COM(\\d+)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(text);
    if (match.hasMatch()) {
        const int number = PortNumberFromText(QStringLiteral("COM") + match.captured(1));
        if (number == 0) {
            *error = QStringLiteral("--port: %1 is not one of COM1 to COM8").arg(text);
            return false;
        }
        *port = PortArgument { number, QString() };
        return true;
    }
    if (!text.contains(QLatin1Char('/'))) {
        *error = QStringLiteral("--port wants COM1 to COM8 or a device path such as /dev/ttyUSB0, "
                                "not \"%1\"")
                     .arg(text);
        return false;
    }
    *port = PortArgument { 0, text };
    return true;
}
