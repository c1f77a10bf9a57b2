#include "portlisting.h"

#include "meter/portfinder.h"
#include "meter/portlisttext.h"

#include <QTextStream>

PortListing::PortListing(PortSystem& system, Clock& clock, QTextStream& out, QObject* parent)
    : QObject(parent)
    , m_finder(new PortFinder(system, clock, this))
    , m_out(out)
{
    connect(m_finder, &PortFinder::listeningDone, this, &PortListing::print);
}

void PortListing::start()
{
    m_finder->start();
    if (!m_finder->isListening())
        print();
}

void PortListing::print()
{
    if (m_printed)
        return;
    m_printed = true;
    m_finder->stop();
    m_out << PortListReport(m_finder->ports());
    m_out.flush();
    Q_EMIT done();
}
