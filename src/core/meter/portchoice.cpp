#include "portchoice.h"

int PortNumberFromText(const QString& text)
{
    for (int n = 1; n <= 8; ++n) {
        if (text == PortText(n))
            return n;
    }
    return 0;
}

QString PortText(int portNumber)
{
    return QStringLiteral("COM") + QString::number(portNumber);
}

int LowestFreeComNumber(const std::function<bool(int)>& reachesDevice)
{
    for (int n = 1; n <= 8; ++n) {
        if (!reachesDevice(n))
            return n;
    }
    return 0;
}
