#include "systemports.h"

#include "portdevice.h"
#include "serialportlink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace
{
QString Canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

// Canonical device path -> the by-id link that leads to it.
QHash<QString, QString> ByIdLinks()
{
    QHash<QString, QString> links;
    for (const QString& folder : { QStringLiteral("/dev/serial/by-id"), PortByIdFolder() }) {
        const QFileInfoList entries = QDir(folder).entryInfoList(QDir::System | QDir::Files);
        for (const QFileInfo& entry : entries) {
            const QString target = Canonical(entry.filePath());
            if (!target.isEmpty() && !links.contains(target))
                links.insert(target, entry.filePath());
        }
    }
    return links;
}

int ComNumberReaching(const QString& devicePath)
{
#ifdef Q_OS_WIN
    const QString name = devicePath.toUpper();
    for (int n = 1; n <= 8; ++n) {
        if (name == QStringLiteral("COM%1").arg(n))
            return n;
    }
    return 0;
#else
    const QString canonical = Canonical(devicePath);
    if (canonical.isEmpty())
        return 0;
    for (int n = 1; n <= 8; ++n) {
        if (Canonical(PortDevicePath(n)) == canonical)
            return n;
    }
    return 0;
#endif
}
} // namespace

QString PortByIdFolder()
{
    return PortByIdFolderIn(PortLinkFolder());
}

QList<PortEntry> SystemPorts::ports()
{
    QList<PortEntry> list;
    const QHash<QString, QString> byId = ByIdLinks();
    QStringList seen;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        PortEntry e;
        e.name = info.portName();
        e.devicePath = info.systemLocation();
        e.description = info.description();
        e.manufacturer = info.manufacturer();
        e.serialNumber = info.serialNumber();
        e.hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        e.vendorId = info.vendorIdentifier();
        e.productId = info.productIdentifier();
        const QString canonical = Canonical(e.devicePath);
        e.byIdPath = byId.value(canonical);
        e.comNumber = ComNumberReaching(e.devicePath);
        seen.append(canonical.isEmpty() ? e.devicePath : canonical);
        list.append(e);
    }
#ifndef Q_OS_WIN
    // Virtual meters (and whatever else a COMn link leads to that Qt does not list).
    for (int n = 1; n <= 8; ++n) {
        const QString link = PortLinkFolder() + QStringLiteral("/COM%1").arg(n);
        const QString target = Canonical(link);
        if (!QFileInfo(link).isSymLink() || target.isEmpty() || seen.contains(target))
            continue;
        seen.append(target);
        PortEntry e;
        e.name = target.startsWith(QStringLiteral("/dev/")) ? target.mid(5) : target;
        e.devicePath = target;
        e.virtualMeter = true;
        e.description = QStringLiteral("virtual meter");
        e.byIdPath = byId.value(target);
        e.comNumber = n;
        list.append(e);
    }
#endif
    std::stable_sort(list.begin(), list.end(), [](const PortEntry& a, const PortEntry& b) {
        const int ka = a.comNumber == 0 ? 9 : a.comNumber;
        const int kb = b.comNumber == 0 ? 9 : b.comNumber;
        if (ka != kb)
            return ka < kb;
        return a.name < b.name;
    });
    return list;
}

std::unique_ptr<SerialLink> SystemPorts::link(const QString& devicePath, Clock& clock)
{
    return std::make_unique<SerialPortLink>([devicePath] { return devicePath; }, m_baudRate, clock);
}

bool SystemPorts::comReachesDevice(int comNumber)
{
#ifdef Q_OS_WIN
    return QSerialPortInfo(QStringLiteral("COM%1").arg(comNumber)).isNull() == false;
#else
    return QFileInfo::exists(PortDevicePath(comNumber));
#endif
}

bool SystemPorts::bind(int comNumber, const QString& target)
{
#ifdef Q_OS_WIN
    Q_UNUSED(comNumber);
    Q_UNUSED(target);
    return false;
#else
    if (comNumber < 1 || comNumber > 8 || !QDir().mkpath(PortLinkFolder()))
        return false;
    const QString link = PortLinkFolder() + QStringLiteral("/COM%1").arg(comNumber);
    const QFileInfo old(link);
    if (old.exists() && !old.isSymLink())
        return false; // not ours to replace
    // A new link beside the old one, renamed over it: the name never dangles.
    const QString temporary = link + QStringLiteral(".new.%1").arg(qint64(::getpid()));
    QFile::remove(temporary);
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(temporary).constData())
        != 0)
        return false;
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(link).constData())
        != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
#endif
}
