#include "portlisttext.h"

#include "portchoice.h"

QStringList PortListHeadings()
{
    return { QStringLiteral("COM"), QStringLiteral("Port"), QStringLiteral("Description"),
        QStringLiteral("Maker"), QStringLiteral("Serial number"), QStringLiteral("USB ids"),
        QStringLiteral("Found") };
}

QStringList PortListCells(const FoundPort& port)
{
    const PortEntry& e = port.entry;
    QString found;
    switch (port.state) {
    case FoundPort::State::Listening:
        found = QStringLiteral("listening");
        break;
    case FoundPort::State::Meter:
        found = QStringLiteral("meter");
        break;
    case FoundPort::State::NoMeter:
        break;
    case FoundPort::State::Unusable:
        found = PortProblemBrief(port.problem);
        break;
    }
    const QString ids = e.hasIds ? QStringLiteral("%1:%2")
                                       .arg(e.vendorId, 4, 16, QLatin1Char('0'))
                                       .arg(e.productId, 4, 16, QLatin1Char('0'))
                                 : QString();
    return { e.comNumber > 0 ? PortText(e.comNumber) : QString(), e.name, e.description,
        e.manufacturer, e.serialNumber, ids, found };
}

QString PortListReport(const QList<FoundPort>& ports)
{
    QString text = PortListHeadings().join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const FoundPort& port : ports) {
        text += PortListCells(port).join(QLatin1Char('\t')) + QLatin1Char('\n');
        if (port.state == FoundPort::State::Unusable)
            text += QStringLiteral("\t")
                + PortProblemText(port.problem, port.entry.devicePath)
                      .replace(QLatin1Char('\n'), QLatin1Char(' '))
                + QLatin1Char('\n');
    }
    if (ports.isEmpty())
        text += QStringLiteral("No serial ports found.\n");
    return text;
}
