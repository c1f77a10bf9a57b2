#include "serialportlink.h"

#include "clock.h"
#include "portdiagnosis.h"
#include "portlock.h"

#include <QTimer>

namespace
{
constexpr int kReopenIntervalMs = 1000;
}

SerialPortLink::SerialPortLink(
    std::function<QString()> device, qint32 baudRate, Clock& clock, QObject* parent)
    : SerialLink(parent)
    , m_device(std::move(device))
    , m_baudRate(baudRate)
{
    m_reopenTimer = clock.createTimer(this);
    m_reopenTimer->setInterval(kReopenIntervalMs);
    connect(m_reopenTimer, &Timer::timeout, this, &SerialPortLink::tryReopen);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortLink::handleError);
}

SerialPortLink::~SerialPortLink()
{
    m_closing = true;
    m_port.close();
}

bool SerialPortLink::openPort()
{
    if (m_port.isOpen())
        m_port.close();
    m_problem = {};
    m_port.setPortName(m_portName);
    // Qt locks only the name it opens: another program that holds the same device under
    // another name (its COMn link, its device path) would share the bytes with us.
    if (const std::optional<PortLock> lock = FindPortLock(m_portName)) {
        m_problem.kind = PortProblem::Kind::Busy;
        m_problem.holder = PortLockHolderText(*lock);
        return false;
    }
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_problem = DiagnoseOpenFailure(m_portName, m_port.error(), m_port.errorString());
        return false;
    }
    const bool settled = m_port.setBaudRate(m_baudRate) && m_port.setDataBits(QSerialPort::Data8)
        && m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop)
        && m_port.setFlowControl(QSerialPort::NoFlowControl);
    // A pseudo-terminal may refuse a line setting and still carry every byte; a real device
    // that refuses one would talk at the wrong speed, its readings frozen: it cannot be used.
    if (!settled && !KeepPortAfterRefusedSetting(m_port.error(), IsPseudoTerminal(m_portName))) {
        m_problem.kind = PortProblem::Kind::LineSettings;
        m_port.close();
        return false;
    }
    m_port.clearError();
    return true;
}

bool SerialPortLink::open()
{
    m_lost = false;
    m_reopenTimer->stop();
    m_portName = m_device();
    return openPort();
}

void SerialPortLink::close()
{
    m_closing = true;
    m_reopenTimer->stop();
    m_port.close();
    m_closing = false;
    m_lost = false;
}

bool SerialPortLink::isOpen() const
{
    return m_port.isOpen();
}

qint64 SerialPortLink::bytesAvailable() const
{
    return m_port.isOpen() ? m_port.bytesAvailable() : 0;
}

QByteArray SerialPortLink::readAll()
{
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

qint64 SerialPortLink::write(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return -1;
    const qint64 written = m_port.write(bytes);
    // Out at once rather than on the next turn of the event loop: during a logger download the
    // meter sends each piece only once it has the space that asks for it.
    m_port.flush();
    return written;
}

void SerialPortLink::handleError(QSerialPort::SerialPortError error)
{
    if (m_closing || m_lost)
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // The port keeps reporting the same error at full speed while it stays open: note the loss
    // once and close it from a queued call, outside Qt's own notifier.
    m_lost = true;
    QTimer::singleShot(0, this, &SerialPortLink::dropLostPort);
}

void SerialPortLink::dropLostPort()
{
    m_closing = true;
    m_port.close();
    m_closing = false;
    m_reopenTimer->start();
    Q_EMIT linkLost();
}

void SerialPortLink::tryReopen()
{
    m_closing = true;
    bool opened = openPort();
    if (!opened && m_findSameDevice) {
        // The same adapter may be back under another system name.
        const QString elsewhere = m_findSameDevice();
        if (!elsewhere.isEmpty()) {
            m_portName = elsewhere;
            opened = openPort();
        }
    }
    m_closing = false;
    if (!opened)
        return;
    m_lost = false;
    m_reopenTimer->stop();
    Q_EMIT linkRestored();
    if (m_port.bytesAvailable() > 0)
        Q_EMIT readyRead();
}
