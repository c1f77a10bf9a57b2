#pragma once

#include "platform/portsystem.h"
#include "support/fakes.h"

#include <QHash>
#include <QPointer>
#include <QSet>

// Ports the test lists by hand. Each link() is a FakeSerialLink the test can reach by device
// path to feed it bytes or pull it away; refused paths fail to open with their problem.
class FakePortSystem final : public PortSystem
{
public:
    QList<PortEntry> ports() override { return entries; }
    std::unique_ptr<SerialLink> link(const QString& devicePath, Clock& clock) override;
    bool comReachesDevice(int comNumber) override { return reached.contains(comNumber); }
    bool bind(int comNumber, const QString& target) override;

    // The link last made on devicePath, while it lives.
    FakeSerialLink* opened(const QString& devicePath) const { return links.value(devicePath); }

    QList<PortEntry> entries;
    QHash<QString, PortProblem> refused;
    QSet<int> reached;
    QHash<int, QString> bound;
    bool bindRefused = false;
    int linksMade = 0;

private:
    QHash<QString, QPointer<FakeSerialLink>> links;
};

// A listed port: its name, device path, COMn and USB serial number.
PortEntry FakePort(const QString& name, int comNumber = 0, const QString& serialNumber = QString(),
    const QString& byIdPath = QString());
