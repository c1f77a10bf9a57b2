#include "portdevice.h"

#include <QDir>
#include <QFileInfo>

QString PortDevicePath(int portNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    const QString link = PortLinkFolder() + QStringLiteral("/COM%1").arg(portNumber);
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link))
        return link;
    const int index = portNumber - 1;
    for (const char* prefix : { "/dev/ttyUSB", "/dev/ttyACM", "/dev/ttyS" }) {
        const QString device = QString::fromLatin1(prefix) + QString::number(index);
        if (QFileInfo::exists(device))
            return device;
    }
    return link;
#endif
}

QString PortDeviceHint(int portNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    const QString path = PortDevicePath(portNumber);
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (QFileInfo::exists(target))
            return target;
        return QStringLiteral("no device (%1 is a broken link)").arg(path);
    }
    if (info.exists())
        return path;
    return QStringLiteral("no device");
#endif
}
