#include "portdiagnosis.h"

#include "portlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace
{
#ifdef Q_OS_LINUX
bool BrailleServiceRuns()
{
    const QStringList pids
        = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        if (pid.isEmpty() || !pid.at(0).isDigit())
            continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "brltty")
            return true;
    }
    return false;
}
#endif
} // namespace

PortProblem DiagnoseOpenFailure(
    const QString& devicePath, QSerialPort::SerialPortError error, const QString& errorText)
{
    PortProblem problem;
#ifdef Q_OS_UNIX
    const QFileInfo info(devicePath);
    const QString canonical = info.canonicalFilePath();
    const QByteArray file = QFile::encodeName(canonical.isEmpty() ? devicePath : canonical);
    const bool exists = info.exists();
    const bool access = exists && ::access(file.constData(), R_OK | W_OK) == 0;
    const QString base = QFileInfo(canonical).fileName();
    const bool usbSerial
        = base.startsWith(QStringLiteral("ttyUSB")) || base.startsWith(QStringLiteral("ttyACM"));
#ifdef Q_OS_LINUX
    const bool braille
        = usbSerial && access && error != QSerialPort::DeviceNotFoundError && BrailleServiceRuns();
#else
    const bool braille = false;
#endif
    problem.kind = ClassifyOpenFailure(error, exists, access, braille, usbSerial);
    if (problem.kind == PortProblem::Kind::Permission)
        problem.group = QFileInfo(canonical).group();
#ifdef Q_OS_LINUX
    if (problem.kind == PortProblem::Kind::Busy) {
        if (const std::optional<PortLock> lock = FindPortLock(devicePath))
            problem.holder = PortLockHolderText(*lock);
    }
#endif
#else
    // Windows reports a port that another program holds as access denied.
    problem.kind = ClassifyOpenFailure(error, true, true, false, false);
#endif
    if (problem.kind == PortProblem::Kind::Other)
        problem.detail = errorText;
    return problem;
}

bool IsPseudoTerminal(const QString& devicePath)
{
#ifdef Q_OS_UNIX
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    if (canonical.startsWith(QStringLiteral("/dev/pts/")))
        return true;
#ifdef Q_OS_LINUX
    // Pseudo-terminal slaves have the major numbers 136 to 143 wherever devpts is mounted.
    struct stat st {
    };
    if (::stat(QFile::encodeName(canonical).constData(), &st) == 0 && S_ISCHR(st.st_mode))
        return major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
#endif
    return canonical.startsWith(QStringLiteral("/dev/ttys"));
#else
    Q_UNUSED(devicePath);
    return false;
#endif
}

bool KeepPortAfterRefusedSetting(QSerialPort::SerialPortError error, bool pseudoTerminal)
{
    return pseudoTerminal && error == QSerialPort::UnsupportedOperationError;
}
