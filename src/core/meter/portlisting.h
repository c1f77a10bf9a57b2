#pragma once

#include <QObject>

class Clock;
class PortFinder;
class PortSystem;
class QTextStream;

// nimbrel --list-ports: looks at the ports once, listens to them, writes the list with the
// "meter" marks to out and reports done().
class PortListing final : public QObject
{
    Q_OBJECT
public:
    PortListing(PortSystem& system, Clock& clock, QTextStream& out, QObject* parent = nullptr);
    void start();

Q_SIGNALS:
    void done();

private:
    void print();

    PortFinder* m_finder = nullptr;
    QTextStream& m_out;
    bool m_printed = false;
};
