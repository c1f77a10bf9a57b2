#include "meterport.h"

#include "meter/protocol.h"
#include "platform/serialportlink.h"

std::unique_ptr<SerialPortLink> OpenMeterPort(
    const PortArgument& port, Clock& clock, QString* reason)
{
    auto link = std::make_unique<SerialPortLink>(
        [port] { return port.devicePath(); }, kMeterBaudRate, clock);
    if (link->open())
        return link;
    *reason = PortProblemText(link->openProblem(), port.label());
    if (reason->isEmpty())
        *reason = QStringLiteral("%1 cannot be opened.").arg(port.label());
    return nullptr;
}
