#include "portlock.h"

#include "portdevice.h"
#include "systemports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <signal.h>
#endif

namespace
{

bool ProcessRuns(qint64 pid)
{
#ifdef Q_OS_UNIX
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#else
    Q_UNUSED(pid);
    return false;
#endif
}

// The program of a running process by its name in /proc, else as the lock file names it (Qt
// writes the program's name on the second line).
QString ProgramOf(qint64 pid, const QList<QByteArray>& lockLines)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (comm.open(QIODevice::ReadOnly)) {
        const QByteArray name = comm.readAll().trimmed();
        if (!name.isEmpty())
            return QString::fromLocal8Bit(name);
    }
    return lockLines.size() > 1 ? QString::fromLocal8Bit(lockLines.at(1).trimmed()) : QString();
}

} // namespace

QString PortLockFileName(const QString& path)
{
    QString name = path.startsWith(QStringLiteral("/dev/")) ? path.mid(5) : path;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

QStringList PortAliases(const QString& devicePath, const QStringList& linkFolders)
{
    QStringList names { devicePath };
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    if (device.isEmpty())
        return names;
    if (!names.contains(device))
        names.append(device);
    for (const QString& folder : linkFolders) {
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo& entry : entries) {
            if (entry.isSymLink() && entry.canonicalFilePath() == device
                && !names.contains(entry.absoluteFilePath()))
                names.append(entry.absoluteFilePath());
        }
    }
    return names;
}

std::optional<PortLock> FindPortLock(
    const QString& devicePath, const QStringList& linkFolders, const QStringList& lockFolders)
{
    const qint64 self = QCoreApplication::applicationPid();
    for (const QString& name : PortAliases(devicePath, linkFolders)) {
        const QString lockName = PortLockFileName(name);
        for (const QString& folder : lockFolders) {
            QFile lock(folder + QLatin1Char('/') + lockName);
            if (!lock.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> lines = lock.read(4096).split('\n');
            bool ok = false;
            const qint64 pid = lines.value(0).trimmed().toLongLong(&ok);
            if (!ok || pid == self || !ProcessRuns(pid))
                continue;
            return PortLock { pid, ProgramOf(pid, lines) };
        }
    }
    return std::nullopt;
}

std::optional<PortLock> FindPortLock(const QString& devicePath)
{
#ifdef Q_OS_UNIX
    static const QStringList lockFolders { QStringLiteral("/var/lock"), QStringLiteral("/run/lock"),
        QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"), QStringLiteral("/tmp"), QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev") };
    return FindPortLock(devicePath,
        { PortLinkFolder(), PortByIdFolder(), QStringLiteral("/dev/serial/by-id"),
            QStringLiteral("/dev/serial/by-path") },
        lockFolders);
#else
    Q_UNUSED(devicePath);
    return std::nullopt;
#endif
}

QString PortLockHolderText(const PortLock& lock)
{
    if (lock.program.isEmpty())
        return QStringLiteral("process %1").arg(lock.pid);
    return QStringLiteral("%1, process %2").arg(lock.program).arg(lock.pid);
}
