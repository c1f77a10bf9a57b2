#pragma once

#include "seriallink.h"

#include <QSerialPort>
#include <QString>

#include <functional>

class Clock;
class Timer;

// The meter's serial port. When the device reports a read or resource error (a USB cable
// pulled, the far end of a pseudo-terminal gone) the port is closed and reopened every second
// until the device is back, under its old path or wherever setFindSameDevice() finds it.
class SerialPortLink final : public SerialLink
{
    Q_OBJECT
public:
    // device() is asked when the port is opened; reopening after a loss uses the same path, so a
    // COMn link that the device comes back under is followed, and nothing else is tried. The
    // port runs at baudRate, 8 data bits, no parity, 1 stop bit, no flow control.
    SerialPortLink(
        std::function<QString()> device, qint32 baudRate, Clock& clock, QObject* parent = nullptr);
    ~SerialPortLink() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    qint64 write(const QByteArray& bytes) override;
    PortProblem openProblem() const override { return m_problem; }

    // Asked when the port cannot be reopened after a loss: the path under which the same device
    // is back now, or an empty text. Reopening then goes on with that path.
    void setFindSameDevice(std::function<QString()> find) { m_findSameDevice = std::move(find); }
    QString portName() const { return m_portName; }

private:
    void handleError(QSerialPort::SerialPortError error);
    void dropLostPort();
    void tryReopen();
    bool openPort();

    std::function<QString()> m_device;
    std::function<QString()> m_findSameDevice;
    PortProblem m_problem;
    qint32 m_baudRate = 0;
    QString m_portName;
    QSerialPort m_port;
    Timer* m_reopenTimer = nullptr;
    bool m_lost = false;
    bool m_closing = false;
};
