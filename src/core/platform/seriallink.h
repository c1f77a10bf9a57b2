#pragma once

#include "portproblem.h"

#include <QByteArray>
#include <QObject>

// The byte stream to and from the meter. The acquisition cycle and the logger download only
// ever ask how many bytes wait, take all of them, or send a few.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialLink() override = default;

    // Opens the port with the meter's line settings: its baud rate, 8 data bits, no parity, 1
    // stop bit, no flow control.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    virtual qint64 write(const QByteArray& bytes) = 0;
    // Why the last open() failed, in words a user can act on.
    virtual PortProblem openProblem() const { return {}; }

Q_SIGNALS:
    void readyRead();
    // The device went away (cable pulled); the link keeps trying to come back.
    void linkLost();
    void linkRestored();
};
