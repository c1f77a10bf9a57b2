#pragma once

#include "meterheard.h"
#include "platform/portentry.h"
#include "platform/portproblem.h"

#include <QList>
#include <QObject>

#include <memory>

class Clock;
class PortSystem;
class SerialLink;
class Timer;

// A port of the list and what listening to it found.
struct FoundPort {
    enum class State {
        Listening, // open, meter frames awaited
        Meter, // meter frames arrived
        NoMeter, // listened to without hearing a meter
        Unusable, // could not be opened: see problem
    };
    PortEntry entry;
    State state = State::Listening;
    PortProblem problem;
};

// Keeps the list of this computer's serial ports while the port window is open: it looks again
// every second, and listens to every port that appears (28800 8N1, nothing sent) for at most
// kListenMs, all of them at once, driven by readyRead and one timer. A port where meter frames
// arrive is marked; the first such port is the default choice. stop() closes every port.
class PortFinder final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kListenMs = 1500;
    static constexpr int kRefreshMs = 1000;

    PortFinder(PortSystem& system, Clock& clock, QObject* parent = nullptr);
    ~PortFinder() override;

    void start();
    // Stops looking and listening and closes every port it opened.
    void stop();

    const QList<FoundPort>& ports() const { return m_ports; }
    // The first port marked "meter", or -1.
    int defaultChoice() const;
    bool isListening() const;
    PortSystem& system() { return m_system; }

Q_SIGNALS:
    // The list or a port's state changed.
    void changed();
    // No port is listened to any more (each has its mark, or none).
    void listeningDone();

private:
    struct Listener;
    void refresh();
    void listen(FoundPort& port);
    void heard(Listener* listener);
    void finish(QString devicePath, FoundPort::State state);
    void endOverdue();
    void armDeadline();
    FoundPort* find(const QString& devicePath);

    PortSystem& m_system;
    Clock& m_clock;
    Timer* m_refresh = nullptr;
    Timer* m_deadline = nullptr;
    QList<FoundPort> m_ports;
    std::vector<std::unique_ptr<Listener>> m_listeners;
};
