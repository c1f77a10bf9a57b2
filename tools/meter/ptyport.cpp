#include "ptyport.h"

#include "platform/portlinkfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace
{

QString errnoText(const char* what)
{
    return QStringLiteral("%1: %2").arg(
        QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyPort::~PtyPort()
{
    close();
}

QString PtyPort::linkFolder(QString* error)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        if (error)
            *error = QStringLiteral("no runtime folder");
        return QString();
    }
    const QString folder = PortLinkFolderIn(runtime);
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = errnoText(native.constData());
        return QString();
    }
    struct stat info {
    };
    if (::stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (error)
            *error = QStringLiteral("%1 is not a folder").arg(folder);
        return QString();
    }
    return folder;
}

bool PtyPort::open(QString* error)
{
    close();
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        *error = errnoText("posix_openpt");
        return false;
    }
    char name[256] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0
        || ::ptsname_r(master, name, sizeof name) != 0) {
        *error = errnoText("grantpt/unlockpt/ptsname");
        ::close(master);
        return false;
    }
    termios settings {};
    if (::tcgetattr(master, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(master, TCSANOW, &settings);
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        *error = errnoText(name);
        ::close(master);
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_device = QString::fromLocal8Bit(name);
    return true;
}

bool PtyPort::publish(const QString& linkPath, QString* error)
{
    const QByteArray link = QFile::encodeName(linkPath);
    struct stat info {
    };
    if (::lstat(link.constData(), &info) == 0 && !S_ISLNK(info.st_mode)) {
        *error = QStringLiteral("%1 exists and is not a link; not replacing it").arg(linkPath);
        return false;
    }
    // Make the new link beside the old one and rename it over, so the name never dangles.
    const QByteArray temporary = link + ".new." + QByteArray::number(qint64(::getpid()));
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(m_device).constData(), temporary.constData()) != 0) {
        *error = errnoText(temporary.constData());
        return false;
    }
    if (::rename(temporary.constData(), link.constData()) != 0) {
        *error = errnoText(link.constData());
        ::unlink(temporary.constData());
        return false;
    }
    m_links.append(linkPath);
    return true;
}

namespace
{

// Where the link at path points, as written in it; empty when path is no link.
QString LinkTarget(const QString& path)
{
    char target[4096] = {};
    const ssize_t length
        = ::readlink(QFile::encodeName(path).constData(), target, sizeof target - 1);
    return length > 0 ? QFile::decodeName(QByteArray(target, int(length))) : QString();
}

} // namespace

void PtyPort::removeLinks()
{
    if (m_device.isEmpty()) {
        m_links.clear();
        return;
    }
    // Links that others made to this port beside its own (Nimbrel points COMn at the stable
    // by-id name when the meter comes back under another COMn) would dangle once it is gone, or
    // lead to whatever terminal gets the device next: they go first.
    const QString device = QFileInfo(m_device).canonicalFilePath();
    QStringList folders;
    for (const QString& path : std::as_const(m_links)) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    for (const QString& folder : std::as_const(folders)) {
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo& entry : entries) {
            const QString path = entry.absoluteFilePath();
            if (!entry.isSymLink() || m_links.contains(path))
                continue;
            const QString target = LinkTarget(path);
            if (target == m_device || m_links.contains(target)
                || entry.canonicalFilePath() == device)
                ::unlink(QFile::encodeName(path).constData());
        }
    }
    for (const QString& path : std::as_const(m_links)) {
        // Another meter may have taken the name over since; its link stays.
        if (LinkTarget(path) == m_device)
            ::unlink(QFile::encodeName(path).constData());
    }
    m_links.clear();
}

void PtyPort::close()
{
    removeLinks();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
    m_device.clear();
}

int PtyPort::write(const QByteArray& bytes)
{
    if (m_master < 0)
        return -1;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        return done > 0 ? int(done) : -1;
    }
    return int(done);
}

bool PtyPort::readAvailable(QByteArray* bytes)
{
    if (m_master < 0)
        return false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            bytes->append(buffer, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        return false;
    }
}

int PtyPort::unreadByProgram() const
{
    int waiting = 0;
    if (m_slave < 0 || ::ioctl(m_slave, FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

void PtyPort::dropUnreadByProgram()
{
    if (m_slave >= 0)
        ::tcflush(m_slave, TCIFLUSH);
}
