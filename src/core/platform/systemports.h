#pragma once

#include "portsystem.h"

// The ports Qt finds on this computer (QSerialPortInfo), plus the virtual meters published in
// the COMn link folder; stable by-id links from /dev/serial/by-id and from the link folder's
// by-id folder; COMn bound through the link folder (on Windows COMn is the system's own name).
class SystemPorts final : public PortSystem
{
public:
    // The links it opens run at baudRate.
    explicit SystemPorts(qint32 baudRate)
        : m_baudRate(baudRate)
    {
    }
    QList<PortEntry> ports() override;
    std::unique_ptr<SerialLink> link(const QString& devicePath, Clock& clock) override;
    bool comReachesDevice(int comNumber) override;
    bool bind(int comNumber, const QString& target) override;

private:
    qint32 m_baudRate;
};

// The folder under the link folder where virtual meters publish their stable by-id links.
QString PortByIdFolder();
