#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The meter's end of a pseudo-terminal, published as a COMn link. The meter keeps a handle on
// the slave side too, so the program's closes and reopens never leave the master hung up.
class PtyPort
{
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // "<runtime folder>/nimbrel", created if missing; empty with a message when it cannot be.
    static QString linkFolder(QString* error);

    // Opens a new pseudo-terminal in raw mode. False with a message on failure.
    bool open(QString* error);
    // Points `linkPath` at the slave device, replacing an old link (never another kind of file).
    // A port may be published under several links (its COMn and a stable by-id name).
    bool publish(const QString& linkPath, QString* error);
    // Closes both handles and removes the links that still point at this device.
    void close();

    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    const QString& devicePath() const { return m_device; }
    QString linkPath() const { return m_links.value(0); }

    // Writes what the line takes now; returns the count written (0 when full, -1 on error).
    int write(const QByteArray& bytes);
    // Everything the program has sent so far; false on a read error other than "nothing yet".
    bool readAvailable(QByteArray* bytes);
    // Bytes sent to the program that it has not read yet, and dropping them.
    int unreadByProgram() const;
    void dropUnreadByProgram();

private:
    void removeLinks();

    int m_master = -1;
    int m_slave = -1;
    QString m_device;
    QStringList m_links;
};
