#include "meterlistening.h"

#include "meter/portchoice.h"
#include "meter/portlisttext.h"

#include <QStringList>

HeardMeter ChooseHeardMeter(const QList<FoundPort>& ports)
{
    HeardMeter heard;
    QStringList meters;
    for (const FoundPort& port : ports) {
        if (port.state != FoundPort::State::Meter)
            continue;
        const PortEntry& entry = port.entry;
        meters.append(entry.comNumber > 0 ? PortText(entry.comNumber) : entry.devicePath);
        heard.port
            = PortArgument { entry.comNumber, entry.comNumber > 0 ? QString() : entry.devicePath };
    }
    if (meters.size() == 1) {
        heard.found = true;
        return heard;
    }
    heard.port = PortArgument {};
    heard.message = meters.isEmpty()
        ? QStringLiteral("no meter heard on any serial port (is it on, and its cable in?); "
                         "name its port with --port")
        : QStringLiteral("meters heard on %1 ports (%2): choose one with --port")
              .arg(QString::number(meters.size()), meters.join(QStringLiteral(", ")));
    heard.message += QStringLiteral("\n") + PortListReport(ports).trimmed();
    return heard;
}

MeterListening::MeterListening(PortSystem& system, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_finder(new PortFinder(system, clock, this))
{
    connect(m_finder, &PortFinder::listeningDone, this, &MeterListening::conclude);
}

void MeterListening::start()
{
    m_finder->start();
    if (!m_finder->isListening())
        conclude();
}

void MeterListening::conclude()
{
    if (m_done)
        return;
    m_done = true;
    // Every port it opened is closed before the chosen one is opened again.
    m_finder->stop();
    Q_EMIT done(ChooseHeardMeter(m_finder->ports()));
}
