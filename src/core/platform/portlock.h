#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A serial port that another program holds. Qt, like most serial programs, locks a port it opens
// with the file LCK..<name> in a lock folder (/var/lock on most systems), <name> being the path
// it opened less a leading "/dev/", each '/' made '_'; the file's first line is the holder's
// process id. A port opened under two names (its device and a COMn link) gets two locks, so
// each name that reaches the device is looked at.
struct PortLock {
    qint64 pid = 0;
    QString program; // empty when it cannot be told
};

// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK.._run_user_1000_nimbrel_COM2" for that link.
QString PortLockFileName(const QString& path);

// The names that reach the device devicePath leads to: devicePath itself, the device's own path
// and every link in linkFolders that leads to it.
QStringList PortAliases(const QString& devicePath, const QStringList& linkFolders);

// A lock in lockFolders that a running process other than this one holds on any of those
// names. A lock whose process has gone counts as none, as Qt clears such a lock itself.
std::optional<PortLock> FindPortLock(
    const QString& devicePath, const QStringList& linkFolders, const QStringList& lockFolders);
// The same with the system's folders: the COMn link folder, the by-id folders, and the lock
// folders Qt may use.
std::optional<PortLock> FindPortLock(const QString& devicePath);

// "nimbrel, process 4711", or "process 4711" when the program is not known.
QString PortLockHolderText(const PortLock& lock);
