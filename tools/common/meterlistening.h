#pragma once

#include "meter/portfinder.h"
#include "portargument.h"

#include <QList>
#include <QObject>
#include <QString>

class Clock;
class PortSystem;

// What listening to the ports decided: the port of the one meter heard, or why none is taken.
struct HeardMeter {
    bool found = false;
    PortArgument port; // found: its COMn when one reaches it, else its device
    QString message; // not found: what was heard, with the list of the ports
};

// The meter to take from what listening found: the one port marked "meter". With none, or with
// several, nothing is taken and the message lists every port and what was found on it.
HeardMeter ChooseHeardMeter(const QList<FoundPort>& ports);

// Listens to every serial port for a meter, as the port window does (nothing sent, at most
// PortFinder::kListenMs), then reports done() once with the choice. done() may come from
// start() itself when there is no port to listen to.
class MeterListening final : public QObject
{
    Q_OBJECT
public:
    MeterListening(PortSystem& system, Clock& clock, QObject* parent = nullptr);
    void start();

Q_SIGNALS:
    void done(const HeardMeter& heard);

private:
    void conclude();

    PortFinder* m_finder = nullptr;
    bool m_done = false;
};
